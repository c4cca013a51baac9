// Fuzz target: the glyph maker on any outline and any font metrics. Whatever
// contours, curves, coordinates and sizes it is handed, it must finish
// without a sanitizer report, and a glyph it makes must be one the loader
// takes and the scene can draw: 1..45 points, 1..13 contours that cover the
// points in order with three or more each, at most four holes (none of them
// contour 1), x inside the cell, and a value that fits the 511 characters
// the saver reads under the longest name.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "glyphs/GlyphValue.h"
#include "glyphs/MakeGlyph.h"

namespace {

using fuzzsupport::Fail;

// Reads the input as the font's metrics (em, capital height, top of the H),
// then a 16-bit count of contours and per contour: how many copies of it to
// make, each moved on by an offset read once (only with copies), its start
// point, a 16-bit count of segments and per segment its kind and its
// points. Numbers are 32-bit integers, little-endian, in font units; the
// four lowest stand for what no integer is: no number, plus and minus
// infinity, and 1e300. Copies let a short input reach outlines far beyond
// any font's, thousands of contours and tens of thousands of points.
class OutlineReader {
public:
    OutlineReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    FontMetrics Metrics() {
        const double em = Number(), capitalHeight = Number(), letterHTop = Number();
        return {em, capitalHeight, letterHTop};
    }

    CharacterOutline Outline() {
        CharacterOutline outline;
        const int contours = Word();
        for (int c = 0; c < contours && at_ < size_; ++c) {
            const int copies = 1 + Byte() % 64;
            const OutlinePoint offset = copies > 1 ? Point() : OutlinePoint{};
            OutlineContour contour{Point(), {}};
            const int segments = Word();
            for (int s = 0; s < segments && at_ < size_; ++s) {
                OutlineSegment segment;
                segment.controlCount = Byte() % 3;
                for (int k = 0; k < segment.controlCount; ++k) segment.control[k] = Point();
                segment.to = Point();
                contour.segments.push_back(segment);
            }
            for (int k = 0; k < copies; ++k) outline.push_back(Moved(contour, {k * offset.x, k * offset.y}));
        }
        return outline;
    }

private:
    int Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int Word() { return Byte() | Byte() << 8; }
    double Number() {
        const std::uint32_t bits = static_cast<std::uint32_t>(Word()) | static_cast<std::uint32_t>(Word()) << 16;
        switch (bits) {
            case 0x80000000u: return std::numeric_limits<double>::quiet_NaN();
            case 0x80000001u: return std::numeric_limits<double>::infinity();
            case 0x80000002u: return -std::numeric_limits<double>::infinity();
            case 0x80000003u: return 1e300;
            default: return static_cast<std::int32_t>(bits);
        }
    }
    OutlinePoint Point() {
        const double x = Number();
        return {x, Number()};
    }
    static OutlineContour Moved(OutlineContour contour, OutlinePoint by) {
        auto move = [by](OutlinePoint* point) { *point = {point->x + by.x, point->y + by.y}; };
        move(&contour.start);
        for (OutlineSegment& segment : contour.segments)
            for (OutlinePoint* point : {&segment.control[0], &segment.control[1], &segment.to}) move(point);
        return contour;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OutlineReader reader(data, size);
    const FontMetrics metrics = reader.Metrics();
    const CharacterOutline outline = reader.Outline();
    std::string note;
    // As a shown text's glyph: within its own limits, in sixteenths of a unit.
    const MadeGlyph shown = MakeTextGlyph(outline, metrics, note, kShownGlyphLimits);
    if (shown.fit.fitted) {
        const FitLimits& limits = kShownGlyphLimits;
        std::size_t points = 0;
        for (const OutlinePath& contour : shown.fit.contours) {
            if (contour.size() < 3) Fail("a shown glyph's contours keep three points each");
            points += contour.size();
            for (const OutlinePoint& point : contour)
                if (std::fabs(point.x) > limits.cellHalfWidth * limits.subunits || !(std::fabs(point.y) <= 2147483647.0))
                    Fail("a shown glyph stays inside its cell and its 32-bit numbers");
        }
        if (points < 1 || points > static_cast<std::size_t>(limits.pointBudget)) Fail("a shown glyph keeps to its points");
        if (shown.fit.contours.empty() || shown.fit.contours.size() > static_cast<std::size_t>(limits.contourLimit) ||
            shown.fit.hole.size() != shown.fit.contours.size() || shown.fit.hole[0])
            Fail("a shown glyph keeps to its contours, and opens with one that is no hole");
    }
    const MadeGlyph made = MakeTextGlyph(outline, metrics, note);
    if (!made.fit.fitted) return 0;
    const GlyphDefinition& glyph = made.fit.glyph;
    GlyphDefinition parsed{};
    if (!ParseGlyphValue(FormatGlyphValue("FUZZ", glyph), parsed)) Fail("the loader takes every made glyph");
    if (FormatGlyphValue(std::string(kGlyphNameLength, 'N'), glyph).size() > kGlyphValueLength)
        Fail("a made glyph's value fits the 511 characters the saver reads");
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
