#include <algorithm>
#include <cstdint>

#include "glyphs/NativeOutline.h"

namespace {

constexpr std::uint32_t kLocaFormatOffset = 50;  // in the 'head' table
constexpr int kComponentDepth = 8;               // nesting of composite glyphs
constexpr int kMostGlyphReads = 256;             // glyphs read for one, components included
constexpr std::size_t kGlyphHeaderSize = 10;     // contour count and bounding box
constexpr unsigned kLastGlyph = 0xFFFF;          // glyph numbers are 16-bit

// Composite glyph flags.
constexpr unsigned kWordArguments = 0x1;
constexpr unsigned kOneScale = 0x8;
constexpr unsigned kMoreComponents = 0x20;
constexpr unsigned kTwoScales = 0x40;
constexpr unsigned kTwoByTwo = 0x80;

// Simple glyph flags.
constexpr unsigned kOnCurve = 0x1;
constexpr unsigned kRepeat = 0x8;

std::uint32_t BigEndian(const std::vector<unsigned char>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | bytes[at + i];
    return value;
}

struct GlyphTable {
    const FontTables& font;
    bool longOffsets;    // the 'loca' table's form
    std::uint32_t size;  // bytes of the 'glyf' table
    int reads = 0;       // glyphs read so far, components included
};

bool ReadGlyph(GlyphTable& table, unsigned glyph, int depth, std::vector<ContourEnds>& ends) {
    if (glyph > kLastGlyph || depth > kComponentDepth || ++table.reads > kMostGlyphReads) return false;
    const int offsetSize = table.longOffsets ? 4 : 2;
    const std::vector<unsigned char> loca =
        table.font.TableBytes(FontTableTag("loca"), glyph * offsetSize, 2 * offsetSize);
    if (loca.empty()) return false;
    const std::uint64_t unit = table.longOffsets ? 1 : 2;
    const std::uint64_t start = BigEndian(loca, 0, offsetSize) * unit;
    const std::uint64_t stop = BigEndian(loca, offsetSize, offsetSize) * unit;
    if (stop <= start || stop > table.size) return stop == start;  // equal: a glyph without outline
    const std::vector<unsigned char> data = table.font.TableBytes(
        FontTableTag("glyf"), static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(stop - start));
    if (data.size() < kGlyphHeaderSize) return false;
    const int contours = static_cast<std::int16_t>(BigEndian(data, 0, 2));
    std::size_t at = kGlyphHeaderSize;
    if (contours < 0) {
        for (unsigned flags = kMoreComponents; flags & kMoreComponents;) {
            if (data.size() < at + 4) return false;
            flags = BigEndian(data, at, 2);
            if (!ReadGlyph(table, BigEndian(data, at + 2, 2), depth + 1, ends)) return false;
            // The arguments (words or bytes) and the scale (none, one, x and y, or two by two).
            at += 4 + (flags & kWordArguments ? 4 : 2) +
                  (flags & kOneScale ? 2 : flags & kTwoScales ? 4 : flags & kTwoByTwo ? 8 : 0);
        }
        return true;
    }
    if (data.size() < at + 2 * static_cast<std::size_t>(contours) + 2) return false;
    std::vector<std::size_t> lastPoints;
    for (int i = 0; i < contours; ++i, at += 2) lastPoints.push_back(BigEndian(data, at, 2));
    at += 2 + BigEndian(data, at, 2);  // past the instructions
    const std::size_t pointCount = contours > 0 ? lastPoints.back() + 1 : 0;
    std::vector<bool> on;
    while (on.size() < pointCount) {
        if (at >= data.size()) return false;
        const unsigned flag = data[at++];
        std::size_t repeat = 1;
        if (flag & kRepeat) {
            if (at >= data.size()) return false;
            repeat += data[at++];
        }
        on.insert(on.end(), std::min(repeat, pointCount - on.size()), (flag & kOnCurve) != 0);
    }
    std::size_t first = 0;
    for (std::size_t last : lastPoints) {
        if (last < first || last >= pointCount) return false;
        ends.push_back({last - first + 1, on[first], on[last]});
        first = last + 1;
    }
    return true;
}

}  // namespace

bool GlyphContourEnds(const FontTables& font, unsigned glyph, std::vector<ContourEnds>& ends) {
    ends.clear();
    const std::vector<unsigned char> head = font.TableBytes(FontTableTag("head"), kLocaFormatOffset, 2);
    const std::uint32_t size = font.TableSize(FontTableTag("glyf"));
    if (head.empty() || size == 0) return false;
    GlyphTable table{font, BigEndian(head, 0, 2) == 1, size};
    if (!ReadGlyph(table, glyph, 0, ends)) {
        ends.clear();
        return false;
    }
    std::erase_if(ends, [](const ContourEnds& contour) { return contour.points < 2; });
    return true;
}
