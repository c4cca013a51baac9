// A top-down DIB section of the given size and bit count (24 or 32): row 0
// is the top row, so a pixel's bytes sit where a picture in memory keeps
// them. The test programs read drawn pixels back through it.
#pragma once

#include <windows.h>

inline HBITMAP CreateTopDownDib(HDC dc, int width, int height, int bitCount, void** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}
