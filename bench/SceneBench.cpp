// SetupScene and ProjectFrame for the default scene (two BOX glyphs) and for
// nine glyphs of 45 points each, in the default settings otherwise.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

#include "scene/ProjectFrame.h"
#include "scene/Random.h"
#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/Settings.h"

namespace {

void DefaultSettings() {
    for (const SettingDescriptor& row : settingTable) settings.*row.field = row.defaultValue;
}

ShownGlyph BoxGlyph() {
    ShownGlyph glyph{};
    const int points[8][2] = {{-30, -40}, {30, -40}, {30, 40}, {-30, 40}, {-15, -20}, {15, -20}, {15, 20}, {-15, 20}};
    glyph.pointCount = 8;
    glyph.contourCount = 2;
    glyph.holeFlag[2] = 1;
    glyph.contourFirst[1] = 1;
    glyph.contourLast[1] = 4;
    glyph.contourFirst[2] = 5;
    glyph.contourLast[2] = 8;
    for (int i = 1; i <= 8; ++i) {
        glyph.pointX[i] = points[i - 1][0];
        glyph.pointY[i] = points[i - 1][1];
    }
    return glyph;
}

// An outer ring of 30 points around a hole of 15: a 45-point glyph whose
// every wall needs the full hull test.
ShownGlyph LargeGlyph() {
    ShownGlyph glyph{};
    glyph.pointCount = 45;
    glyph.contourCount = 2;
    glyph.holeFlag[2] = 1;
    glyph.contourFirst[1] = 1;
    glyph.contourLast[1] = 30;
    glyph.contourFirst[2] = 31;
    glyph.contourLast[2] = 45;
    for (int i = 0; i < 30; ++i) {
        const double angle = -i * 2 * 3.141593 / 30;
        const double radius = i % 2 ? 30 : 45;
        glyph.pointX[1 + i] = static_cast<int>(radius * std::cos(angle));
        glyph.pointY[1 + i] = static_cast<int>(radius * std::sin(angle));
    }
    for (int i = 0; i < 15; ++i) {
        const double angle = -i * 2 * 3.141593 / 15;
        glyph.pointX[31 + i] = static_cast<int>(12 * std::cos(angle));
        glyph.pointY[31 + i] = static_cast<int>(12 * std::sin(angle));
    }
    return glyph;
}

void PrepareScene(int shown, const ShownGlyph& glyph) {
    DefaultSettings();
    settings.OPTIONN = shown;
    settings.OPTIONP = 2;
    std::memset(characterSlots, 0, sizeof characterSlots);
    for (int k = 1; k <= shown; ++k) characterSlots[k].glyph = glyph;
    sceneState.clientWidth = 1920;
    sceneState.clientHeight = 1080;
    SeedRandom(1);
}

void BM_SetupScene(benchmark::State& state, int shown, ShownGlyph (*makeGlyph)()) {
    const ShownGlyph glyph = makeGlyph();
    for (auto _ : state) {
        state.PauseTiming();
        PrepareScene(shown, glyph);
        state.ResumeTiming();
        SetupScene();
        benchmark::ClobberMemory();
    }
}

void BM_ProjectFrame(benchmark::State& state, int shown, ShownGlyph (*makeGlyph)()) {
    PrepareScene(shown, makeGlyph());
    SetupScene();
    for (int k = 1; k <= shown; ++k) settings.*ownSpinField[k] = 1;
    sceneState.scenePosY = 100;  // off the middle row, so the view tilts too
    for (auto _ : state) {
        ProjectFrame();
        benchmark::ClobberMemory();
        sceneState.globalAngle = (sceneState.globalAngle + 3) % 360;
        for (int k = 1; k <= shown; ++k) characterSlots[k].ownAngle = (characterSlots[k].ownAngle + 5) % 360;
    }
}

void BM_SetupScene_DefaultTwoBoxes(benchmark::State& state) { BM_SetupScene(state, 2, BoxGlyph); }
void BM_SetupScene_NineGlyphsOf45Points(benchmark::State& state) { BM_SetupScene(state, 9, LargeGlyph); }
void BM_ProjectFrame_DefaultTwoBoxes(benchmark::State& state) { BM_ProjectFrame(state, 2, BoxGlyph); }
void BM_ProjectFrame_NineGlyphsOf45Points(benchmark::State& state) { BM_ProjectFrame(state, 9, LargeGlyph); }

}  // namespace

BENCHMARK(BM_SetupScene_DefaultTwoBoxes);
BENCHMARK(BM_SetupScene_NineGlyphsOf45Points);
BENCHMARK(BM_ProjectFrame_DefaultTwoBoxes);
BENCHMARK(BM_ProjectFrame_NineGlyphsOf45Points);
BENCHMARK_MAIN();
