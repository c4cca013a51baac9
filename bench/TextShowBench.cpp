// A text's cost while the saver runs, shaped by HarfBuzz in DejaVu Sans
// Bold: a clock's tick ("%H:%M:%S", one second on), with the new digit's
// glyph made the first time and kept after, and a new page of nine
// clusters never shown before. Each is measured as AdvanceTextShow runs it
// before a frame: shaping the whole text, laying out the page, making what
// is new and laying out the slots that changed. Against the frame period
// of the shipped settings, 55 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchScenes.h"
#include "glyphs/linux/HarfBuzzTextFont.h"
#include "scene/TextShow.h"

namespace {

constexpr const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

void Ignore(const std::string&) {}

ClockTime Second(std::int64_t count) {
    return {2026, 12, 9, static_cast<int>(count / 3600 % 24), static_cast<int>(count / 60 % 60),
            static_cast<int>(count % 60), count};
}

// A tick to a second whose digits were all shown before: shaped and laid
// out again, one slot laid out anew from a kept glyph.
void BM_ClockTickKeptGlyphs(benchmark::State& state) {
    HarfBuzzTextFont font(kFont, Ignore);
    bench::DefaultSettings();
    StartTextShow(font, U"%H:%M:%S", 4, Second(0), Ignore);
    SetupScene();
    std::int64_t second = 0;
    for (int k = 0; k < 100; ++k) AdvanceTextShow(Second(++second));  // every digit made once
    for (auto _ : state) benchmark::DoNotOptimize(AdvanceTextShow(Second(++second)));
    StopTextShow();
}

// A tick whose new digit has never been shown: its glyph is made.
void BM_ClockTickNewGlyph(benchmark::State& state) {
    HarfBuzzTextFont font(kFont, Ignore);
    for (auto _ : state) {
        state.PauseTiming();
        bench::DefaultSettings();
        StartTextShow(font, U"%H:%M:%S", 4, Second(0), Ignore);
        SetupScene();
        state.ResumeTiming();
        benchmark::DoNotOptimize(AdvanceTextShow(Second(1)));
    }
    StopTextShow();
}

// The second page of a long text: nine clusters made and laid out at once.
void BM_NewPageOfNine(benchmark::State& state) {
    HarfBuzzTextFont font(kFont, Ignore);
    for (auto _ : state) {
        state.PauseTiming();
        bench::DefaultSettings();
        StartTextShow(font, U"KORAVELWM abcdefghi", 4, Second(0), Ignore);
        SetupScene();
        state.ResumeTiming();
        benchmark::DoNotOptimize(AdvanceTextShow(Second(4)));
    }
    StopTextShow();
}

}  // namespace

BENCHMARK(BM_ClockTickKeptGlyphs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClockTickNewGlyph)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NewPageOfNine)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
