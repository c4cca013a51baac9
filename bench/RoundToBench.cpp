// roundTo against the text round trip it reproduces ("%.*g", then atof), in
// nanoseconds per call, on values like those the scene rounds, and the
// speed-up of one over the other measured in the same run (CPU time, so a
// loaded machine shifts both figures alike).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
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

// The console table, plus the CPU nanoseconds per call of every run by name.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    RecordingReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                cpuNanoseconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
    }
    std::map<std::string, double> cpuNanoseconds;
};

constexpr double kTargetSpeedUp = 35.0;

}  // namespace

BENCHMARK(BM_roundTo)->Arg(9)->Arg(12)->Arg(13);
BENCHMARK(BM_TextRoundTrip)->Arg(9)->Arg(12)->Arg(13);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    double roundToTotal = 0, textTotal = 0;
    for (const char* digits : {"9", "12", "13"}) {
        const auto quick = reporter.cpuNanoseconds.find(std::string("BM_roundTo/") + digits);
        const auto text = reporter.cpuNanoseconds.find(std::string("BM_TextRoundTrip/") + digits);
        if (quick == reporter.cpuNanoseconds.end() || text == reporter.cpuNanoseconds.end()) continue;
        std::printf("%s digits: roundTo %.2f ns, text round trip %.1f ns, %.1fx\n", digits, quick->second,
                    text->second, text->second / quick->second);
        roundToTotal += quick->second;
        textTotal += text->second;
    }
    if (roundToTotal > 0) {
        std::printf("roundTo speed-up: %.1fx (target %.0fx)\n", textTotal / roundToTotal, kTargetSpeedUp);
    }
    return 0;
}
