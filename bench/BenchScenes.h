// The scenes the frame benchmarks measure: the default settings with the
// example glyph BOX in both shown slots, the shipped settings file as the
// Linux program first shows it, and a worst case of nine 45-point glyphs.
// Each one leaves the process-wide records ready for the first frame of a
// 1920 x 1080 window.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/portable/ProfileRedirect.h"
#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"

namespace bench {

constexpr int kClientWidth = 1920;
constexpr int kClientHeight = 1080;

struct Point {
    int x, y;
};

inline void StoreGlyph(int slot, const std::vector<std::vector<Point>>& contours, const std::vector<int>& holeContours) {
    ShownGlyph& g = characterSlots[slot].glyph;
    std::memset(&g, 0, sizeof g);
    int n = 0;
    for (std::size_t c = 0; c < contours.size(); ++c) {
        g.contourFirst[c + 1] = n + 1;
        for (Point p : contours[c]) {
            ++n;
            g.pointX[n] = p.x;
            g.pointY[n] = p.y;
        }
        g.contourLast[c + 1] = n;
    }
    g.pointCount = n;
    g.contourCount = static_cast<int>(contours.size());
    for (int h : holeContours) g.holeFlag[h] = 1;
}

inline void DefaultSettings() {
    std::memset(&settings, 0, sizeof settings);
    std::memset(&sceneState, 0, sizeof sceneState);
    std::memset(characterSlots, 0, sizeof characterSlots);
    for (const SettingDescriptor& row : settingTable) settings.*row.field = row.defaultValue;
    sceneState.clientWidth = kClientWidth;
    sceneState.clientHeight = kClientHeight;
}

// The default settings with the example glyph BOX in both shown slots.
inline void DefaultScene() {
    DefaultSettings();
    const std::vector<std::vector<Point>> box = {{{-30, -40}, {30, -40}, {30, 40}, {-30, 40}},
                                                 {{-15, -20}, {15, -20}, {15, 20}, {-15, 20}}};
    for (int slot = 1; slot <= settings.OPTIONN; ++slot) StoreGlyph(slot, box, {2});
    SetupScene();
}

// The settings and glyphs of `path` (the shipped file shows STAR and HEART),
// loaded as the Linux program loads them at its start. False when the file
// cannot be read, so a benchmark never measures the built-in defaults by
// mistake.
inline bool FileScene(const std::string& path) {
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
    } else {
        return false;
    }
    DefaultSettings();
    platform::RedirectProfileFile(path);
    LoadKeyNames(nullptr);
    LoadSettings();
    LoadGlyphs();
    sceneState.clientWidth = kClientWidth;
    sceneState.clientHeight = kClientHeight;
    SetupScene();
    return true;
}

// The shipped file with the largest figure the settings panel offers: all
// nine slots, SIZE 50, SIZEY 50, perspective ENKIN 30. As the row turns
// edge-on its near end is projected far out, and the covering rectangle of
// a 1920 x 1080 window grows to some 215,000 x 1,081 pixels.
inline bool LargestPanelScene(const std::string& path) {
    if (!FileScene(path)) return false;
    settings.OPTIONN = 9;
    settings.SIZE = 50;
    settings.SIZEY = 50;
    settings.ENKIN = 30;
    std::memset(&sceneState, 0, sizeof sceneState);
    LoadGlyphs();
    sceneState.clientWidth = kClientWidth;
    sceneState.clientHeight = kClientHeight;
    SetupScene();
    return true;
}

// Nine glyphs of 45 points in 13 contours: a notched outline holding four
// triangular holes, and eight triangles beside it, so almost no wall lies on
// the glyph's hull and nearly every visible wall goes through the ordering.
inline void WorstScene() {
    DefaultSettings();
    settings.OPTIONN = 9;
    settings.KAITEN = 1;
    for (int k = 1; k <= 9; ++k) settings.*ownSpinField[k] = 1;
    settings.ENKIN = 30;
    settings.VIEW = 9;
    settings.OPTIONP = 2;
    std::vector<std::vector<Point>> contours = {
        {{10, 45}, {10, -45}, {-48, -45}, {-48, 45}, {-35, 45}, {-35, 38}, {-20, 30}, {-5, 38}, {-5, 45}}};
    auto triangle = [](int cx, int cy) { return std::vector<Point>{{cx + 6, cy + 6}, {cx + 6, cy - 6}, {cx - 6, cy - 6}}; };
    for (int cy : {10, -25}) {
        for (int cx : {-35, -15}) contours.push_back(triangle(cx, cy));
    }
    for (int cy : {-36, -12, 12, 36}) {
        for (int cx : {22, 40}) contours.push_back(triangle(cx, cy));
    }
    for (int slot = 1; slot <= 9; ++slot) StoreGlyph(slot, contours, {2, 3, 4, 5});
    SetupScene();
}

}  // namespace bench
