// SystemTextFont::Shape: Uniscribe's steps, in order. ScriptItemize splits
// the composed text into items of one script and one embedding level (the
// paragraph's direction is its first strong character's, as the Unicode
// bidirectional algorithm decides it); ScriptLayout orders the items
// visually; ScriptShape and ScriptPlace give each item's glyphs in visual
// order with their advances and offsets. The OpenType forms of the three
// calls (Windows Vista on) are used where the system has them, with the
// features a shaper applies by default, kerning among them; before them the
// older calls apply the script's own.
#include <algorithm>

#include "glyphs/win32/SystemTextFont.h"

namespace {

constexpr OPENTYPE_TAG Tag(const char (&name)[5]) {
    return static_cast<OPENTYPE_TAG>(static_cast<unsigned char>(name[0])) |
           static_cast<OPENTYPE_TAG>(static_cast<unsigned char>(name[1])) << 8 |
           static_cast<OPENTYPE_TAG>(static_cast<unsigned char>(name[2])) << 16 |
           static_cast<OPENTYPE_TAG>(static_cast<unsigned char>(name[3])) << 24;
}

// The features HarfBuzz applies to horizontal text unless told otherwise.
OPENTYPE_FEATURE_RECORD kDefaultFeatures[] = {
    {Tag("ccmp"), 1}, {Tag("locl"), 1}, {Tag("rlig"), 1}, {Tag("calt"), 1}, {Tag("clig"), 1}, {Tag("liga"), 1},
    {Tag("rclt"), 1}, {Tag("curs"), 1}, {Tag("kern"), 1}, {Tag("mark"), 1}, {Tag("mkmk"), 1}, {Tag("dist"), 1},
};

struct OpenTypeCalls {
    decltype(&ScriptItemizeOpenType) itemize = nullptr;
    decltype(&ScriptShapeOpenType) shape = nullptr;
    decltype(&ScriptPlaceOpenType) place = nullptr;
};

template <typename Call>
void Find(HMODULE module, const char* name, Call& call) {
    call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Looked up at run time: an older usp10.dll lacks them, and the saver still
// starts there.
OpenTypeCalls FindOpenTypeCalls() {
    OpenTypeCalls calls;
    if (HMODULE module = GetModuleHandleW(L"usp10.dll")) {
        Find(module, "ScriptItemizeOpenType", calls.itemize);
        Find(module, "ScriptShapeOpenType", calls.shape);
        Find(module, "ScriptPlaceOpenType", calls.place);
    }
    if (!calls.itemize || !calls.shape || !calls.place) calls = {};
    return calls;
}

const OpenTypeCalls& OpenType() {
    static const OpenTypeCalls calls = FindOpenTypeCalls();
    return calls;
}

// Level 1 when the text's first strong character reads right to left.
BYTE ParagraphLevel(const std::wstring& text) {
    std::vector<WORD> types(text.size());
    if (!GetStringTypeW(CT_CTYPE2, text.c_str(), static_cast<int>(text.size()), types.data())) return 0;
    for (WORD type : types) {
        if (type == C2_LEFTTORIGHT) return 0;
        if (type == C2_RIGHTTOLEFT) return 1;
    }
    return 0;
}

// One item's characters shaped and placed in one font.
struct Run {
    std::vector<WORD> glyphs, clusters;  // clusters: each character's glyph (pwLogClust)
    std::vector<SCRIPT_GLYPHPROP> glyphProperties;
    std::vector<int> advances;
    std::vector<GOFFSET> offsets;
};

HRESULT ShapeRun(HDC dc, SCRIPT_CACHE* cache, SCRIPT_ANALYSIS analysis, OPENTYPE_TAG script, const wchar_t* characters,
                 int count, Run& run) {
    const OpenTypeCalls& openType = OpenType();
    int rangeLength = count;
    TEXTRANGE_PROPERTIES features{kDefaultFeatures, static_cast<int>(std::size(kDefaultFeatures))};
    TEXTRANGE_PROPERTIES* range = &features;
    std::vector<SCRIPT_CHARPROP> characterProperties(count);
    run.clusters.assign(count, 0);
    HRESULT result = E_OUTOFMEMORY;
    int made = 0;
    // Room for 1.5 glyphs a character and then some, as Uniscribe advises;
    // more when a font makes more.
    for (int room = count * 3 / 2 + 16; result == E_OUTOFMEMORY && room <= count * 8 + 64; room *= 2) {
        run.glyphs.assign(room, 0);
        run.glyphProperties.assign(room, {});
        if (openType.shape) {
            result = openType.shape(dc, cache, &analysis, script, 0, &rangeLength, &range, 1, characters, count, room,
                                    run.clusters.data(), characterProperties.data(), run.glyphs.data(),
                                    run.glyphProperties.data(), &made);
        } else {
            std::vector<SCRIPT_VISATTR> attributes(room);
            result = ScriptShape(dc, cache, characters, count, room, &analysis, run.glyphs.data(), run.clusters.data(),
                                 attributes.data(), &made);
            for (int g = 0; g < made; ++g) run.glyphProperties[g].sva = attributes[g];
        }
    }
    if (FAILED(result)) return result;
    run.glyphs.resize(made);
    run.glyphProperties.resize(made);
    run.advances.assign(made, 0);
    run.offsets.assign(made, {});
    ABC width;
    if (openType.place)
        return openType.place(dc, cache, &analysis, script, 0, &rangeLength, &range, 1, characters, run.clusters.data(),
                              characterProperties.data(), count, run.glyphs.data(), run.glyphProperties.data(), made,
                              run.advances.data(), run.offsets.data(), &width);
    std::vector<SCRIPT_VISATTR> attributes(made);
    for (int g = 0; g < made; ++g) attributes[g] = run.glyphProperties[g].sva;
    return ScriptPlace(dc, cache, run.glyphs.data(), made, attributes.data(), &analysis, run.advances.data(),
                       run.offsets.data(), &width);
}

// Shapes in the face's font; a font that does not cover the item's script
// at all is asked again with no script, glyph by glyph from its character
// map, so that every character gets a glyph (the missing glyph if need be).
bool ShapeInFace(SystemTextFont::Face& face, SCRIPT_ANALYSIS analysis, OPENTYPE_TAG script, const wchar_t* characters,
                 int count, Run& run) {
    HRESULT result = ShapeRun(face.font.dc, &face.cache, analysis, script, characters, count, run);
    if (result == USP_E_SCRIPT_NOT_IN_FONT) {
        analysis.eScript = SCRIPT_UNDEFINED;
        result = ShapeRun(face.font.dc, &face.cache, analysis, Tag("DFLT"), characters, count, run);
    }
    return SUCCEEDED(result);
}

// Each character's cluster, as the first character of it, counted from the
// run's start. Characters that name the same glyph form a glyph cluster; a
// cluster starts only where a glyph cluster starts at a character stop
// (ScriptBreak's fCharStop), so a base and its marks are one cluster however
// the font draws them.
std::vector<int> CharacterClusters(const Run& run, const SCRIPT_LOGATTR* stops, int count) {
    std::vector<int> cluster(count, 0);
    for (int c = 1; c < count; ++c)
        cluster[c] = run.clusters[c] != run.clusters[c - 1] && stops[c].fCharStop ? c : cluster[c - 1];
    return cluster;
}

// Each glyph's cluster. A glyph that no character names belongs with the
// glyph before it in reading order: a right-to-left run's characters name
// the rightmost glyph of their cluster, so there it is the one to its right.
std::vector<int> GlyphClusters(const Run& run, const std::vector<int>& characterCluster, bool rightToLeft) {
    const int glyphCount = static_cast<int>(run.glyphs.size());
    std::vector<int> cluster(glyphCount, -1);
    for (std::size_t c = 0; c < characterCluster.size(); ++c) {
        const int glyph = run.clusters[c];
        if (glyph < glyphCount && cluster[glyph] < 0) cluster[glyph] = characterCluster[c];
    }
    for (int i = 0; i < glyphCount; ++i) {
        const int g = rightToLeft ? glyphCount - 1 - i : i;
        const int before = rightToLeft ? g + 1 : g - 1;
        if (cluster[g] < 0) cluster[g] = before >= 0 && before < glyphCount ? cluster[before] : 0;
    }
    return cluster;
}

}  // namespace

// One item, its glyphs appended in visual order with clusters as offsets
// into `text`. Clusters with a glyph the asked font lacks are shaped again
// in a substitute, a stretch of them at a time; where no font has them they
// keep the asked font's missing glyph, as glyph 0.
bool SystemTextFont::ShapeItem(const std::wstring& text, const SCRIPT_ITEM& item, const SCRIPT_ITEM& next,
                               OPENTYPE_TAG script, std::vector<ShapedGlyph>& glyphs) {
    const int begin = item.iCharPos, count = next.iCharPos - item.iCharPos;
    const wchar_t* characters = text.c_str() + begin;
    std::vector<SCRIPT_LOGATTR> stops(count);
    if (FAILED(ScriptBreak(characters, count, &item.a, stops.data())))
        for (SCRIPT_LOGATTR& stop : stops) stop.fCharStop = 1;
    Face& asked = *faces_[0];
    Run run;
    if (!ShapeInFace(asked, item.a, script, characters, count, run)) return false;
    const bool rightToLeft = item.a.fRTL;
    const std::vector<int> characterCluster = CharacterClusters(run, stops.data(), count);
    const std::vector<int> cluster = GlyphClusters(run, characterCluster, rightToLeft);

    std::vector<bool> lacking(count, false);
    for (std::size_t g = 0; g < run.glyphs.size(); ++g)
        if (run.glyphs[g] == asked.missingGlyph) lacking[cluster[g]] = true;
    for (int c = 0; c < count; ++c) lacking[c] = lacking[characterCluster[c]];

    // The substitute's glyphs of each stretch of lacking characters, kept
    // under the stretch's first character; none where no font has them.
    std::vector<int> stretchOf(count, -1);
    std::vector<std::vector<ShapedGlyph>> substituted(count);
    for (int c = 0; c < count;) {
        int end = c;
        while (end < count && lacking[end]) stretchOf[end++] = c;
        if (end == c) {
            ++c;
            continue;
        }
        const std::wstring stretch(characters + c, characters + end);
        if (const std::uint32_t face = SubstituteFor(stretch)) {
            Face& substitute = *faces_[face];
            Run other;
            if (ShapeInFace(substitute, item.a, script, stretch.c_str(), end - c, other) &&
                std::find(other.glyphs.begin(), other.glyphs.end(), substitute.missingGlyph) == other.glyphs.end()) {
                const std::vector<int> otherCluster =
                    GlyphClusters(other, CharacterClusters(other, stops.data() + c, end - c), rightToLeft);
                for (std::size_t g = 0; g < other.glyphs.size(); ++g)
                    substituted[c].push_back({face, other.glyphs[g], static_cast<std::uint32_t>(begin + c + otherCluster[g]),
                                              other.advances[g] * substitute.scale, other.offsets[g].du * substitute.scale,
                                              other.offsets[g].dv * substitute.scale});
            }
        }
        c = end;
    }

    // A stretch's glyphs lie together in the run: its substitute's take
    // their place, all at the first of them.
    std::vector<bool> placed(count, false);
    for (std::size_t g = 0; g < run.glyphs.size(); ++g) {
        const int stretch = stretchOf[cluster[g]];
        if (stretch >= 0 && !substituted[stretch].empty()) {
            if (!placed[stretch]) glyphs.insert(glyphs.end(), substituted[stretch].begin(), substituted[stretch].end());
            placed[stretch] = true;
            continue;
        }
        const bool missing = run.glyphs[g] == asked.missingGlyph;
        glyphs.push_back({0, missing ? 0u : run.glyphs[g], static_cast<std::uint32_t>(begin + cluster[g]),
                          static_cast<double>(run.advances[g]), static_cast<double>(run.offsets[g].du),
                          static_cast<double>(run.offsets[g].dv)});
    }
    return true;
}

bool SystemTextFont::Shape(const std::u32string& text, ShapedText& shaped) {
    shaped = {};
    if (faces_.empty()) return false;
    const std::wstring composed = ComposeSystemText(WideFromCharacters(text));
    shaped.text = CharactersFromWide(composed);
    if (composed.empty()) return true;
    const int length = static_cast<int>(std::min<std::size_t>(composed.size(), 0x3FFFFFFF));

    SCRIPT_CONTROL control{};
    SCRIPT_STATE state{};
    state.uBidiLevel = ParagraphLevel(composed);
    std::vector<SCRIPT_ITEM> items(length + 2);
    std::vector<OPENTYPE_TAG> scripts(length + 1, Tag("DFLT"));
    int itemCount = 0;
    const HRESULT itemized =
        OpenType().itemize ? OpenType().itemize(composed.c_str(), length, length + 1, &control, &state, items.data(),
                                                scripts.data(), &itemCount)
                           : ScriptItemize(composed.c_str(), length, length + 1, &control, &state, items.data(), &itemCount);
    if (FAILED(itemized) || itemCount <= 0) return false;

    std::vector<BYTE> levels(itemCount);
    for (int i = 0; i < itemCount; ++i) levels[i] = static_cast<BYTE>(items[i].a.s.uBidiLevel);
    std::vector<int> visualToLogical(itemCount);
    if (FAILED(ScriptLayout(itemCount, levels.data(), visualToLogical.data(), nullptr)))
        for (int i = 0; i < itemCount; ++i) visualToLogical[i] = i;

    std::vector<ShapedGlyph> glyphs;
    for (int v = 0; v < itemCount; ++v) {
        const int i = visualToLogical[v];
        if (!ShapeItem(composed, items[i], items[i + 1], scripts[i], glyphs)) return false;
    }
    // Clusters as offsets into the composed text in characters, not UTF-16 units.
    std::vector<std::uint32_t> characterAt(composed.size() + 1);
    std::uint32_t character = 0;
    for (std::size_t unit = 0; unit < composed.size(); ++unit) {
        characterAt[unit] = character;
        const bool pair = composed[unit] >= 0xD800 && composed[unit] < 0xDC00 && unit + 1 < composed.size() &&
                          composed[unit + 1] >= 0xDC00 && composed[unit + 1] < 0xE000;
        if (pair) characterAt[++unit] = character;
        ++character;
    }
    for (ShapedGlyph& glyph : glyphs) glyph.cluster = characterAt[glyph.cluster];
    shaped.glyphs = std::move(glyphs);
    return true;
}
