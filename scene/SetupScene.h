// Scene setup: the loaded outlines become a laid-out row of solids.
#pragma once

// Normalises the contours of slots 1..N, lays the row out, builds the winding
// flags, side walls, hull flags and colours, and sets the scene-wide state.
// Needs LoadGlyphs first; rewrites the glyph points in place.
void SetupScene();

// Draws a speed class k in 1..4 and sets bounceSpeed = SIZEIDO + k.
void PickBounceSpeed();
