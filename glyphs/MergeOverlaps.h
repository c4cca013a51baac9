// Contours that overlap merged into one outline, as the font fills them.
#pragma once

#include <vector>

#include "glyphs/GlyphOutline.h"

// Fonts fill an outline by the non-zero winding rule: outer contours run one
// way and holes the other, and where two strokes overlap the ink is simply
// ink. The saver fills an end face with the even-odd rule, which shows such
// an overlap as a hole. `merged` receives the filled area of the paths (in
// design units) as simple contours, each polygon's outer contour followed by
// its holes: strokes that overlap or meet unioned into one, each hole cut
// from the smallest outer contour that holds most of it, ink under two
// contours that turn the same way kept as ink. The union works on a grid of
// 1/64 design unit in whole numbers, so it is exact and gives the same
// contours on every platform.
//
// A contour that crosses itself is first split at its crossings into simple
// loops (a figure eight into its two lobes), since the union takes simple
// contours only; each loop then counts as an outer contour or a hole by the
// way it turns, as the non-zero rule fills it.
//
// False, leaving `merged` alone, when the union changes nothing (as many
// contours, as large, as the paths hold, none split: they then keep their
// points and first points exactly), and when the paths cannot be merged: a
// point beyond 4,096 units, more than 4,096 points, a contour that crosses
// itself more than 1,024 times or whose loops still cross once their
// crossings are put on the grid, edges that meet in more than 512 places
// (the union's time grows steeply with them), or a union that the library
// refuses.
bool MergeOverlaps(const std::vector<OutlinePath>& paths, std::vector<OutlinePath>& merged);
