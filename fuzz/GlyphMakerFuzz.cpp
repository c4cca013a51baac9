// Fuzz target: the glyph maker on any outline. Whatever contours, curves
// and coordinates it is handed, it must finish without a sanitizer report,
// and a glyph it makes must be one the loader takes and the scene can draw:
// 1..45 points, 1..13 contours that cover the points in order with three or
// more each, at most four holes (none of them contour 1), x inside the cell.
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "glyphs/GlyphValue.h"
#include "glyphs/MakeGlyph.h"

namespace {

using fuzzsupport::Fail;

// Reads the input as an outline: per contour a segment count, then per
// segment its kind and its points as 16-bit font units.
class OutlineReader {
public:
    OutlineReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    CharacterOutline Read() {
        CharacterOutline outline;
        const int contours = Byte() % 20;
        for (int c = 0; c < contours && at_ < size_; ++c) {
            OutlineContour contour{Point(), {}};
            const int segments = Byte() % 48;
            for (int s = 0; s < segments && at_ < size_; ++s) {
                OutlineSegment segment;
                segment.controlCount = Byte() % 3;
                for (int k = 0; k < segment.controlCount; ++k) segment.control[k] = Point();
                segment.to = Point();
                contour.segments.push_back(segment);
            }
            outline.push_back(contour);
        }
        return outline;
    }

private:
    int Byte() { return at_ < size_ ? data_[at_++] : 0; }
    OutlinePoint Point() {
        const int x = static_cast<std::int16_t>(Byte() | Byte() << 8);
        const int y = static_cast<std::int16_t>(Byte() | Byte() << 8);
        return {static_cast<double>(x), static_cast<double>(y)};
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const CharacterOutline outline = OutlineReader(data, size).Read();
    std::string note;
    const MadeGlyph made = MakeTextGlyph(outline, FontMetrics{1000.0, 700.0, 0.0}, note);
    if (!made.fit.fitted) return 0;
    const GlyphDefinition& glyph = made.fit.glyph;
    GlyphDefinition parsed{};
    if (!ParseGlyphValue(FormatGlyphValue("FUZZ", glyph), parsed)) Fail("the loader takes every made glyph");
    if (glyph.pointCount < 1 || glyph.pointCount > kMaxGlyphPoints) Fail("a made glyph has 1..45 points");
    if (glyph.contourCount < 1 || glyph.contourCount > kMaxContours) Fail("a made glyph has 1..13 contours");
    int next = 1;
    for (int j = 1; j <= glyph.contourCount; ++j) {
        if (glyph.contourFirst[j] != next || glyph.contourLast[j] - glyph.contourFirst[j] < 2)
            Fail("a made glyph's contours follow on with three points each");
        next = glyph.contourLast[j] + 1;
    }
    if (next != glyph.pointCount + 1) Fail("a made glyph's last contour ends at its last point");
    for (int h = 1; h <= kMaxHoles; ++h)
        if (glyph.holeStart[h] == 1) Fail("a made glyph does not open with a hole");
    for (int i = 1; i <= glyph.pointCount; ++i)
        if (glyph.pointX[i] < -50 || glyph.pointX[i] > 50) Fail("a made glyph stays inside its cell");
    return 0;
}
