// Whole software frames of nine dense kanji (鬱驫龘鑑響議纏露曜) against
// nine Latin capitals (KORAVELWM) at 1920 x 1080, the same size and
// settings: the shipped settings file with all nine slots at SIZE and SIZEY
// 20, so the row spans most of the window. Each glyph is read through
// FreeType (IPAGothic for the kanji, 龘 from Droid Sans Fallback where that
// is installed; DejaVu Sans Bold for the capitals) and taken over as it
// stands: every curve flattened to eight lines, every point rounded to
// design units (capitals 80 units high), every contour kept while the
// slot's capacity holds it, a contour turning the other way than the outer
// ones a hole. No glyph fitting. Prints processor time per frame of each,
// the ratio against the 2 x target, the wall ordering's share, and the
// memory the slots take.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

#include "bench/BenchScenes.h"
#include "glyphs/linux/FontGlyphs.h"
#include "render/ComposeSoftwareFrame.h"
#include "render/FrameCompositor.h"
#include "render/PixelBuffer.h"
#include "render/RenderSolid.h"
#include "scene/ProjectFrame.h"
#include "scene/Random.h"
#include "settings/Settings.h"

namespace {

constexpr const char* kKanjiFont = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr const char* kFallbackFont = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";
constexpr const char* kLatinFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr double kTargetRatio = 2.0;

struct SetSize {
    int points = 0, contours = 0, holes = 0, contoursLeftOut = 0;
    std::string leftOut;  // characters no font gave
};

// The contour's points in design units, each curve flattened to eight
// lines, repeated points (which rounding makes where a curve is small)
// dropped. The kanji then hold some 300 points each.
std::vector<bench::Point> DesignPoints(const OutlineContour& contour, double scale) {
    std::vector<bench::Point> points;
    auto add = [&](double x, double y) {
        const bench::Point p{static_cast<int>(std::lround(x * scale)), static_cast<int>(std::lround(y * scale))};
        if (points.empty() || points.back().x != p.x || points.back().y != p.y) points.push_back(p);
    };
    OutlinePoint from = contour.start;
    add(from.x, from.y);
    for (const OutlineSegment& s : contour.segments) {
        const int steps = s.controlCount == 0 ? 1 : 8;
        for (int k = 1; k <= steps; ++k) {
            const double t = static_cast<double>(k) / steps, u = 1 - t;
            OutlinePoint p = s.to;
            if (s.controlCount == 1) {
                p = {u * u * from.x + 2 * u * t * s.control[0].x + t * t * s.to.x,
                     u * u * from.y + 2 * u * t * s.control[0].y + t * t * s.to.y};
            } else if (s.controlCount == 2) {
                p = {u * u * u * from.x + 3 * u * u * t * s.control[0].x + 3 * u * t * t * s.control[1].x + t * t * t * s.to.x,
                     u * u * u * from.y + 3 * u * u * t * s.control[0].y + 3 * u * t * t * s.control[1].y + t * t * t * s.to.y};
            }
            add(p.x, p.y);
        }
        from = s.to;
    }
    while (points.size() > 1 && points.back().x == points.front().x && points.back().y == points.front().y)
        points.pop_back();
    return points;
}

double SignedArea(const std::vector<bench::Point>& points) {
    double area = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const bench::Point a = points[i], b = points[(i + 1) % points.size()];
        area += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    return area / 2;
}

// Stores the nine characters into slots 1..9, read from `path` (or the
// fallback font for a character it lacks), centred on the ink's middle.
bool StoreCharacters(const std::u32string& text, const char* path, SetSize& size) {
    GlyphFont font, fallback;
    std::string error;
    if (!font.Open(path, error)) return false;
    const bool haveFallback = fallback.Open(kFallbackFont, error);
    size = {};
    for (int slot = 1; slot <= 9; ++slot) {
        const char32_t character = text[slot - 1];
        const GlyphFont* from = font.HasCharacter(character) ? &font
                                : haveFallback && fallback.HasCharacter(character) ? &fallback : nullptr;
        CharacterOutline outline;
        std::string reason;
        std::vector<std::vector<bench::Point>> contours;
        std::vector<int> holes;
        if (from == nullptr || !from->Outline(character, outline, reason)) {
            char name[16];
            std::snprintf(name, sizeof name, " U+%04X", static_cast<unsigned>(character));
            size.leftOut += name;
            bench::StoreGlyph(slot, contours, holes);
            continue;
        }
        const double scale = 80.0 / CapitalHeight(from->Metrics());
        double left = 1e300, right = -1e300;
        std::vector<std::vector<bench::Point>> all;
        for (const OutlineContour& c : outline) {
            std::vector<bench::Point> points = DesignPoints(c, scale);
            if (points.size() >= 3) all.push_back(points);
        }
        // TrueType outer contours run clockwise (negative area with y up).
        double outerSign = 0;
        for (const auto& points : all) {
            if (std::fabs(SignedArea(points)) > std::fabs(outerSign)) outerSign = SignedArea(points);
        }
        int points = 0;
        for (const auto& contour : all) {
            if (points + static_cast<int>(contour.size()) > kShownGlyphPoints ||
                static_cast<int>(contours.size()) == kShownGlyphContours) {
                ++size.contoursLeftOut;
                continue;
            }
            points += static_cast<int>(contour.size());
            contours.push_back(contour);
            if ((SignedArea(contour) > 0) != (outerSign > 0)) holes.push_back(static_cast<int>(contours.size()));
            for (bench::Point p : contour) {
                left = std::min(left, static_cast<double>(p.x));
                right = std::max(right, static_cast<double>(p.x));
            }
        }
        const int middle = static_cast<int>(std::lround((left + right) / 2));
        for (auto& contour : contours)
            for (bench::Point& p : contour) p.x -= middle;
        bench::StoreGlyph(slot, contours, holes);
        size.points += points;
        size.contours += static_cast<int>(contours.size());
        size.holes += static_cast<int>(holes.size());
    }
    return true;
}

bool NineCharacterScene(const std::u32string& text, const char* path, SetSize& size) {
    if (!bench::FileScene(KORAVEL_SHIPPED_SETTINGS)) return false;
    settings.OPTIONN = 9;
    settings.SIZE = 20;
    settings.SIZEY = 20;
    std::memset(&sceneState, 0, sizeof sceneState);
    sceneState.clientWidth = bench::kClientWidth;
    sceneState.clientHeight = bench::kClientHeight;
    if (!StoreCharacters(text, path, size)) return false;
    SetupScene();
    return true;
}

struct Figure {
    const char* name;
    double millisecondsPerFrame = 0;
    double orderingMilliseconds = 0;  // the wall ordering of the nine slots, per frame
    SetSize size;
};
Figure kanjiFigure{"nine dense kanji (鬱驫龘鑑響議纏露曜, IPAGothic)", 0, 0, {}};
Figure latinFigure{"nine Latin capitals (KORAVELWM, DejaVu Sans Bold)", 0, 0, {}};

double ProcessorMilliseconds(std::clock_t start) {
    return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

void MeasureFrames(benchmark::State& state, const std::u32string& text, const char* path, Figure& figure) {
    if (!NineCharacterScene(text, path, figure.size)) {
        state.SkipWithError("cannot read the shipped settings or the font");
        return;
    }
    SeedRandom(1);
    PixelBuffer window = MakePixelBuffer(bench::kClientWidth, bench::kClientHeight, 0);
    long frames = 0;
    double ordering = 0;
    for (auto _ : state) {
        const std::clock_t start = std::clock();
        const FrameGeometry frame = ComposeSoftwareFrame(window, nullptr);
        figure.millisecondsPerFrame += ProcessorMilliseconds(start);
        ++frames;
        // The ordering once more on the frame's projection (the next frame's
        // own is not affected: it projects again), timed on its own.
        state.PauseTiming();
        ProjectFrame();
        const std::clock_t orderStart = std::clock();
        for (int slot = 1; slot <= 9; ++slot) {
            WallOrder order;
            OrderWalls(characterSlots[slot], order);
            benchmark::DoNotOptimize(order.count);
        }
        ordering += ProcessorMilliseconds(orderStart);
        state.ResumeTiming();
        benchmark::DoNotOptimize(frame.width);
    }
    benchmark::DoNotOptimize(window.bytes.data());
    figure.millisecondsPerFrame /= static_cast<double>(frames);
    figure.orderingMilliseconds = ordering / static_cast<double>(frames);
}

void BM_DenseKanjiSoftwareFrame(benchmark::State& state) {
    MeasureFrames(state, U"鬱驫龘鑑響議纏露曜", kKanjiFont, kanjiFigure);
}
void BM_LatinCapitalsSoftwareFrame(benchmark::State& state) {
    MeasureFrames(state, U"KORAVELWM", kLatinFont, latinFigure);
}

BENCHMARK(BM_DenseKanjiSoftwareFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_LatinCapitalsSoftwareFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nSoftware frame at %d x %d, shipped settings, nine slots, SIZE and SIZEY 20, processor time:\n",
                bench::kClientWidth, bench::kClientHeight);
    for (const Figure* f : {&kanjiFigure, &latinFigure}) {
        if (f->millisecondsPerFrame == 0) continue;
        std::printf("  %-52s %4d points, %3d contours (%d holes)%s%s: %7.3f ms a frame, wall ordering %.3f ms\n",
                    f->name, f->size.points, f->size.contours, f->size.holes,
                    f->size.contoursLeftOut > 0 ? ", contours left out for the capacity" : "",
                    f->size.leftOut.empty() ? "" : (", no font for " + f->size.leftOut).c_str(),
                    f->millisecondsPerFrame, f->orderingMilliseconds);
    }
    if (kanjiFigure.millisecondsPerFrame > 0 && latinFigure.millisecondsPerFrame > 0) {
        const double ratio = kanjiFigure.millisecondsPerFrame / latinFigure.millisecondsPerFrame;
        std::printf("  kanji against capitals: %.2f x (target: at most %.0f x)  %s\n", ratio, kTargetRatio,
                    ratio <= kTargetRatio ? "met" : "MISSED");
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\nMemory: a slot's records %zu bytes, nine slots %.0f KB (the records hold ten, %.0f KB); "
                "peak resident memory of this run %.1f MB\n",
                sizeof(CharacterSlot), 9.0 * sizeof(CharacterSlot) / 1024.0, sizeof characterSlots / 1024.0,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
