// roundTo against the text round trip it reproduces ("%.*g", then atof), in
// nanoseconds per call, on values like those the scene rounds.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "scene/RoundTo.h"

namespace {

double TextRoundTrip(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return std::atof(text);
}

// Heights of lines through integer points in a 6000-unit square: the values
// the side-wall and contour tests round.
const std::vector<double>& SceneValues() {
    static const std::vector<double> values = [] {
        std::vector<double> made;
        unsigned state = 1;
        auto next = [&state] {
            state = state * 1103515245u + 12345u;
            return static_cast<int>((state >> 8) % 6001) - 3000;
        };
        while (made.size() < 4096) {
            const double x1 = next(), y1 = next(), x2 = next(), y2 = next(), xt = next();
            if (x1 == x2) continue;
            const double s = (y2 - y1) / (x2 - x1);
            made.push_back(xt * s + (y1 - x1 * s));
        }
        return made;
    }();
    return values;
}

void BM_roundTo(benchmark::State& state) {
    const std::vector<double>& values = SceneValues();
    const int digits = static_cast<int>(state.range(0));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(roundTo(values[i], digits));
        i = (i + 1) & 4095;
    }
}

void BM_TextRoundTrip(benchmark::State& state) {
    const std::vector<double>& values = SceneValues();
    const int digits = static_cast<int>(state.range(0));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextRoundTrip(values[i], digits));
        i = (i + 1) & 4095;
    }
}

}  // namespace

BENCHMARK(BM_roundTo)->Arg(9)->Arg(12)->Arg(13);
BENCHMARK(BM_TextRoundTrip)->Arg(9)->Arg(12)->Arg(13);
BENCHMARK_MAIN();
