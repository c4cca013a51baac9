// Frame logic without the transfer: projection, wall ordering, the end
// faces' point lists and the compositor's geometry and animation step, for
// the default scene and a worst case. Prints the time per frame against the
// targets, and the share of it spent in roundTo.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/BenchScenes.h"
#include "render/DrawingSurface.h"
#include "render/FrameCompositor.h"
#include "render/RenderSolid.h"
#include "scene/ProjectFrame.h"
#include "scene/RoundTo.h"
#include "settings/Settings.h"

namespace {

// A surface that takes every call and draws nothing.
class NullSurface : public DrawingSurface {
public:
    SurfaceObject CreateSolidBrush(ColourRef) override { return this; }
    SurfaceObject CreatePen(int, int, ColourRef) override { return this; }
    SurfaceObject CreatePolyPolygonRgn(const SurfacePoint* points, const int*, int, int) override {
        benchmark::DoNotOptimize(points);
        return this;
    }
    SurfaceObject SelectObject(SurfaceObject) override { return this; }
    bool DeleteObject(SurfaceObject) override { return true; }
    int SetPolyFillMode(int) override { return 1; }
    bool Polygon(const SurfacePoint* points, int) override {
        benchmark::DoNotOptimize(points);
        return true;
    }
    bool MoveToEx(int, int) override { return true; }
    bool LineTo(int, int) override { return true; }
    bool PaintRgn(SurfaceObject) override { return true; }
};

void RunFrame(DrawingSurface& surface) {
    ProjectFrame();
    FrameGeometry frame = PlanFrame();
    RebasePoints(frame);
    DrawSolids(surface);
    AdvanceAnimation(frame);
}

// roundTo calls over one turn of frames, counted by the ordering itself.
double RoundToCallsPerFrame() {
    long calls = 0;
    const int frames = 360;
    for (int f = 0; f < frames; ++f) {
        ProjectFrame();
        for (int slot = 1; slot <= ShownSlotCount(); ++slot) {
            WallOrderLog log;
            WallOrder order;
            OrderWalls(characterSlots[slot], order, &log);
            calls += log.roundToCalls;
        }
        AdvanceAnimation(PlanFrame());
    }
    return static_cast<double>(calls) / frames;
}

// The cost of one roundTo call on the kind of values the ordering rounds.
double NanosecondsPerRoundTo() {
    std::vector<double> values;
    for (int slot = 1; slot <= ShownSlotCount(); ++slot) {
        for (int j = 1; j <= 2 * characterSlots[slot].glyph.pointCount; ++j) {
            values.push_back(characterSlots[slot].projected.vertex[j].x);
            values.push_back(characterSlots[slot].projected.vertex[j].z);
        }
    }
    const int rounds = 2000;
    double sink = 0;
    auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        for (double v : values) sink += roundTo(v, (r & 1) ? 13 : 12);
    }
    auto elapsed = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(sink);
    return elapsed / (static_cast<double>(rounds) * values.size());
}

struct Figure {
    const char* name;
    double targetMicroseconds;
    double microsecondsPerFrame = 0;
    double roundToShare = 0;
};
Figure defaultFigure{"default scene (2 x BOX, default settings)", 50};
Figure worstFigure{"worst case (9 x 45 points, 13 contours, KAITEN, own spin, ENKIN 30, VIEW 9)", 1000};

void MeasureFrames(benchmark::State& state, void (*buildScene)(), Figure& figure) {
    buildScene();
    const double callsPerFrame = RoundToCallsPerFrame();
    const double nsPerCall = NanosecondsPerRoundTo();
    buildScene();
    NullSurface surface;
    long frames = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        RunFrame(surface);
        ++frames;
    }
    auto elapsed = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    figure.microsecondsPerFrame = elapsed / static_cast<double>(frames);
    figure.roundToShare = callsPerFrame * nsPerCall / 1000.0 / figure.microsecondsPerFrame;
    state.counters["roundTo_calls"] = callsPerFrame;
    state.counters["roundTo_share"] = figure.roundToShare;
}

void BM_DefaultSceneFrame(benchmark::State& state) { MeasureFrames(state, bench::DefaultScene, defaultFigure); }
void BM_WorstCaseFrame(benchmark::State& state) { MeasureFrames(state, bench::WorstScene, worstFigure); }

BENCHMARK(BM_DefaultSceneFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorstCaseFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nFrame logic per frame (projection, ordering, composition; no transfer):\n");
    for (const Figure* f : {&defaultFigure, &worstFigure}) {
        if (f->microsecondsPerFrame == 0) continue;
        std::printf("  %-80s %9.2f us  (target under %.0f us: %s), roundTo share %.0f%%\n", f->name,
                    f->microsecondsPerFrame, f->targetMicroseconds,
                    f->microsecondsPerFrame < f->targetMicroseconds ? "met" : "MISSED", 100.0 * f->roundToShare);
    }
    return 0;
}
