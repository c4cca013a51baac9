#include "tools/ContactSheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <zlib.h>

void Image::Set(int x, int y, std::uint32_t colour) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    std::uint8_t* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    pixel[0] = static_cast<std::uint8_t>(colour >> 16);
    pixel[1] = static_cast<std::uint8_t>(colour >> 8);
    pixel[2] = static_cast<std::uint8_t>(colour);
}

std::uint32_t Image::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const std::uint8_t* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    return (std::uint32_t{pixel[0]} << 16) | (std::uint32_t{pixel[1]} << 8) | pixel[2];
}

void FillEvenOdd(Image& image, const std::vector<std::vector<PixelPoint>>& polygons, std::uint32_t colour) {
    std::vector<double> crossings;
    for (int row = 0; row < image.height; ++row) {
        const double y = row + 0.5;
        crossings.clear();
        for (const std::vector<PixelPoint>& polygon : polygons) {
            for (std::size_t i = 0, n = polygon.size(); i < n; ++i) {
                const PixelPoint& a = polygon[i];
                const PixelPoint& b = polygon[(i + 1) % n];
                // An edge covers the rows whose centres lie in [top, bottom),
                // so a vertex shared by two edges is counted once.
                if ((a.y <= y) == (b.y <= y)) continue;
                crossings.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const int first = static_cast<int>(std::ceil(crossings[i] - 0.5));
            const int last = static_cast<int>(std::ceil(crossings[i + 1] - 0.5)) - 1;
            for (int x = std::max(first, 0); x <= last && x < image.width; ++x) image.Set(x, row, colour);
        }
    }
}

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static std::uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBigEndian(out, Crc32(body.data(), body.size()));
}

}  // namespace

bool WritePng(const std::string& path, const Image& image) {
    // The rows, each after a filter byte of 0, as one zlib stream.
    std::vector<std::uint8_t> raw;
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    for (int row = 0; row < image.height; ++row) {
        raw.push_back(0);
        raw.insert(raw.end(), image.rgb.begin() + static_cast<std::ptrdiff_t>(row * stride),
                   image.rgb.begin() + static_cast<std::ptrdiff_t>((row + 1) * stride));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> zlib(packedSize);
    if (compress2(zlib.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return false;
    zlib.resize(packedSize);

    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(image.width));
    PutBigEndian(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});

    std::FILE* stream = std::fopen(path.c_str(), "wb");
    if (!stream) return false;
    bool complete = std::fwrite(png.data(), 1, png.size(), stream) == png.size();
    complete = (std::fclose(stream) == 0) && complete;
    return complete;
}

namespace {

constexpr std::uint32_t kBackground = 0x000000;
constexpr std::uint32_t kGridColour = 0x404040;
constexpr std::uint32_t kAxisColour = 0x202060;
constexpr std::uint32_t kGlyphColour = 0xffffff;
constexpr std::uint32_t kPointColour = 0xff2020;
constexpr std::uint32_t kLabelColour = 0xa0a0a0;

// Digits 0..9 as 3 x 5 bitmaps, one row a line, bit 2 the left column.
constexpr std::uint8_t kDigitRows[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void DrawNumber(Image& image, int left, int top, int number) {
    const std::string digits = std::to_string(number);
    constexpr int dot = 2;
    for (std::size_t d = 0; d < digits.size(); ++d) {
        const auto& rows = kDigitRows[digits[d] - '0'];
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                if (rows[row] & (4 >> column))
                    for (int dy = 0; dy < dot; ++dy)
                        for (int dx = 0; dx < dot; ++dx)
                            image.Set(left + static_cast<int>(d) * 4 * dot + column * dot + dx, top + row * dot + dy,
                                      kLabelColour);
    }
}

}  // namespace

PixelPoint SheetPixel(int cell, double x, double y) {
    const int left = (cell % kSheetColumns) * kSheetCellWidth;
    const int top = (cell / kSheetColumns) * kSheetCellHeight;
    return {left + kSheetCellWidth / 2.0 + x * kSheetUnit, top + kSheetCellHeight / 2.0 - y * kSheetUnit};
}

Image RenderContactSheet(const std::vector<SheetGlyph>& glyphs) {
    const int count = static_cast<int>(glyphs.size());
    const int rows = std::max(1, (count + kSheetColumns - 1) / kSheetColumns);
    Image image(kSheetColumns * kSheetCellWidth, rows * kSheetCellHeight);
    for (std::uint8_t& byte : image.rgb) byte = static_cast<std::uint8_t>(kBackground);

    for (int cell = 0; cell < count; ++cell) {
        const PixelPoint origin = SheetPixel(cell, 0, 0);
        const int left = static_cast<int>(origin.x) - kSheetCellWidth / 2;
        const int top = static_cast<int>(origin.y) - kSheetCellHeight / 2;
        for (int x = left; x < left + kSheetCellWidth; ++x) image.Set(x, top, kGridColour);
        for (int y = top; y < top + kSheetCellHeight; ++y) image.Set(left, y, kGridColour);
        for (int x = left + 1; x < left + kSheetCellWidth; ++x) image.Set(x, static_cast<int>(origin.y), kAxisColour);
        DrawNumber(image, left + 4, top + 4, glyphs[cell].number);

        const GlyphDefinition& glyph = glyphs[cell].glyph;
        std::vector<std::vector<PixelPoint>> polygons;
        for (int j = 1; j <= glyph.contourCount && j <= kMaxContours; ++j) {
            std::vector<PixelPoint> polygon;
            for (int i = glyph.contourFirst[j]; i <= glyph.contourLast[j]; ++i)
                if (i >= 1 && i <= kMaxGlyphPoints) polygon.push_back(SheetPixel(cell, glyph.pointX[i], glyph.pointY[i]));
            polygons.push_back(std::move(polygon));
        }
        // Each glyph is filled on its own, clipped to its cell, so that a
        // glyph reaching into its neighbour's cell cannot punch holes there.
        for (std::vector<PixelPoint>& polygon : polygons)
            for (PixelPoint& p : polygon) p = {p.x - left, p.y - top};
        Image cellImage(kSheetCellWidth, kSheetCellHeight);
        FillEvenOdd(cellImage, polygons, kGlyphColour);
        for (int y = 1; y < kSheetCellHeight; ++y)
            for (int x = 1; x < kSheetCellWidth; ++x)
                if (cellImage.At(x, y) == kGlyphColour) image.Set(left + x, top + y, kGlyphColour);
        for (int i = 1; i <= glyph.pointCount && i <= kMaxGlyphPoints; ++i) {
            const PixelPoint p = SheetPixel(cell, glyph.pointX[i], glyph.pointY[i]);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    image.Set(static_cast<int>(std::floor(p.x)) + dx, static_cast<int>(std::floor(p.y)) + dy, kPointColour);
        }
    }
    return image;
}
