// The glyph maker at start-up: how faithful the made glyphs are and how long
// nine of them take.
//
// Fidelity: the made glyph's silhouette (even-odd, as the end face is
// filled) against FreeType's own rendering of the character, each scaled to
// its own box and sampled on a 256 x 256 grid; the figure is intersection
// over union. Printed per character and as the lowest and the mean of Latin
// capitals (DejaVu Sans Bold) and of hiragana (IPAGothic) against their
// targets. Time: reading nine outlines from an open font and making them into
// glyphs, against the 20 ms target; and making one glyph of an outline far
// beyond any font's, built in memory, against the 100 ms a character may
// take whatever the font holds.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "glyphs/MakeGlyph.h"
#include "glyphs/linux/FontGlyphs.h"
#include "tests/support/ToothedSquare.h"

namespace {

constexpr const char* kLatinFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* kKanaFont = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr double kTargetMs = 20.0;
constexpr double kHostileTargetMs = 100.0;
constexpr int kGrid = 256;
constexpr int kRenderPixels = 512;

struct Silhouette {
    std::vector<char> inside = std::vector<char>(kGrid * kGrid, 0);
};

// FreeType's anti-aliased rendering, half covered or more counted as ink.
bool RenderedSilhouette(FT_Face face, char32_t character, Silhouette& silhouette) {
    if (FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) return false;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (bitmap.width == 0 || bitmap.rows == 0) return false;
    for (int v = 0; v < kGrid; ++v) {
        for (int u = 0; u < kGrid; ++u) {
            const int x = static_cast<int>((u + 0.5) * bitmap.width / kGrid);
            const int y = static_cast<int>((v + 0.5) * bitmap.rows / kGrid);
            silhouette.inside[v * kGrid + u] = bitmap.buffer[y * bitmap.pitch + x] >= 128;
        }
    }
    return true;
}

Silhouette GlyphSilhouette(const GlyphDefinition& glyph) {
    int left = glyph.pointX[1], right = left, bottom = glyph.pointY[1], top = bottom;
    for (int i = 1; i <= glyph.pointCount; ++i) {
        left = std::min(left, glyph.pointX[i]);
        right = std::max(right, glyph.pointX[i]);
        bottom = std::min(bottom, glyph.pointY[i]);
        top = std::max(top, glyph.pointY[i]);
    }
    Silhouette silhouette;
    for (int v = 0; v < kGrid; ++v) {
        for (int u = 0; u < kGrid; ++u) {
            const double px = left + (u + 0.5) * (right - left) / kGrid;
            const double py = top - (v + 0.5) * (top - bottom) / kGrid;
            bool inside = false;
            for (int j = 1; j <= glyph.contourCount; ++j) {
                const int first = glyph.contourFirst[j], last = glyph.contourLast[j];
                for (int i = first, k = last; i <= last; k = i++) {
                    const double ax = glyph.pointX[i], ay = glyph.pointY[i];
                    const double bx = glyph.pointX[k], by = glyph.pointY[k];
                    if ((ay > py) != (by > py) && px < (bx - ax) * (py - ay) / (by - ay) + ax) inside = !inside;
                }
            }
            silhouette.inside[v * kGrid + u] = inside;
        }
    }
    return silhouette;
}

double IntersectionOverUnion(const Silhouette& a, const Silhouette& b) {
    int both = 0, either = 0;
    for (std::size_t i = 0; i < a.inside.size(); ++i) {
        both += a.inside[i] && b.inside[i];
        either += a.inside[i] || b.inside[i];
    }
    return either > 0 ? static_cast<double>(both) / either : 0.0;
}

std::string Utf8(char32_t c) {
    std::string text;
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    if (c < 0x800) return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
            static_cast<char>(0x80 | (c & 0x3F))};
}

// Prints each character's fidelity and the set's lowest and mean.
void PrintFidelity(const char* title, const char* path, const std::u32string& characters, double target) {
    GlyphFont font;
    std::string error;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (!font.Open(path, error) || FT_Init_FreeType(&library) != 0 || FT_New_Face(library, path, 0, &face) != 0) {
        std::printf("%s: cannot open %s %s\n", title, path, error.c_str());
        if (library) FT_Done_FreeType(library);
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, kRenderPixels);
    const FontMetrics metrics = font.Metrics();
    double lowest = 1.0, total = 0.0;
    int counted = 0;
    std::string line;
    for (char32_t character : characters) {
        CharacterOutline outline;
        std::string note;
        Silhouette rendered;
        if (!font.Outline(character, outline, error) || !RenderedSilhouette(face, character, rendered)) continue;
        const MadeGlyph made = MakeTextGlyph(outline, metrics, note);
        const double fidelity = made.fit.fitted ? IntersectionOverUnion(GlyphSilhouette(made.fit.glyph), rendered) : 0.0;
        char figure[64];
        std::snprintf(figure, sizeof figure, " %s %.3f%s", Utf8(character).c_str(), fidelity, note.empty() ? "" : "*");
        line += figure;
        if (line.size() > 90) {
            std::printf("  %s\n", line.c_str());
            line.clear();
        }
        lowest = std::min(lowest, fidelity);
        total += fidelity;
        ++counted;
    }
    if (!line.empty()) std::printf("  %s\n", line.c_str());
    std::printf("%s fidelity (intersection over union, %d characters): lowest %.3f, mean %.3f (target at least %.3f)%s\n",
                title, counted, lowest, counted ? total / counted : 0.0, target,
                counted && total / counted >= target ? "" : "  BELOW TARGET");
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

// Nine characters read from an open font and made into glyphs, as -text
// does at start.
void MakeNine(benchmark::State& state, const char* path, const std::u32string& nine) {
    GlyphFont font;
    std::string error;
    if (!font.Open(path, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        const FontMetrics metrics = font.Metrics();
        for (char32_t character : nine) {
            CharacterOutline outline;
            std::string note;
            font.Outline(character, outline, error);
            benchmark::DoNotOptimize(MakeTextGlyph(outline, metrics, note));
        }
    }
    state.counters["target_ms"] = kTargetMs;
}

void BM_NineLatinCapitals(benchmark::State& state) { MakeNine(state, kLatinFont, U"KORAVELWM"); }
void BM_NineHiragana(benchmark::State& state) { MakeNine(state, kKanaFont, U"こんにちはあいうえ"); }
// Dense kanji, each with more contours than a glyph holds: the worst case.
void BM_NineDenseKanji(benchmark::State& state) { MakeNine(state, kKanaFont, U"鬱驚議響護魔龍襲競"); }
BENCHMARK(BM_NineLatinCapitals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NineHiragana)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NineDenseKanji)->Unit(benchmark::kMillisecond);

// One glyph made from a hostile outline, as -text makes it.
void MakeHostile(benchmark::State& state, const CharacterOutline& outline) {
    const FontMetrics metrics{1000.0, 700.0, 0.0};
    std::string note;
    for (auto _ : state) benchmark::DoNotOptimize(MakeTextGlyph(outline, metrics, note));
    state.counters["target_ms"] = kHostileTargetMs;
}

// 10,000 points in one contour, with a tooth at each.
void BM_HostileTenThousandPoints(benchmark::State& state) {
    MakeHostile(state, {ToothedSquare(10000, 20.0)});
}

// 3,000 small contours of four quadratic curves each, in a grid.
void BM_HostileThreeThousandCurvedContours(benchmark::State& state) {
    CharacterOutline outline;
    for (int k = 0; k < 3000; ++k) {
        const double x = 15.0 * (k % 55), y = 15.0 * (k / 55), r = 6.0;
        OutlineContour ring{{x + r, y}, {}};
        ring.segments.push_back({1, {{x + r, y + r}}, {x, y + r}});
        ring.segments.push_back({1, {{x - r, y + r}}, {x - r, y}});
        ring.segments.push_back({1, {{x - r, y - r}}, {x, y - r}});
        ring.segments.push_back({1, {{x + r, y - r}}, {x + r, y}});
        outline.push_back(ring);
    }
    MakeHostile(state, outline);
}

// Eight contours of 1,000 points each lying over one another: every point
// of each is tested against every other in the search for holes.
void BM_HostileContoursOverOneAnother(benchmark::State& state) {
    MakeHostile(state, CharacterOutline(8, ToothedSquare(1000, 20.0)));
}
BENCHMARK(BM_HostileTenThousandPoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileThreeThousandCurvedContours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileContoursOverOneAnother)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    PrintFidelity("Latin capitals, DejaVu Sans Bold", kLatinFont, U"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0.95);
    std::u32string hiragana;
    for (char32_t c = U'\u3041'; c <= U'\u3093'; ++c) hiragana += c;
    PrintFidelity("Hiragana, IPAGothic", kKanaFont, hiragana, 0.875);
    std::printf("Time to make nine glyphs: target at most %.0f ms (the rows below)\n", kTargetMs);
    std::printf("Time to make one glyph of a hostile outline: target at most %.0f ms (the Hostile rows)\n",
                kHostileTargetMs);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
