// The glyph maker at start-up: how faithful the glyphs of a shown text are
// (kShownGlyphLimits: overlapping contours merged, each glyph as wide as its
// character) and how long nine of them take.
//
// Fidelity: the made glyph's silhouette (even-odd, as the end face is
// filled) against FreeType's own rendering of the character, each scaled to
// its own box and sampled on a 256 x 256 grid; the figure is intersection
// over union, 0 for a character that gives no glyph. Printed per character
// for the Latin capitals (DejaVu Sans, and the shipped set's DejaVu Sans
// Bold) and the hiragana (IPAGothic) with their medians, and for the 2,965 kanji of JIS level 1 (IPAGothic) as the
// median, the tenth percentile, the worst, the share at 0.80 or above and
// the ten worst, each against its target. Time: reading nine outlines from
// an open font and making them into glyphs, against the 20 ms target; and
// making one glyph of an outline far beyond any font's, built in memory,
// against the 100 ms a character may take whatever the font holds.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "glyphs/MakeGlyph.h"
#include "glyphs/linux/FontGlyphs.h"
#include "tests/support/ToothedSquare.h"

namespace {

constexpr const char* kLatinFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
// The face the shipped glyphs come from, measured against the same target.
constexpr const char* kShippedFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* kJapaneseFont = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
// IPAGothic lacks 龘; -text would take it from the font fontconfig offers,
// and this one has it where it is installed.
constexpr const char* kFallbackFont = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";
constexpr double kLatinMedianTarget = 0.97;
constexpr double kHiraganaMedianTarget = 0.93;
constexpr double kKanjiMedianTarget = 0.92;
constexpr double kKanjiTenthPercentileTarget = 0.85;
constexpr double kKanjiWorstTarget = 0.70;
constexpr double kGoodFidelity = 0.80;
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

// The glyph filled even-odd, a row at a time: a sample is inside when an odd
// number of edges cross its row to its right.
Silhouette GlyphSilhouette(const std::vector<OutlinePath>& contours) {
    double left = contours[0][0].x, right = left, bottom = contours[0][0].y, top = bottom;
    for (const OutlinePath& contour : contours) {
        for (const OutlinePoint& point : contour) {
            left = std::min(left, point.x);
            right = std::max(right, point.x);
            bottom = std::min(bottom, point.y);
            top = std::max(top, point.y);
        }
    }
    Silhouette silhouette;
    std::vector<double> crossings;
    for (int v = 0; v < kGrid; ++v) {
        const double py = top - (v + 0.5) * (top - bottom) / kGrid;
        crossings.clear();
        for (const OutlinePath& contour : contours) {
            for (std::size_t i = 0, k = contour.size() - 1; i < contour.size(); k = i++) {
                const double ax = contour[i].x, ay = contour[i].y;
                const double bx = contour[k].x, by = contour[k].y;
                if ((ay > py) != (by > py)) crossings.push_back((bx - ax) * (py - ay) / (by - ay) + ax);
            }
        }
        std::sort(crossings.begin(), crossings.end());
        std::size_t passed = 0;  // crossings at or left of the sample
        for (int u = 0; u < kGrid; ++u) {
            const double px = left + (u + 0.5) * (right - left) / kGrid;
            while (passed < crossings.size() && crossings[passed] <= px) ++passed;
            silhouette.inside[v * kGrid + u] = (crossings.size() - passed) % 2 == 1;
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
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    if (c < 0x800) return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
            static_cast<char>(0x80 | (c & 0x3F))};
}

// The kanji of JIS X 0208 level 1, rows 16 to 47 (row 47 ends at column
// 51), converted from their EUC-JP bytes by the C library; empty when it
// cannot convert them.
std::u32string LevelOneKanji() {
    std::string euc;
    for (int row = 16; row <= 47; ++row) {
        for (int column = 1; column <= (row == 47 ? 51 : 94); ++column) {
            euc += static_cast<char>(0xA0 + row);
            euc += static_cast<char>(0xA0 + column);
        }
    }
    const iconv_t converter = iconv_open("UTF-32LE", "EUC-JP");
    if (converter == reinterpret_cast<iconv_t>(-1)) return {};
    std::string wide(euc.size() * 2, '\0');  // four bytes for each two
    char* in = euc.data();
    char* out = wide.data();
    std::size_t inLeft = euc.size(), outLeft = wide.size();
    const bool converted = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    if (!converted) return {};
    std::u32string kanji;
    for (std::size_t i = 0; i + 4 <= wide.size() - outLeft; i += 4) {
        const auto byte = [&wide, i](int k) { return static_cast<char32_t>(static_cast<unsigned char>(wide[i + k])); };
        kanji += byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    }
    return kanji;
}

// One font read twice: by the glyph maker's reader and by FreeType's
// renderer, which draws the reference.
class MeasuredFont {
public:
    explicit MeasuredFont(const char* path) {
        std::string error;
        open_ = font_.Open(path, error) && FT_Init_FreeType(&library_) == 0 &&
                FT_New_Face(library_, path, 0, &face_) == 0 && FT_Set_Pixel_Sizes(face_, 0, kRenderPixels) == 0;
        if (open_) metrics_ = font_.Metrics();
        else std::printf("cannot open %s %s\n", path, error.c_str());
    }
    ~MeasuredFont() {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }
    MeasuredFont(const MeasuredFont&) = delete;
    MeasuredFont& operator=(const MeasuredFont&) = delete;

    bool Open() const { return open_; }

    // The fidelity of the glyph -text makes of `character`, with the note of
    // what it gave up; false when the font has no such character to draw.
    bool Fidelity(char32_t character, double& fidelity, std::string& note) const {
        CharacterOutline outline;
        std::string error;
        Silhouette rendered;
        if (!font_.Outline(character, outline, error) || !RenderedSilhouette(face_, character, rendered)) return false;
        const MadeGlyph made = MakeTextGlyph(outline, metrics_, note, kShownGlyphLimits);
        fidelity = made.fit.fitted ? IntersectionOverUnion(GlyphSilhouette(made.fit.contours), rendered) : 0.0;
        if (!made.fit.fitted) note = made.fit.reason;
        return true;
    }

private:
    GlyphFont font_;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    FontMetrics metrics_;
    bool open_ = false;
};

// The figure below which the share `q` of the sorted figures lie, between
// the two nearest ranks.
double Quantile(const std::vector<double>& sorted, double q) {
    if (sorted.empty()) return 0.0;
    const double rank = q * static_cast<double>(sorted.size() - 1);
    const std::size_t below = static_cast<std::size_t>(rank);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (rank - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

const char* AgainstTarget(double figure, double target) { return figure >= target ? "" : " BELOW TARGET"; }

// Prints each character's fidelity (a star marks one that gave up contours,
// holes or points, or gave no glyph) and the set's median against its
// target, with the lowest and the mean.
void PrintFidelity(const char* title, const char* path, const std::u32string& characters, double medianTarget) {
    MeasuredFont font(path);
    if (!font.Open()) return;
    std::vector<double> figures;
    std::string line;
    for (char32_t character : characters) {
        double fidelity = 0.0;
        std::string note;
        if (!font.Fidelity(character, fidelity, note)) continue;
        char figure[64];
        std::snprintf(figure, sizeof figure, " %s %.3f%s", Utf8(character).c_str(), fidelity, note.empty() ? "" : "*");
        line += figure;
        if (line.size() > 90) {
            std::printf("  %s\n", line.c_str());
            line.clear();
        }
        figures.push_back(fidelity);
    }
    if (!line.empty()) std::printf("  %s\n", line.c_str());
    std::sort(figures.begin(), figures.end());
    double total = 0.0;
    for (double figure : figures) total += figure;
    const double median = Quantile(figures, 0.5);
    std::printf("%s fidelity (intersection over union, %zu characters): median %.3f (target at least %.2f)%s; "
                "lowest %.3f, mean %.3f\n",
                title, figures.size(), median, medianTarget, AgainstTarget(median, medianTarget),
                figures.empty() ? 0.0 : figures.front(), figures.empty() ? 0.0 : total / figures.size());
}

// Prints the level-1 kanji's figures against their targets, and the ten
// worst characters.
void PrintKanjiFidelity() {
    const std::u32string kanji = LevelOneKanji();
    if (kanji.size() != 2965) {
        std::printf("JIS level-1 kanji: the C library's EUC-JP conversion gave %zu characters, not 2965\n", kanji.size());
        return;
    }
    MeasuredFont font(kJapaneseFont);
    if (!font.Open()) return;
    std::vector<std::pair<double, char32_t>> measured;
    int gaveUp = 0, lacking = 0;
    for (char32_t character : kanji) {
        double fidelity = 0.0;
        std::string note;
        if (!font.Fidelity(character, fidelity, note)) {
            ++lacking;
            continue;
        }
        gaveUp += !note.empty();
        measured.push_back({fidelity, character});
    }
    std::sort(measured.begin(), measured.end());
    std::vector<double> figures;
    for (const auto& [fidelity, character] : measured) figures.push_back(fidelity);
    const double median = Quantile(figures, 0.5), tenth = Quantile(figures, 0.1);
    const double worst = figures.empty() ? 0.0 : figures.front();
    const auto good = figures.end() - std::lower_bound(figures.begin(), figures.end(), kGoodFidelity);
    std::printf("JIS level-1 kanji, IPAGothic (%zu characters, %d the font lacks, %d gave up contours, holes or points):\n",
                figures.size(), lacking, gaveUp);
    std::printf("  median %.3f (target at least %.2f)%s\n", median, kKanjiMedianTarget,
                AgainstTarget(median, kKanjiMedianTarget));
    std::printf("  tenth percentile %.3f (target at least %.2f)%s\n", tenth, kKanjiTenthPercentileTarget,
                AgainstTarget(tenth, kKanjiTenthPercentileTarget));
    std::printf("  worst %.3f (target at least %.2f)%s\n", worst, kKanjiWorstTarget, AgainstTarget(worst, kKanjiWorstTarget));
    std::printf("  at %.2f or above: %.1f %%\n", kGoodFidelity,
                figures.empty() ? 0.0 : 100.0 * static_cast<double>(good) / static_cast<double>(figures.size()));
    std::string worstTen;
    for (std::size_t i = 0; i < measured.size() && i < 10; ++i) {
        char figure[64];
        std::snprintf(figure, sizeof figure, " %s %.3f", Utf8(measured[i].second).c_str(), measured[i].first);
        worstTen += figure;
    }
    std::printf("  the ten worst:%s\n", worstTen.c_str());
}

// Nine characters read from open fonts and made into glyphs, as -text does
// at start: each from the first of `paths` that has it. A character none of
// them has is named and left out of the time.
void MakeNine(benchmark::State& state, std::vector<const char*> paths, const std::u32string& nine) {
    std::vector<std::unique_ptr<GlyphFont>> fonts;
    std::vector<const char*> opened;
    std::string error;
    for (const char* path : paths) {
        auto font = std::make_unique<GlyphFont>();
        if (!font->Open(path, error)) continue;
        fonts.push_back(std::move(font));
        opened.push_back(path);
    }
    struct Character {
        const GlyphFont* font;
        FontMetrics metrics;
        char32_t character;
    };
    std::vector<Character> made;
    std::string lacking, borrowed;
    for (char32_t character : nine) {
        const auto has = std::find_if(fonts.begin(), fonts.end(),
                                      [character](const auto& font) { return font->HasCharacter(character); });
        if (has == fonts.end()) {
            lacking += Utf8(character);
            continue;
        }
        if (has != fonts.begin())
            borrowed += Utf8(character) + " comes from " + opened[has - fonts.begin()] + ", as " + opened.front() + " lacks it\n";
        made.push_back({has->get(), (*has)->Metrics(), character});
    }
    if (!lacking.empty()) borrowed += "No font here has " + lacking + ": the time leaves it out.\n";
    // The benchmark calls this more than once; the fonts are named once.
    static std::string said;
    if (said.find(borrowed) == std::string::npos) {
        std::printf("%s", borrowed.c_str());
        said += borrowed;
    }
    for (auto _ : state) {
        for (const Character& character : made) {
            CharacterOutline outline;
            std::string note;
            character.font->Outline(character.character, outline, error);
            benchmark::DoNotOptimize(MakeTextGlyph(outline, character.metrics, note, kShownGlyphLimits));
        }
    }
    state.counters["target_ms"] = kTargetMs;
}

void BM_NineLatinCapitals(benchmark::State& state) { MakeNine(state, {kLatinFont}, U"KORAVELWM"); }
void BM_NineHiragana(benchmark::State& state) { MakeNine(state, {kJapaneseFont}, U"こんにちはあいうえ"); }
// The densest kanji, most with more contours than a glyph holds: the worst
// case of a real text.
void BM_NineDenseKanji(benchmark::State& state) {
    MakeNine(state, {kJapaneseFont, kFallbackFont}, U"鬱驫龘鑑響議纏露曜");
}
BENCHMARK(BM_NineLatinCapitals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NineHiragana)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NineDenseKanji)->Unit(benchmark::kMillisecond);

// One glyph made from a hostile outline, as -text makes it.
void MakeHostile(benchmark::State& state, const CharacterOutline& outline) {
    const FontMetrics metrics{1000.0, 700.0, 0.0};
    std::string note;
    for (auto _ : state) benchmark::DoNotOptimize(MakeTextGlyph(outline, metrics, note, kShownGlyphLimits));
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
// How the maker's cost grows with the points of an outline: one contour
// with a tooth at each of n points, n from 1,024 to 8,192 (beyond that an
// outline is thinned first), round (a gear) and square. Google Benchmark
// fits the times to n log n and prints the fit (BigO) and how far the times
// stray from it (RMS). The square's sides are long runs of edges over the
// same few x, which the searches for crossings, going from left to right,
// test against one another: it grows faster, within the work bounds.
OutlineContour Gear(int points) {
    OutlineContour contour;
    for (int i = 0; i < points; ++i) {
        const double angle = 6.283185307179586 * i / points, radius = i % 2 ? 330.0 : 350.0;
        const OutlinePoint point{350.0 + radius * std::cos(angle), 350.0 + radius * std::sin(angle)};
        if (i == 0) contour.start = point;
        else contour.segments.push_back({0, {}, point});
    }
    return contour;
}

void BM_PointsGrowthRound(benchmark::State& state) {
    MakeHostile(state, {Gear(static_cast<int>(state.range(0)))});
    state.SetComplexityN(state.range(0));
}

void BM_PointsGrowthSquare(benchmark::State& state) {
    MakeHostile(state, {ToothedSquare(static_cast<int>(state.range(0)), 20.0)});
    state.SetComplexityN(state.range(0));
}
// A figure of eight with a tooth at each point, one loop half the other:
// one contour crossing itself once, at its middle, which is split there
// into two loops before the union.
void BM_PointsGrowthEight(benchmark::State& state) {
    const int points = static_cast<int>(state.range(0));
    OutlineContour contour;
    for (int i = 0; i < points; ++i) {
        const double angle = 6.283185307179586 * (i + 0.5) / points;
        const double radius = (i % 2 ? 330.0 : 350.0) * (std::cos(angle) > 0 ? 1.0 : 0.5);
        const OutlinePoint point{350.0 + radius * std::cos(angle), 350.0 + radius * std::sin(angle) * std::cos(angle)};
        if (i == 0) contour.start = point;
        else contour.segments.push_back({0, {}, point});
    }
    MakeHostile(state, {contour});
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_PointsGrowthRound)->RangeMultiplier(2)->Range(1024, 8192)->Complexity(benchmark::oNLogN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointsGrowthSquare)->RangeMultiplier(2)->Range(1024, 8192)->Complexity(benchmark::oNLogN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointsGrowthEight)->RangeMultiplier(2)->Range(1024, 8192)->Complexity(benchmark::oNLogN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileTenThousandPoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileThreeThousandCurvedContours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileContoursOverOneAnother)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    PrintFidelity("Latin capitals, DejaVu Sans", kLatinFont, U"ABCDEFGHIJKLMNOPQRSTUVWXYZ", kLatinMedianTarget);
    PrintFidelity("Latin capitals, DejaVu Sans Bold", kShippedFont, U"ABCDEFGHIJKLMNOPQRSTUVWXYZ", kLatinMedianTarget);
    std::u32string hiragana;
    for (char32_t c = U'\u3041'; c <= U'\u3093'; ++c) hiragana += c;
    PrintFidelity("Hiragana, IPAGothic", kJapaneseFont, hiragana, kHiraganaMedianTarget);
    PrintKanjiFidelity();
    std::printf("Time to make nine glyphs: target at most %.0f ms (the rows below)\n", kTargetMs);
    std::printf("Time to make one glyph of a hostile outline: target at most %.0f ms (the Hostile rows)\n",
                kHostileTargetMs);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
