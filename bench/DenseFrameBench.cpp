// Whole software frames of nine dense kanji (鬱驫龘鑑響議纏露曜) against
// nine Latin capitals (KORAVELWM) at 1920 x 1080, the same size and
// settings: the shipped settings file with all nine slots at SIZE and SIZEY
// 20, so the row spans most of the window. Each glyph is read through
// FreeType (IPAGothic for the kanji, 龘 from Droid Sans Fallback where that
// is installed; DejaVu Sans Bold for the capitals) and made as a shown
// text's glyph is (MakeTextGlyph, kShownGlyphLimits: up to 512 points in
// sixteenths of a unit, capitals 80 units high). Prints processor time per frame of each,
// the ratio against the 2 x target, the wall ordering's share, the memory
// the slots take, and a digest of each scene's first frames.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "bench/BenchScenes.h"
#include "glyphs/MakeGlyph.h"
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

// Stores the nine characters into slots 1..9, read from `path` (or the
// fallback font for a character it lacks) and made as a shown text's glyphs
// are, centred on the ink's middle.
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
        std::string reason, note;
        std::vector<std::vector<bench::Point>> contours;
        std::vector<int> holes;
        MadeGlyph made;
        if (from != nullptr && from->Outline(character, outline, reason))
            made = MakeTextGlyph(outline, from->Metrics(), note, kShownGlyphLimits);
        if (!made.fit.fitted) {
            char name[16];
            std::snprintf(name, sizeof name, " U+%04X", static_cast<unsigned>(character));
            size.leftOut += name;
            bench::StoreGlyph(slot, contours, holes);
            continue;
        }
        if (!note.empty()) ++size.contoursLeftOut;
        for (std::size_t j = 0; j < made.fit.contours.size(); ++j) {
            std::vector<bench::Point> points;
            for (const OutlinePoint& p : made.fit.contours[j])
                points.push_back({static_cast<int>(p.x), static_cast<int>(p.y)});
            size.points += static_cast<int>(points.size());
            contours.push_back(std::move(points));
            if (made.fit.hole[j]) holes.push_back(static_cast<int>(j) + 1);
        }
        bench::StoreGlyph(slot, contours, holes);
        characterSlots[slot].glyph.subunits = kShownGlyphLimits.subunits;
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
    unsigned long long digest = 0;  // of the first kDigestFrames frames
};
Figure kanjiFigure{"nine dense kanji (鬱驫龘鑑響議纏露曜, IPAGothic)", 0, 0, {}, 0};
Figure latinFigure{"nine Latin capitals (KORAVELWM, DejaVu Sans Bold)", 0, 0, {}, 0};

// The first frames of each scene, hashed (FNV-1a over every pixel of the
// window after each frame), so that a change made for speed can be seen to
// leave every pixel as it was.
constexpr int kDigestFrames = 40;
unsigned long long DigestFrames(PixelBuffer& window) {
    unsigned long long hash = 14695981039346656037ULL;
    for (int frame = 0; frame < kDigestFrames; ++frame) {
        ComposeSoftwareFrame(window, nullptr);
        for (const std::uint8_t byte : window.bytes) hash = (hash ^ byte) * 1099511628211ULL;
    }
    return hash;
}

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
    if (figure.digest == 0) {
        figure.digest = DigestFrames(window);
        NineCharacterScene(text, path, figure.size);
        SeedRandom(1);
        window = MakePixelBuffer(bench::kClientWidth, bench::kClientHeight, 0);
    }
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
                    f->size.contoursLeftOut > 0 ? ", some glyph left part of its outline out" : "",
                    f->size.leftOut.empty() ? "" : (", no font for " + f->size.leftOut).c_str(),
                    f->millisecondsPerFrame, f->orderingMilliseconds);
    }
    for (const Figure* f : {&kanjiFigure, &latinFigure})
        if (f->digest != 0) std::printf("  digest of the first %d frames of %s: %016llx\n", kDigestFrames, f->name, f->digest);
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
