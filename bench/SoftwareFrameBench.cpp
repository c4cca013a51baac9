// Whole frames through the software surface, as the Linux program draws
// them: projection, ordering, the covering rectangle built over its
// background, the solids filled into it and copied into a 1920 x 1080
// window picture in memory, and the animation step. The transfer to the X
// server is left out; bench/linux-cpu.sh measures that with the program.
// Prints milliseconds per frame and their share of the frame period, and
// for the largest figure the settings panel offers, its peak memory and
// time per frame against their targets.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

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
Figure largestFigure{"largest panel figure (shipped file, 9 slots, SIZE 50, SIZEY 50, ENKIN 30)"};

// Targets for the largest figure: peak memory of a whole run, and time per
// frame as a multiple of the shipped scene's.
constexpr double kPeakTargetMb = 64;
constexpr double kTimeTargetRatio = 3;
constexpr int kMemoryRunFrames = 40;

struct LargestMemory {
    double peakMb = 0;         // resident peak of a separate run
    double bitmapMb = 0;       // the largest frame bitmap made
    double coverMegapixels = 0;  // the largest covering rectangle
};
LargestMemory largestMemory;

bool ShippedScene() { return bench::FileScene(KORAVEL_SHIPPED_SETTINGS); }
bool LargestScene() { return bench::LargestPanelScene(KORAVEL_SHIPPED_SETTINGS); }
bool WorstScene() {
    bench::WorstScene();
    return true;
}

// The largest figure's frames as the headless program draws them (a window
// picture, no desktop copy), in a child process of its own so that its peak
// resident memory is that run's alone. Run before the benchmarks, while this
// process is still small.
void MeasureLargestMemory() {
    const pid_t child = fork();
    if (child == 0) {
        if (!LargestScene()) _exit(1);
        SeedRandom(1);
        PixelBuffer window = MakePixelBuffer(bench::kClientWidth, bench::kClientHeight, 0);
        LargestMemory seen;
        for (int k = 0; k < kMemoryRunFrames; ++k) {
            const FrameGeometry frame = ComposeSoftwareFrame(window, nullptr);
            const double bitmapBytes = static_cast<double>((frame.shownWidth * 3 + 3) & ~3) * frame.shownHeight;
            seen.bitmapMb = std::max(seen.bitmapMb, bitmapBytes / (1024.0 * 1024.0));
            seen.coverMegapixels = std::max(seen.coverMegapixels, static_cast<double>(frame.width) * frame.height / 1e6);
        }
        std::printf("largest figure: bitmap at most %.2f MB, covering rectangle at most %.1f Mpixels\n", seen.bitmapMb,
                    seen.coverMegapixels);
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return;
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    largestMemory.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void MeasureFrames(benchmark::State& state, bool (*buildScene)(), Figure& figure) {
    if (!buildScene()) {
        state.SkipWithError("cannot read " KORAVEL_SHIPPED_SETTINGS);
        return;
    }
    // A fixed seed and a black start, as the headless frames have.
    SeedRandom(1);
    PixelBuffer window = MakePixelBuffer(bench::kClientWidth, bench::kClientHeight, 0);
    long frames = 0;
    double pixels = 0;
    // Processor time, not wall time: the machine may be shared, and a frame's
    // cost is the processor time it takes.
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        const FrameGeometry frame = ComposeSoftwareFrame(window, nullptr);
        pixels += static_cast<double>(frame.width) * frame.height;
        ++frames;
    }
    const double elapsed = 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    benchmark::DoNotOptimize(window.bytes.data());
    figure.millisecondsPerFrame = elapsed / static_cast<double>(frames);
    figure.pixelsPerFrame = pixels / static_cast<double>(frames);
    figure.period = settings.TIMER;
    state.counters["rect_pixels"] = figure.pixelsPerFrame;
}

void BM_ShippedSceneSoftwareFrame(benchmark::State& state) { MeasureFrames(state, ShippedScene, shippedFigure); }
void BM_WorstCaseSoftwareFrame(benchmark::State& state) { MeasureFrames(state, WorstScene, worstFigure); }
void BM_LargestPanelFigureSoftwareFrame(benchmark::State& state) {
    MeasureFrames(state, LargestScene, largestFigure);
}

BENCHMARK(BM_ShippedSceneSoftwareFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorstCaseSoftwareFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestPanelFigureSoftwareFrame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    MeasureLargestMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nSoftware frame per frame at %d x %d, processor time (no transfer to the display):\n", bench::kClientWidth,
                bench::kClientHeight);
    for (const Figure* f : {&shippedFigure, &worstFigure, &largestFigure}) {
        if (f->millisecondsPerFrame == 0) continue;
        std::printf("  %-78s %7.3f ms, %4.1f%% of the %d ms period, covering rectangle %.0f pixels\n", f->name,
                    f->millisecondsPerFrame, 100.0 * f->millisecondsPerFrame / f->period, f->period,
                    f->pixelsPerFrame);
    }
    std::printf("\nLargest panel figure at %d x %d against its targets:\n", bench::kClientWidth, bench::kClientHeight);
    if (largestMemory.peakMb > 0)
        std::printf("  peak memory of a %d-frame run   %7.1f MB (target: within %.0f MB)  %s\n", kMemoryRunFrames,
                    largestMemory.peakMb, kPeakTargetMb, largestMemory.peakMb <= kPeakTargetMb ? "met" : "MISSED");
    if (largestFigure.millisecondsPerFrame > 0 && shippedFigure.millisecondsPerFrame > 0) {
        const double ratio = largestFigure.millisecondsPerFrame / shippedFigure.millisecondsPerFrame;
        std::printf("  time per frame                 %7.3f ms = %.2f x the shipped scene's %.3f ms (target: within "
                    "%.0f x)  %s\n",
                    largestFigure.millisecondsPerFrame, ratio, shippedFigure.millisecondsPerFrame, kTimeTargetRatio,
                    ratio <= kTimeTargetRatio ? "met" : "MISSED");
    }
    return 0;
}
