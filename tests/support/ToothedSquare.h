// A hostile outline shared by the glyph maker's tests and its benchmark.
#pragma once

#include "glyphs/GlyphOutline.h"

// `points` points evenly along the edge of a square of 700 font units, every
// other one `depth` units inwards: a tooth at every point.
inline OutlineContour ToothedSquare(int points, double depth) {
    OutlineContour contour;
    for (int i = 0; i < points; ++i) {
        const double along = 2800.0 * i / points, in = i % 2 ? depth : 0.0;
        const int side = static_cast<int>(along / 700.0);
        const double t = along - 700.0 * side;
        const OutlinePoint edge[] = {{t, in}, {700.0 - in, t}, {700.0 - t, 700.0 - in}, {in, 700.0 - t}};
        if (i == 0) contour.start = edge[side];
        else contour.segments.push_back({0, {}, edge[side]});
    }
    return contour;
}
