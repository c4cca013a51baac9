// Fitting flat outlines into the glyph format: holes found by containment,
// the point budget spent where the shape needs it, integer design units.
#pragma once

#include <string>
#include <vector>

#include "glyphs/GlyphOutline.h"
#include "settings/GlyphDefinition.h"

// Reduces closed paths to at most `pointBudget` points in all, each path
// keeping at least three. Points go one at a time, always the one whose
// removal moves the outline least (the largest distance of the original
// path from the chord that replaces it), so straight runs go first and
// corners and tight curves keep their points. Points whose removal moves
// the outline by no more than `negligibleError` go even within the budget.
// The paths must hold at least three points each, all of them numbers, and
// no more than three each may be asked for in all.
std::vector<OutlinePath> SimplifyPaths(const std::vector<OutlinePath>& paths, int pointBudget,
                                       double negligibleError);

// The largest distance of any point of `original` from the closed polygon
// `simplified`: how far the simplification moved the outline.
double ShapeError(const OutlinePath& original, const OutlinePath& simplified);

// Even-odd containment of a point in a closed path.
bool PathContains(const OutlinePath& path, OutlinePoint point);

// Why an outline gives no glyph: the reason's kind, for callers that act on
// it; `GlyphFit::reason` says it in words, with the figures.
enum class FitFailure {
    None,                // the glyph fits
    FontGivesNoOutline,  // the font has no glyph for the character, or cannot give its outline
    EmOutOfRange,        // the font's em is no size the maker takes
    PointNotANumber,     // a point is not a number
    PointOutOfRange,     // a point lies beyond what a font holds or a glyph stores
    NoOutline,           // nothing with an area to show
    TooManyContours,     // more contours than the limits hold (a stored glyph 13)
    TooManyHoles,        // more holes than the limits hold (a stored glyph four)
    TooManyPoints,       // more points than the budget, however simplified (a stored glyph 45)
    ContourTooSmall,     // rounding to whole units collapses a contour
    ContoursCross,       // contours overlap or one crosses itself
    OutsideCell,         // a point beyond the cell's -50..50 (a shown glyph's -250..250)
    ValueTooLong,        // the value would pass the 511 characters the saver reads
};

struct GlyphFit {
    bool fitted = false;
    FitFailure failure = FitFailure::None;
    std::string reason;        // why the outline cannot be made to fit, when it cannot
    // The fitted contours in whole parts of a design unit (`subunits` of
    // the limits), stored order, each with whether it is a hole: the glyph
    // at whatever size its limits allow.
    std::vector<OutlinePath> contours;
    std::vector<bool> hole;
    // The same in the stored format, when it is in whole units and fits the
    // file's 45 points, 13 contours and four holes (always, for a glyph
    // fitted to be stored).
    bool inStoredFormat = false;
    GlyphDefinition glyph{};
    double shapeError = 0.0;   // in design units, after rounding; for a glyph in the stored format
    std::string dropped;       // what was left out of the outline, when anything was
    std::string crossing;      // how its contours overlap or cross themselves, when they do
};

// How far a glyph may reach and how much it may hold. A stored glyph keeps
// to the cell of -50..50 that every reader of the file places in fixed
// cells, to a value the saver reads whole, and to the file's 45 points, 13
// contours and four holes. A glyph made for a text while it is shown never
// reaches the file and stands where the font puts its ink, so it may be as
// wide as its character: the widest cluster a font sets at capitals 80 high
// (a W, a full-width kanji, a long ligature) stays within -250..250. It
// holds up to 512 points and 64 contours, any of them holes: the densest
// kanji of IPAGothic hold 26 contours and, flattened, up to 2,100 points,
// which 512 follow to within a fraction of a unit. Its points are rounded
// to sixteenths of a unit (`subunits`), not to whole ones: a kanji's
// stroke is five or six units wide, and whole units would change its width
// by up to a fifth. A shown glyph also has
// its overlapping contours merged (MergeOverlaps) before its holes are
// looked for; a stored glyph keeps its contours as the font gives them, so
// the file's glyphs come out number for number as they always have.
struct FitLimits {
    int cellHalfWidth;
    bool valueReadWhole;
    bool mergeOverlaps;
    int pointBudget;
    int contourLimit;
    int holeLimit;
    int subunits;  // the parts of a design unit points are rounded to
};
inline constexpr FitLimits kStoredGlyphLimits{50, true, false, kMaxGlyphPoints, kMaxContours, kMaxHoles, 1};
inline constexpr FitLimits kShownGlyphLimits{250, false, true, 512, 64, 64, 16};

// Turns paths already in design units (cell centre at the origin, y up) into
// a glyph: drops paths with no area, marks as holes the paths that lie inside
// an odd number of others, simplifies to the point budget, rounds to whole
// units (or to the limits' parts of one) and removes points that rounding
// made redundant. Fails, with the
// reason and its kind, on a point that is not a number or lies beyond the 32-bit numbers
// a glyph stores, an empty outline, more contours or holes than `limits`
// hold, a contour that rounding collapses, x outside the cell (`limits`), or,
// for a stored glyph, a value that would not fit the 511 characters the
// saver reads (under a name of nine); and, unless `allowCrossings`, on contours that overlap or cross
// themselves, since the saver fills an end face with the even-odd rule and
// would show every overlap as a hole.
//
// An outline far beyond what fonts hold is cut down, so that none costs
// more than a few tens of milliseconds: of more than 256 contours only the
// 256 largest are looked at (with `keepLargest`; without it, more than the
// limit fail at once), more than 8,192 points in all are thinned evenly to about
// that many, and contours whose search for holes or whose simplification
// would take many times the work of any font's glyph are thinned further.
// `dropped` says so. The glyphs of real fonts are never cut down.
//
// With `keepLargest`, an outline with too many contours or holes keeps the
// largest of them instead (a contour only with the one that holds it, so an
// island never outlives its hole), a contour that rounding collapses is left
// out, and `dropped` says what went; the glyph then fails only when nothing
// is left.
//
// Contours keep their order, except that the first one is an outer one, and
// their direction: an outer contour runs clockwise (y up) and a hole
// counter-clockwise, as TrueType stores them; a contour the other way round
// is reversed from its first point.
GlyphFit FitGlyph(const std::vector<OutlinePath>& paths, bool allowCrossings = false, bool keepLargest = false,
                  FitLimits limits = kStoredGlyphLimits);
