// Whole frames through the software surface, as the Linux program draws
// them: projection, ordering, the covering rectangle built over its
// background, the solids filled into it and copied into a 1920 x 1080
// window picture in memory, and the animation step. The transfer to the X
// server is left out; bench/linux-cpu.sh measures that with the program.
// Prints milliseconds per frame and their share of the frame period.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "bench/BenchScenes.h"
#include "render/ComposeSoftwareFrame.h"
#include "render/PixelBuffer.h"
#include "scene/Random.h"
#include "settings/Settings.h"

namespace {

struct Figure {
    const char* name;
    double millisecondsPerFrame = 0;
    double pixelsPerFrame = 0;  // mean area of the covering rectangle
    int period = 0;             // TIMER, in ms
};
Figure shippedFigure{"shipped settings (STAR and HEART, defaults)"};
Figure worstFigure{"worst case (9 x 45 points, 13 contours, KAITEN, own spin, ENKIN 30, VIEW 9)"};

bool ShippedScene() { return bench::FileScene(KORAVEL_SHIPPED_SETTINGS); }
bool WorstScene() {
    bench::WorstScene();
    return true;
}

void MeasureFrames(benchmark::State& state, bool (*buildScene)(), Figure& figure) {
    if (!buildScene()) {
        state.SkipWithError("cannot read " KORAVEL_SHIPPED_SETTINGS);
        return;
    }
    // A fixed seed and a black start, as the headless frames have.
    SeedRandom(1);
    PixelBuffer window = MakePixelBuffer(bench::kClientWidth, bench::kClientHeight, 0);
    const PixelBuffer desktop = MakePixelBuffer(bench::kClientWidth, bench::kClientHeight, 0);
    long frames = 0;
    double pixels = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const FrameGeometry frame = ComposeSoftwareFrame(window, &desktop);
        pixels += static_cast<double>(frame.width) * frame.height;
        ++frames;
    }
    auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(window.bytes.data());
    figure.millisecondsPerFrame = elapsed / static_cast<double>(frames);
    figure.pixelsPerFrame = pixels / static_cast<double>(frames);
    figure.period = settings.TIMER;
    state.counters["rect_pixels"] = figure.pixelsPerFrame;
}

void BM_ShippedSceneSoftwareFrame(benchmark::State& state) { MeasureFrames(state, ShippedScene, shippedFigure); }
void BM_WorstCaseSoftwareFrame(benchmark::State& state) { MeasureFrames(state, WorstScene, worstFigure); }

BENCHMARK(BM_ShippedSceneSoftwareFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorstCaseSoftwareFrame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nSoftware frame per frame at %d x %d (no transfer to the display):\n", bench::kClientWidth,
                bench::kClientHeight);
    for (const Figure* f : {&shippedFigure, &worstFigure}) {
        if (f->millisecondsPerFrame == 0) continue;
        std::printf("  %-78s %7.3f ms, %4.1f%% of the %d ms period, covering rectangle %.0f pixels\n", f->name,
                    f->millisecondsPerFrame, 100.0 * f->millisecondsPerFrame / f->period, f->period,
                    f->pixelsPerFrame);
    }
    return 0;
}
