// A 24-bit picture in memory, laid out as a top-down 24-bit DIB: rows from
// the top, each pixel blue, green, red, each row padded to a multiple of
// four bytes. The software drawing surface draws into it, and a frame is
// copied from one buffer into another as BitBlt copies a bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "render/DrawingSurface.h"

struct PixelBuffer {
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes per row
    std::vector<std::uint8_t> bytes;
};

// A width x height buffer filled with one colour. Negative sizes count as 0.
PixelBuffer MakePixelBuffer(int width, int height, ColourRef fill);

// The colour at (x, y) as a COLORREF; the caller keeps (x, y) inside.
ColourRef PixelAt(const PixelBuffer& buffer, int x, int y);

// Sets the pixels x in [left, right) of row y, clipped to the buffer.
void FillSpan(PixelBuffer& buffer, int y, int left, int right, ColourRef colour);

// Copies the width x height block of `from` at (fromX, fromY) to (toX, toY)
// in `to`, as a SRCCOPY transfer: the parts that lie outside either buffer
// are left out.
void CopyPixels(PixelBuffer& to, int toX, int toY, const PixelBuffer& from, int fromX, int fromY, int width,
                int height);
