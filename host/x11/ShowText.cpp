// -text: the characters made into glyphs at start, in memory, from the font
// -font names, or from the fonts fontconfig offers in its stead for a
// character that font lacks.
#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/x11/LinuxSaver.h"
#include "scene/SceneRecords.h"
#include "settings/Settings.h"
#include "tools/FontGlyphs.h"

namespace {

std::string Utf8(char32_t c) {
    std::string text;
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return text;
}

// Why the file -font names cannot be a font, before FreeType is asked:
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

// FreeType's reason for refusing a font file, said of the file -font names.
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

#ifdef KORAVEL_TEST_HOOKS
// The tests' stand-in for a character that is slow to make:
// KORAVEL_TEST_CHARACTER_MS milliseconds per character, which no signal
// shortens, as none interrupts the glyph maker's arithmetic. Each start is
// said on standard error, so that a test knows when to send its signal.
void TakeTestTime(std::size_t position) {
    const char* asked = std::getenv("KORAVEL_TEST_CHARACTER_MS");
    if (asked == nullptr) return;
    std::fprintf(stderr, "koravel: making character %zu slowly\n", position);
    timespec until;
    clock_gettime(CLOCK_MONOTONIC, &until);
    const long long nanoseconds = until.tv_nsec + std::atoll(asked) * 1000000LL;
    until.tv_sec += static_cast<time_t>(nanoseconds / 1000000000);
    until.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}
#endif

// One font file opened for the text, with its metrics read once.
struct TextFont {
    GlyphFont font;
    FontMetrics metrics;
};

// The fonts to try, in order: the font file -font names, if it names one;
// then fontconfig's list for the pattern (its best match first, then the
// fonts that cover what the earlier ones lack).
class TextFonts {
public:
    explicit TextFonts(const std::string& name) {
        if (!FcInit()) {
            std::fputs("koravel: fontconfig could not start\n", stderr);
            return;
        }
        started_ = true;
        std::string pattern = name.empty() ? "sans-serif" : name;
        if (name.find('/') != std::string::npos) {
            std::string why = FontFileProblem(name);
            if (why.empty() && Open(name, 0, &why)) fileFont_ = opened_[{name, 0}].get();
            else std::fprintf(stderr, "koravel: cannot use %s as a font: %s; taking sans-serif\n", name.c_str(), why.c_str());
            pattern = "sans-serif";
        }
        FcPattern* request = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
        if (!request) {
            std::fprintf(stderr, "koravel: \"%s\" is not a fontconfig pattern; taking sans-serif\n", pattern.c_str());
            request = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
        }
        FcChar8* family = nullptr;
        const std::string asked = FcPatternGetString(request, FC_FAMILY, 0, &family) == FcResultMatch
                                      ? reinterpret_cast<const char*>(family)
                                      : "";
        FcConfigSubstitute(nullptr, request, FcMatchPattern);
        FcDefaultSubstitute(request);
        FcResult result = FcResultNoMatch;
        sorted_ = FcFontSort(nullptr, request, FcTrue, nullptr, &result);
        FcPatternDestroy(request);
        ReportStandIn(asked);
    }

    // The text is made once, at start: fontconfig's own state goes with it.
    ~TextFonts() {
        if (sorted_) FcFontSetDestroy(sorted_);
        if (started_) FcFini();
    }

    TextFonts(const TextFonts&) = delete;
    TextFonts& operator=(const TextFonts&) = delete;

    // The first font that has `character`, or nullptr.
    TextFont* FontFor(char32_t character) {
        if (fileFont_ && fileFont_->font.HasCharacter(character)) return fileFont_;
        for (int i = 0; sorted_ && i < sorted_->nfont; ++i) {
            FcPattern* candidate = sorted_->fonts[i];
            FcCharSet* characters = nullptr;
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetCharSet(candidate, FC_CHARSET, 0, &characters) != FcResultMatch ||
                !FcCharSetHasChar(characters, character) ||
                FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch)
                continue;
            if (FcPatternGetInteger(candidate, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
            const std::string path = reinterpret_cast<const char*>(file);
            if (!Open(path, index)) continue;
            TextFont* font = opened_[{path, index}].get();
            if (font->font.HasCharacter(character)) return font;
        }
        return nullptr;
    }

private:
    // fontconfig answers a family it does not know with its default font:
    // a misspelt name is said, not silently drawn in another font. The
    // generic families are names of other fonts by design. Names compare as
    // fontconfig compares them.
    void ReportStandIn(const std::string& asked) const {
        if (asked.empty() || !sorted_ || sorted_->nfont == 0) return;
        for (const char* generic : {"sans-serif", "sans", "serif", "monospace", "mono", "cursive", "fantasy", "system-ui"})
            if (SameFamily(asked.c_str(), generic)) return;
        FcChar8* family = nullptr;
        for (int n = 0; FcPatternGetString(sorted_->fonts[0], FC_FAMILY, n, &family) == FcResultMatch; ++n)
            if (SameFamily(reinterpret_cast<const char*>(family), asked.c_str())) return;
        if (FcPatternGetString(sorted_->fonts[0], FC_FAMILY, 0, &family) == FcResultMatch)
            std::fprintf(stderr, "koravel: no font is called \"%s\"; the text is drawn in %s\n", asked.c_str(),
                         reinterpret_cast<const char*>(family));
    }

    // Opens a font file once; a file that cannot be read stays refused.
    // Why it was refused goes to `problem` when asked for, else to
    // standard error.
    bool Open(const std::string& path, int index, std::string* problem = nullptr) {
        auto found = opened_.find({path, index});
        if (found != opened_.end()) return found->second != nullptr;
        auto font = std::make_unique<TextFont>();
        std::string error;
        if (!font->font.Open(path, error, index)) {
            if (problem) *problem = FontRefusal(path, error);
            else std::fprintf(stderr, "koravel: %s\n", error.c_str());
            opened_[{path, index}] = nullptr;
            return false;
        }
        font->metrics = font->font.Metrics();
        opened_[{path, index}] = std::move(font);
        return true;
    }

    bool started_ = false;
    FcFontSet* sorted_ = nullptr;
    TextFont* fileFont_ = nullptr;
    std::map<std::pair<std::string, int>, std::unique_ptr<TextFont>> opened_;
};

// The text's glyphs, made once per process: a window that is resized sets
// its scene up again from them, without reading the fonts or reporting twice.
// A signal stops the making between characters, so the run ends within
// one character's time (the glyph maker bounds it) however long the text.
std::vector<GlyphDefinition> MakeTextGlyphs(const HackOptions& options) {
    std::vector<GlyphDefinition> glyphs(options.text.size(), GlyphDefinition{});
    if (StopRequested()) return glyphs;
    TextFonts fonts(options.font);
    for (std::size_t k = 0; k < options.text.size() && !StopRequested(); ++k) {
        const char32_t character = options.text[k];
        if (character == U' ') continue;
#ifdef KORAVEL_TEST_HOOKS
        TakeTestTime(k + 1);
#endif
        const std::string shown = Utf8(character);
        TextFont* font = fonts.FontFor(character);
        if (!font) {
            std::fprintf(stderr, "koravel: no font has %s (U+%04X); its slot stays empty\n", shown.c_str(),
                         static_cast<unsigned>(character));
            continue;
        }
        CharacterOutline outline;
        std::string reason, note;
        MadeGlyph made;
        if (font->font.Outline(character, outline, reason)) made = MakeTextGlyph(outline, font->metrics, note);
        else made.fit.reason = reason;
        if (made.fit.fitted) {
            glyphs[k] = made.fit.glyph;
            if (!note.empty())
                std::fprintf(stderr, "koravel: %s (U+%04X): %s\n", shown.c_str(), static_cast<unsigned>(character),
                             note.c_str());
        } else if (!outline.empty()) {
            // A character with no ink (a space of another width) leaves its
            // gap without a word; any other failure is reported.
            std::fprintf(stderr, "koravel: %s (U+%04X) cannot be shown: %s\n", shown.c_str(),
                         static_cast<unsigned>(character), made.fit.reason.c_str());
        }
    }
    return glyphs;
}

}  // namespace

void ShowText(const HackOptions& options) {
    if (options.text.empty()) return;
    static const std::vector<GlyphDefinition> glyphs = MakeTextGlyphs(options);
    for (std::size_t k = 0; k < glyphs.size(); ++k) characterSlots[k + 1].glyph = glyphs[k];
    settings.OPTIONN = static_cast<std::int32_t>(glyphs.size());
}
