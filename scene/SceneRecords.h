// The per-slot and scene-wide records that scene setup builds and every
// frame reads and advances. One instance of each, process-wide.
#pragma once

#include <cstdint>

#include "settings/GlyphDefinition.h"

// How many points and contours a slot's glyph may hold: 512 points in up to
// 64 contours, enough for a dense kanji kept with every stroke, and any
// contour may be a hole. The stored format keeps its own limits
// (kMaxGlyphPoints, kMaxContours, kMaxHoles) for every glyph read from or
// written to the file; these bound only the outline a slot draws, and every
// per-slot table is sized by them. A slot then takes about 50 KB, so the
// slots live in the process-wide records below and never on a stack, and
// the steps that need work storage of that size keep it process-wide too.
inline constexpr int kShownGlyphPoints = 512;
inline constexpr int kShownGlyphContours = 64;

// The outline a slot draws. Every array is 1-based: entry 0 is never used.
// Contour j is the closed polygon of points contourFirst[j]..contourLast[j];
// holeFlag[j] is 1 when that contour is a hole, whose side walls face
// inward, else 0. Points are in design units, or in `subunits` parts of
// one: a stored glyph has whole units (1), a glyph made for a shown text
// finer ones, so that its strokes keep the font's widths (0 counts as 1).
struct ShownGlyph {
    std::int32_t pointCount;
    std::int32_t contourCount;
    std::int32_t subunits;
    std::int32_t contourFirst[kShownGlyphContours + 1];
    std::int32_t contourLast[kShownGlyphContours + 1];
    std::int32_t holeFlag[kShownGlyphContours + 1];
    std::int32_t pointX[kShownGlyphPoints + 1];  // x to the right
    std::int32_t pointY[kShownGlyphPoints + 1];  // y up
};

// The outline of a glyph as stored, for a slot: counts, contours and points
// as they stand, and each contour a hole when its first point is one of the
// glyph's four hole starts (stray or repeated starts mark nothing more).
ShownGlyph ShownGlyphOf(const GlyphDefinition& stored);

// The side wall between outline point i and its successor next(i). Vertex i
// is point i on the front outline, vertex P + i the same point on the back.
struct SideQuad {
    std::int32_t normalWinding;  // 0 for a wall of a hole contour, else 1
    std::int32_t corner[4];      // P1..P4, vertex numbers in drawing order
    std::int32_t hullFlag;       // 1 when the wall lies on the outline's convex hull
};

struct Rgb {
    std::int32_t red, green, blue;  // 0..255 each
};

// The slot's three shades: front end face, side walls, back end face.
struct FaceColors {
    Rgb front, side, back;
};

// One projected vertex: x, y, z in scene units (y up, larger z farther), and
// px, py truncated toward zero, which the compositor rebases into bitmap
// coordinates before the renderers draw.
struct ProjectedPoint {
    double x, y, z;
    std::int32_t px, py;
};

// Vertices 1..n are the front outline, n+1..2n the back; entry 0 unused.
struct ProjectedPoints {
    ProjectedPoint vertex[2 * kShownGlyphPoints + 1];
};

// Which end face of the solid faces the viewer this frame.
struct FaceVisibility {
    std::int32_t front, back;
};

struct CharacterSlot {
    ShownGlyph glyph;       // design units as loaded, scene units after setup
    std::int32_t centerX;   // scene units
    std::int32_t ownAngle;  // degrees 0..359
    std::int32_t windingFlag;
    SideQuad sideQuad[kShownGlyphPoints + 1];  // entries 1..pointCount
    FaceColors faceColors;
    ProjectedPoints projected;
    FaceVisibility faceVisibility;
};

// Extremes of a frame's projected points relative to its scene centre.
struct Extent {
    std::int32_t minX, minY, maxX, maxY;
};

struct SceneState {
    std::int32_t clientWidth, clientHeight;
    std::int32_t globalAngle;  // degrees 0..359
    double perspectiveFactor;  // ENKIN / 10000.0
    std::int32_t scenePosX, scenePosY;
    std::int32_t velocityX, velocityY;  // pixels per frame, y down
    std::int32_t lastMoveX, lastMoveY;
    std::int32_t minPosX, maxPosX, minPosY, maxPosY;
    Extent prevExtent;
    std::int32_t bounceSpeed;
    std::int32_t speedClass;  // 1..4
    std::int32_t currentSlot;
};

// Where a text's slots stand when the slots show a text: each slot's centre
// (the middle of its ink) and the row's width as the font lays the text
// out, in design units about the row's centre. Without a text (`used` 0)
// the slots stand in fixed cells 10 x SIZEY apart.
struct TextRow {
    std::int32_t used;
    std::int32_t width;
    std::int32_t centerX[kMaxSlots + 1];  // entries 1..OPTIONN
};

// Slots 1..9; entry 0 is never used.
extern CharacterSlot characterSlots[kMaxSlots + 1];
extern SceneState sceneState;
extern TextRow textRow;
