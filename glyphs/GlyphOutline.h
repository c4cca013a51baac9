// One character's outline as a font stores it, in font units, handed over
// by whatever reads the font (FreeType on Linux, the system's outlines on
// Windows), and the same outline flattened into closed paths of points.
#pragma once

#include <vector>

struct OutlinePoint {
    double x;
    double y;
};

// A closed path: the last point joins the first.
using OutlinePath = std::vector<OutlinePoint>;

// One piece of a contour from the end of the previous one: a line
// (controlCount 0), a quadratic curve (1 control point) or a cubic curve
// (2 control points), ending on the curve at `to`. A quadratic spline with
// several control points in a row comes as one curve per control point, the
// on-curve point between two controls being their midpoint truncated toward
// zero in whole font units, as FreeType makes it.
struct OutlineSegment {
    int controlCount = 0;
    OutlinePoint control[2]{};
    OutlinePoint to{};
};

// A closed contour: its start point and its segments; when the last
// segment does not end at the start, a straight line closes the contour.
// The start is where the font's contour starts, as FreeType walks it: its
// first point when that lies on the curve (else the last point, or the
// midpoint of the two); the point order decides which point of a contour
// the stored glyph begins with, so every reader of outlines starts alike.
struct OutlineContour {
    OutlinePoint start{};
    std::vector<OutlineSegment> segments;
};

// Every contour of one character, y up, holes included; the direction of
// the contours does not matter.
using CharacterOutline = std::vector<OutlineContour>;

// What the glyph maker needs to know of the font besides the character.
struct FontMetrics {
    double unitsPerEm = 0.0;
    // The font's own capital height, or 0 when it gives none.
    double capitalHeight = 0.0;
    // The top of the font's capital H (OutlineTop), or 0 without one.
    double letterHTop = 0.0;
};

// The largest em and the largest coordinate, in font units, that the glyph
// maker takes: 256 times what the 16-bit units of TrueType and CFF fonts
// reach. Anything beyond comes from a damaged or hostile font.
inline constexpr long kLargestFontUnitCount = 16777216;
inline constexpr double kLargestFontUnits = kLargestFontUnitCount;

// The capital height in font units: the font's own figure, else the height
// of its H, else seven tenths of the em. A figure that is not a number or
// lies outside a sixteenth of the em to two ems is no capital height (real
// fonts give two thirds to three quarters of the em) and is passed over.
// 0 when the em itself is not a number from 1 to kLargestFontUnits.
double CapitalHeight(const FontMetrics& metrics);

// The outline flattened: every curve becomes short lines (16 to a quadratic
// curve, 24 to a cubic one), fine enough that the flattening adds no visible
// error at the cell's size; the fitting then keeps what matters.
std::vector<OutlinePath> FlattenOutline(const CharacterOutline& outline);

// The highest y of the flattened outline, and 0 when nothing lies above 0.
double OutlineTop(const CharacterOutline& outline);
