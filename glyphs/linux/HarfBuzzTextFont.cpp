#include "glyphs/linux/HarfBuzzTextFont.h"

#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <fribidi.h>
#include <glib.h>
#include <hb.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>
#include <vector>

#include "glyphs/linux/FontGlyphs.h"

namespace {

// Why the file a name gives cannot be a font, before FreeType is asked:
// empty when it is a file this user may read. A FIFO or a device is
// refused, since reading one may never end.
std::string FontFileProblem(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return errno == ENOENT || errno == ENOTDIR ? "no such file" : std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return "it is a folder";
    if (!S_ISREG(info.st_mode)) return "it is not a file";
    const int descriptor = open(path.c_str(), O_RDONLY);
    if (descriptor < 0) return std::strerror(errno);
    close(descriptor);
    return "";
}

// FreeType's reason for refusing a font file, said of the file a name gives.
std::string FontRefusal(const std::string& path, const std::string& error) {
    if (error.rfind("cannot read ", 0) == 0) return "it is not a font FreeType can read";
    if (error.rfind(path + " ", 0) == 0) return "it " + error.substr(path.size() + 1);
    return error;
}

// Whether two family names are the same to fontconfig, which ignores case
// and blanks: "DejaVu   serif" is DejaVu Serif.
bool SameFamily(const char* one, const char* other) {
    for (;; ++one, ++other) {
        while (*one == ' ') ++one;
        while (*other == ' ') ++other;
        if (std::tolower(static_cast<unsigned char>(*one)) != std::tolower(static_cast<unsigned char>(*other)))
            return false;
        if (*one == '\0') return true;
    }
}

// One font file opened twice over: by HarfBuzz for shaping and by FreeType
// for the outlines.
struct Face {
    std::string path;
    GlyphFont glyphs;
    FontMetrics metrics;
    hb_face_t* face = nullptr;
    hb_font_t* font = nullptr;
    double toAsked = 1.0;  // the asked font's units per this font's unit

    ~Face() {
        if (font) hb_font_destroy(font);
        if (face) hb_face_destroy(face);
    }
    bool Has(char32_t c) const {
        hb_codepoint_t glyph = 0;
        return hb_font_get_nominal_glyph(font, c, &glyph) != 0;
    }
};

// A run of the text shaped as one: one level, one font, one script.
struct Run {
    std::size_t begin, end;
    FriBidiLevel level;
    std::uint32_t face;
    hb_script_t script;
};

// The text composed (NFC) by glib; what is no character becomes U+FFFD.
std::u32string Composed(const std::u32string& text) {
    std::vector<gunichar> characters;
    for (char32_t c : text)
        characters.push_back(c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c);
    std::u32string composed;
    gchar* utf8 = g_ucs4_to_utf8(characters.data(), static_cast<glong>(characters.size()), nullptr, nullptr, nullptr);
    if (utf8 == nullptr) return text;
    gchar* normalized = g_utf8_normalize(utf8, -1, G_NORMALIZE_NFC);
    g_free(utf8);
    if (normalized == nullptr) return text;
    glong count = 0;
    gunichar* result = g_utf8_to_ucs4_fast(normalized, -1, &count);
    g_free(normalized);
    composed.assign(result, result + count);
    g_free(result);
    return composed;
}

// The embedding level of each character, from the first strong character's
// direction (all 0 when FriBidi fails).
std::vector<FriBidiLevel> BidiLevels(const std::u32string& text) {
    const FriBidiStrIndex length = static_cast<FriBidiStrIndex>(text.size());
    std::vector<FriBidiChar> characters(text.begin(), text.end());
    std::vector<FriBidiCharType> types(text.size());
    std::vector<FriBidiBracketType> brackets(text.size());
    std::vector<FriBidiLevel> levels(text.size(), 0);
    fribidi_get_bidi_types(characters.data(), length, types.data());
    fribidi_get_bracket_types(characters.data(), length, types.data(), brackets.data());
    FriBidiParType direction = FRIBIDI_PAR_ON;
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), length, &direction, levels.data()) == 0)
        std::fill(levels.begin(), levels.end(), 0);
    return levels;
}

// Each character's script; common and inherited characters (spaces, digits,
// marks) take their neighbour's, so that a run is cut only where the
// script really changes.
std::vector<hb_script_t> Scripts(const std::u32string& text) {
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    std::vector<hb_script_t> scripts(text.size(), HB_SCRIPT_COMMON);
    hb_script_t last = HB_SCRIPT_INVALID;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const hb_script_t script = hb_unicode_script(unicode, text[i]);
        if (script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED && script != HB_SCRIPT_UNKNOWN) {
            if (last == HB_SCRIPT_INVALID) std::fill(scripts.begin(), scripts.begin() + i, script);
            last = script;
        }
        scripts[i] = last == HB_SCRIPT_INVALID ? HB_SCRIPT_COMMON : last;
    }
    return scripts;
}

// The runs in visual order: the highest levels' sequences reversed first,
// down to the lowest odd level, as the bidirectional algorithm orders a line.
void OrderVisually(std::vector<Run>& runs) {
    int highest = 0, lowestOdd = 256;  // FriBidi's levels run from 0 to 125
    for (const Run& run : runs) {
        highest = std::max(highest, static_cast<int>(run.level));
        if (run.level % 2 != 0) lowestOdd = std::min(lowestOdd, static_cast<int>(run.level));
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level) {
        for (auto from = runs.begin(); from != runs.end();) {
            if (from->level < level) {
                ++from;
                continue;
            }
            auto to = std::find_if(from, runs.end(), [level](const Run& run) { return run.level < level; });
            std::reverse(from, to);
            from = to;
        }
    }
}

}  // namespace

struct HarfBuzzTextFont::Fonts {
    void (*report)(const std::string& message) = nullptr;
    std::set<std::string> said;
    bool started = false;
    FcFontSet* sorted = nullptr;
    std::vector<std::unique_ptr<Face>> faces;  // numbered as opened: 0 is the asked font
    std::map<std::pair<std::string, int>, int> opened;  // face numbers, -1 for a file refused
    int fileFace = -1;
    std::unordered_map<char32_t, int> faceOf;

    void Say(const std::string& message) {
        if (said.insert(message).second && report != nullptr) report(message);
    }

    // fontconfig's own state goes with the last font that uses it.
    ~Fonts() {
        if (sorted) FcFontSetDestroy(sorted);
        if (started && --fontconfigUsers == 0) FcFini();
    }
    static inline int fontconfigUsers = 0;

    // Opens a font file once; its face number, or -1 when it cannot be
    // used. Why goes to `problem` when asked for, else is said.
    int Open(const std::string& path, int index, std::string* problem = nullptr) {
        auto found = opened.find({path, index});
        if (found != opened.end()) return found->second;
        auto face = std::make_unique<Face>();
        std::string error;
        if (!face->glyphs.Open(path, error, index)) {
            if (problem) *problem = FontRefusal(path, error);
            else Say(error);
            return opened[{path, index}] = -1;
        }
        face->path = path;
        face->metrics = face->glyphs.Metrics();
        hb_blob_t* blob = hb_blob_create_from_file_or_fail(path.c_str());
        if (blob == nullptr) {
            if (problem) *problem = "HarfBuzz cannot read it";
            else Say("HarfBuzz cannot read " + path);
            return opened[{path, index}] = -1;
        }
        face->face = hb_face_create(blob, static_cast<unsigned>(index));
        hb_blob_destroy(blob);
        // At the em's scale HarfBuzz gives positions in the font's own
        // units, as FreeType gives the outlines.
        face->font = hb_font_create(face->face);
        hb_font_set_scale(face->font, static_cast<int>(face->metrics.unitsPerEm),
                          static_cast<int>(face->metrics.unitsPerEm));
        if (!faces.empty()) face->toAsked = faces[0]->metrics.unitsPerEm / face->metrics.unitsPerEm;
        faces.push_back(std::move(face));
        return opened[{path, index}] = static_cast<int>(faces.size() - 1);
    }

    // The first font that has `c`: the file the name gives, then
    // fontconfig's list (its best match first, then the fonts that cover
    // what the earlier ones lack). -1 when none has it.
    int FaceFor(char32_t c) {
        auto known = faceOf.find(c);
        if (known != faceOf.end()) return known->second;
        int chosen = fileFace >= 0 && faces[fileFace]->Has(c) ? fileFace : -1;
        for (int i = 0; chosen < 0 && sorted && i < sorted->nfont; ++i) {
            FcPattern* candidate = sorted->fonts[i];
            FcCharSet* characters = nullptr;
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetCharSet(candidate, FC_CHARSET, 0, &characters) != FcResultMatch ||
                !FcCharSetHasChar(characters, c) || FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch)
                continue;
            if (FcPatternGetInteger(candidate, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
            const int face = Open(reinterpret_cast<const char*>(file), index);
            if (face >= 0 && faces[face]->Has(c)) chosen = face;
        }
        return faceOf[c] = chosen;
    }

    // fontconfig answers a family it does not know with its default font:
    // a misspelt name is said, not silently drawn in another font. The
    // generic families are names of other fonts by design. Names compare as
    // fontconfig compares them.
    void ReportStandIn(const std::string& asked) {
        if (asked.empty() || !sorted || sorted->nfont == 0) return;
        for (const char* generic : {"sans-serif", "sans", "serif", "monospace", "mono", "cursive", "fantasy", "system-ui"})
            if (SameFamily(asked.c_str(), generic)) return;
        FcChar8* family = nullptr;
        for (int n = 0; FcPatternGetString(sorted->fonts[0], FC_FAMILY, n, &family) == FcResultMatch; ++n)
            if (SameFamily(reinterpret_cast<const char*>(family), asked.c_str())) return;
        if (FcPatternGetString(sorted->fonts[0], FC_FAMILY, 0, &family) == FcResultMatch)
            Say("no font is called \"" + asked + "\"; the text is drawn in " + reinterpret_cast<const char*>(family));
    }
};

HarfBuzzTextFont::HarfBuzzTextFont(const std::string& name, void (*report)(const std::string& message))
    : fonts_(std::make_unique<Fonts>()) {
    Fonts& fonts = *fonts_;
    fonts.report = report;
    std::string pattern = name.empty() ? "sans-serif" : name;
    if (name.find('/') != std::string::npos) {
        std::string why = FontFileProblem(name);
        if (why.empty()) fonts.fileFace = fonts.Open(name, 0, &why);
        if (fonts.fileFace < 0) fonts.Say("cannot use " + name + " as a font: " + why + "; taking sans-serif");
        pattern = "sans-serif";
    }
    if (!FcInit()) {
        fonts.Say("fontconfig could not start");
        return;
    }
    fonts.started = true;
    ++Fonts::fontconfigUsers;
    FcPattern* request = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    if (!request) {
        fonts.Say("\"" + pattern + "\" is not a fontconfig pattern; taking sans-serif");
        request = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    }
    FcChar8* family = nullptr;
    const std::string asked =
        FcPatternGetString(request, FC_FAMILY, 0, &family) == FcResultMatch ? reinterpret_cast<const char*>(family) : "";
    FcConfigSubstitute(nullptr, request, FcMatchPattern);
    FcDefaultSubstitute(request);
    FcResult result = FcResultNoMatch;
    fonts.sorted = FcFontSort(nullptr, request, FcTrue, nullptr, &result);
    FcPatternDestroy(request);
    fonts.ReportStandIn(asked);
    // Without a file of its own, the asked font is fontconfig's best match
    // that opens.
    for (int i = 0; fonts.faces.empty() && fonts.sorted && i < fonts.sorted->nfont; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(fonts.sorted->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
        if (FcPatternGetInteger(fonts.sorted->fonts[i], FC_INDEX, 0, &index) != FcResultMatch) index = 0;
        fonts.Open(reinterpret_cast<const char*>(file), index);
    }
}

HarfBuzzTextFont::~HarfBuzzTextFont() = default;

bool HarfBuzzTextFont::usable() const { return !fonts_->faces.empty(); }

bool HarfBuzzTextFont::Shape(const std::u32string& text, ShapedText& shaped) {
    Fonts& fonts = *fonts_;
    shaped = {};
    // FriBidi counts in ints; no text of a screen saver comes near.
    if (fonts.faces.empty() || text.size() > (1u << 24)) return false;
    shaped.text = Composed(text);
    const std::u32string& composed = shaped.text;
    if (composed.empty()) return true;

    const std::vector<FriBidiLevel> levels = BidiLevels(composed);
    const std::vector<hb_script_t> scripts = Scripts(composed);
    std::vector<Run> runs;
    for (std::size_t i = 0; i < composed.size(); ++i) {
        const char32_t c = composed[i];
        // A mark, joiner or selector stays in its base's font where that has
        // it (else it would end its cluster); a character no font has is
        // shaped in the asked font, which gives it glyph 0.
        int face = -1;
        if (i > 0 && g_unichar_iszerowidth(c) && fonts.faces[runs.back().face]->Has(c)) face = static_cast<int>(runs.back().face);
        if (face < 0) face = fonts.FaceFor(c);
        if (face < 0) face = i > 0 && g_unichar_iszerowidth(c) ? static_cast<int>(runs.back().face) : 0;
        const Run here{i, i + 1, levels[i], static_cast<std::uint32_t>(face), scripts[i]};
        if (!runs.empty() && runs.back().level == here.level && runs.back().face == here.face &&
            runs.back().script == here.script)
            runs.back().end = i + 1;
        else
            runs.push_back(here);
    }
    OrderVisually(runs);

    hb_buffer_t* buffer = hb_buffer_create();
    for (const Run& run : runs) {
        hb_buffer_clear_contents(buffer);
        hb_buffer_add_utf32(buffer, reinterpret_cast<const std::uint32_t*>(composed.data()),
                            static_cast<int>(composed.size()), static_cast<unsigned>(run.begin),
                            static_cast<int>(run.end - run.begin));
        hb_buffer_set_direction(buffer, run.level % 2 != 0 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_set_script(buffer, run.script);
        hb_buffer_guess_segment_properties(buffer);
        hb_buffer_set_flags(buffer, static_cast<hb_buffer_flags_t>((run.begin == 0 ? HB_BUFFER_FLAG_BOT : 0) |
                                                                   (run.end == composed.size() ? HB_BUFFER_FLAG_EOT : 0)));
        const Face& face = *fonts.faces[run.face];
        hb_shape(face.font, buffer, nullptr, 0);
        unsigned count = 0;
        const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
        const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
        for (unsigned k = 0; k < count; ++k) {
            ShapedGlyph glyph;
            // Glyph 0 of any font is the character no font has.
            glyph.face = infos[k].codepoint == 0 ? 0 : run.face;
            glyph.glyphIndex = infos[k].codepoint;
            glyph.cluster = infos[k].cluster;
            glyph.xAdvance = positions[k].x_advance * face.toAsked;
            glyph.xOffset = positions[k].x_offset * face.toAsked;
            glyph.yOffset = positions[k].y_offset * face.toAsked;
            shaped.glyphs.push_back(glyph);
        }
    }
    hb_buffer_destroy(buffer);
    return true;
}

bool HarfBuzzTextFont::GlyphOutline(std::uint32_t face, std::uint32_t glyphIndex, CharacterOutline& outline) {
    Fonts& fonts = *fonts_;
    outline.clear();
    if (face >= fonts.faces.size()) return false;
    const Face& from = *fonts.faces[face];
    std::string reason;
    if (!from.glyphs.GlyphOutline(glyphIndex, outline, reason)) {
        fonts.Say(from.path + ": " + reason);
        return false;
    }
    // A stand-in font's glyphs in the asked font's units, so that they sit
    // in the same space as the positions.
    if (from.toAsked != 1.0) {
        auto scale = [&from](OutlinePoint& point) { point = {point.x * from.toAsked, point.y * from.toAsked}; };
        for (OutlineContour& contour : outline) {
            scale(contour.start);
            for (OutlineSegment& segment : contour.segments) {
                for (int k = 0; k < segment.controlCount && k < 2; ++k) scale(segment.control[k]);
                scale(segment.to);
            }
        }
    }
    return true;
}

FontMetrics HarfBuzzTextFont::Metrics() const {
    return fonts_->faces.empty() ? FontMetrics{} : fonts_->faces[0]->metrics;
}

std::string HarfBuzzTextFont::FaceFile(std::uint32_t face) const {
    return face < fonts_->faces.size() ? fonts_->faces[face]->path : "";
}
