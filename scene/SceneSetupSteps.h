// The per-slot steps of scene setup, in the order SetupScene runs them.
// Each works on one slot and reads only within its storage, whatever the
// glyph holds: point and contour counts beyond the slot's capacity are
// limited to kShownGlyphPoints and kShownGlyphContours, and a contour whose
// ends lie outside 1..pointCount is left out.
#pragma once

#include "scene/SceneRecords.h"

// The points and contours of `glyph` that the steps use.
int UsablePointCount(const ShownGlyph& glyph);
int UsableContourCount(const ShownGlyph& glyph);

// Rewrites every contour to start at its right-most point (top-most among
// those, first among full ties) and to turn right there, in design units.
void NormalizeContours(ShownGlyph& glyph);

// The outline point after point i (1..pointCount) on its contour.
int NextOutlinePoint(const ShownGlyph& glyph, int i);

// The winding flag, hole marking, side-wall corners and hull flags of a slot
// whose glyph is in scene units.
void BuildSideWalls(CharacterSlot& slot);

// Fills the three shades of colour number 1..7; other numbers leave them.
void FillFaceColors(FaceColors& colors, int colourNumber);
