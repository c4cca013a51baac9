// Scene setup: the loaded outlines become a laid-out row of solids.
#pragma once

#include "settings/GlyphDefinition.h"

// Normalises the contours of slots 1..N, lays the row out, builds the winding
// flags, side walls, hull flags and colours, and sets the scene-wide state.
// Needs LoadGlyphs first; rewrites the glyph points in place.
void SetupScene();

// Lays out again the slots 1..OPTIONN whose glyphs a shown text has just
// replaced (`placed[k]`), from design units, at the places textRow gives,
// and sets moving mode's limits for the row's new width. The position,
// speed, angles and last extent stay as they are: the figure goes on
// moving and turning as before, and the next frame covers the old one.
void LayOutNewSlots(const bool (&placed)[kMaxSlots + 1]);

// Draws a speed class k in 1..4 and sets bounceSpeed = SIZEIDO + k.
void PickBounceSpeed();
