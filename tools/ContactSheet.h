// The contact sheet: every glyph of a file drawn flat into one picture, so a
// glyph set can be judged at a glance without starting the saver.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/GlyphDefinition.h"

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows top to bottom, three bytes a pixel

    Image(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 0) {}
    void Set(int x, int y, std::uint32_t colour);
    std::uint32_t At(int x, int y) const;  // 0xRRGGBB
};

struct PixelPoint {
    double x;
    double y;
};

// Fills the polygons as one shape with the even-odd rule (a pixel is filled
// when its centre lies inside an odd number of them), so holes stay open.
// Pixel edges follow the half-open rule: a centre exactly on a left edge is
// in, on a right edge out.
void FillEvenOdd(Image& image, const std::vector<std::vector<PixelPoint>>& polygons, std::uint32_t colour);

// Writes the image as an 8-bit RGB PNG; false when the file cannot be written.
bool WritePng(const std::string& path, const Image& image);

struct SheetGlyph {
    int number;             // n of its key ZAHYOn
    GlyphDefinition glyph;  // empty (no points) when the loader refuses it
};

// Scale of the sheet, in pixels per design unit, and its columns.
inline constexpr int kSheetUnit = 2;
inline constexpr int kSheetColumns = 10;
inline constexpr int kSheetCellWidth = 100 * kSheetUnit;
inline constexpr int kSheetCellHeight = 140 * kSheetUnit;  // design y from +70 to -70

// Draws the glyphs in a grid of ten columns, in list order: each in its own
// cell with the cell's origin at its centre, white with its holes open,
// its outline points marked in red, its number at the top left.
Image RenderContactSheet(const std::vector<SheetGlyph>& glyphs);

// The pixel of design point (x, y) of the glyph in cell `cell` (0-based).
PixelPoint SheetPixel(int cell, double x, double y);
