#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "settings/GlyphDefinition.h"
#include "glyphs/FitGlyph.h"
#include "tools/GlyphCheck.h"
#include "glyphs/GlyphValue.h"

namespace {

std::string Joined(const std::vector<std::string>& reasons) {
    std::string all;
    for (const std::string& reason : reasons) all += reason + "\n";
    return all;
}

constexpr double kPi = 3.14159265358979323846;

OutlinePath Circle(double cx, double cy, double radius, int points, bool clockwise = false) {
    OutlinePath path;
    for (int i = 0; i < points; ++i) {
        const double angle = (clockwise ? -2.0 : 2.0) * kPi * i / points;
        path.push_back({cx + radius * std::cos(angle), cy + radius * std::sin(angle)});
    }
    return path;
}

// A rectangle sampled every unit along its sides, as a flattened font
// outline would be.
OutlinePath DenseRectangle(double left, double bottom, double right, double top) {
    OutlinePath path;
    for (double x = left; x < right; x += 1) path.push_back({x, bottom});
    for (double y = bottom; y < top; y += 1) path.push_back({right, y});
    for (double x = right; x > left; x -= 1) path.push_back({x, top});
    for (double y = top; y > bottom; y -= 1) path.push_back({left, y});
    return path;
}

std::vector<OutlinePoint> Points(const GlyphDefinition& glyph, int contour) {
    std::vector<OutlinePoint> points;
    for (int i = glyph.contourFirst[contour]; i <= glyph.contourLast[contour]; ++i)
        points.push_back({static_cast<double>(glyph.pointX[i]), static_cast<double>(glyph.pointY[i])});
    return points;
}

TEST(SimplifyPaths, KeepsCornersAndDropsPointsOnStraightRuns) {
    const std::vector<OutlinePath> simple = SimplifyPaths({DenseRectangle(-20, -30, 20, 30)}, 45, 0.2);
    ASSERT_EQ(simple.size(), 1u);
    ASSERT_EQ(simple[0].size(), 4u);
    for (const OutlinePoint& point : simple[0]) {
        EXPECT_EQ(std::fabs(point.x), 20.0);
        EXPECT_EQ(std::fabs(point.y), 30.0);
    }
}

TEST(SimplifyPaths, SpendsThePointsWhereTheOutlineCurves) {
    // A D shape: a straight back at x = -10 and a half circle of radius 40.
    OutlinePath shape;
    for (int i = 0; i <= 200; ++i) {
        const double angle = -kPi / 2 + kPi * i / 200;
        shape.push_back({-10 + 40 * std::cos(angle), 40 * std::sin(angle)});
    }
    for (int y = 39; y > -40; --y) shape.push_back({-10, static_cast<double>(y)});
    const std::vector<OutlinePath> simple = SimplifyPaths({shape}, 20, 0.0);
    ASSERT_EQ(simple[0].size(), 20u);
    int onBack = 0;
    for (const OutlinePoint& point : simple[0]) onBack += std::fabs(point.x + 10.0) < 1e-9;
    EXPECT_EQ(onBack, 2);  // the two corners; the back itself needs no more
    EXPECT_LT(ShapeError(shape, simple[0]), 0.6);
}

TEST(SimplifyPaths, HoldsTheBudgetAcrossContoursAndLeavesEachThreePoints) {
    std::vector<OutlinePath> rings;
    for (int k = 0; k < 13; ++k) rings.push_back(Circle(k * 10.0, 0, 4, 100));
    const std::vector<OutlinePath> simple = SimplifyPaths(rings, 45, 0.2);
    int total = 0;
    for (const OutlinePath& path : simple) {
        EXPECT_GE(path.size(), 3u);
        total += static_cast<int>(path.size());
    }
    EXPECT_LE(total, 45);
}

TEST(FitGlyph, MarksContoursInsideAnOddNumberOfOthersAsHoles) {
    // An outer square, a hole in it, an island in the hole, and a second
    // separate square; the hole is listed first, as some fonts do.
    const std::vector<OutlinePath> paths = {
        DenseRectangle(-30, -30, 10, 30),  // hole
        DenseRectangle(-40, -40, 20, 40),  // outer
        DenseRectangle(-20, -10, 0, 10),   // island inside the hole
        DenseRectangle(30, -40, 45, 40),   // a separate bar
    };
    const GlyphFit fit = FitGlyph(paths);
    ASSERT_TRUE(fit.fitted) << fit.reason;
    const GlyphDefinition& glyph = fit.glyph;
    ASSERT_EQ(glyph.contourCount, 4);
    EXPECT_EQ(glyph.pointCount, 16);
    // Contour 1 is an outer one: the outer square moved ahead of its hole.
    EXPECT_EQ(Points(glyph, 1)[0].x, -40);
    EXPECT_EQ(Points(glyph, 2)[0].x, -30);
    EXPECT_EQ(glyph.holeStart[1], glyph.contourFirst[2]);
    EXPECT_EQ(glyph.holeStart[2], 0);
    EXPECT_EQ(Joined(CheckGlyphValue(FormatGlyphValue("NEST", glyph))), "");
}

// Two crossed bars, each with most of its points where the other covers
// it, so that each counts as lying within the other: with nothing around
// them, neither is a hole.
TEST(FitGlyph, ContoursThatEachLieWithinTheOtherAreNoHoles) {
    OutlinePath wide = {{-30, -20}}, tall = {{-20, -30}, {20, -30}};
    for (int x = -19; x <= 19; ++x) wide.push_back({static_cast<double>(x), -20});
    wide.insert(wide.end(), {{30, -20}, {30, 20}});
    for (int x = 19; x >= -19; --x) wide.push_back({static_cast<double>(x), 20});
    wide.push_back({-30, 20});
    for (int y = -19; y <= 19; ++y) tall.push_back({20, static_cast<double>(y)});
    tall.insert(tall.end(), {{20, 30}, {-20, 30}});
    for (int y = 19; y >= -19; --y) tall.push_back({-20, static_cast<double>(y)});
    const GlyphFit fit = FitGlyph({wide, tall}, true);
    ASSERT_TRUE(fit.fitted) << fit.reason;
    EXPECT_EQ(fit.glyph.contourCount, 2);
    EXPECT_EQ(fit.glyph.holeStart[1], 0);
}

TEST(FitGlyph, RoundTripsThroughTheValueFormat) {
    const GlyphFit fit = FitGlyph({Circle(0, 0, 40, 300), Circle(0, 0, 25, 300, true)});
    ASSERT_TRUE(fit.fitted) << fit.reason;
    EXPECT_EQ(fit.glyph.pointCount, 45);
    EXPECT_LT(fit.shapeError, 1.5);
    const std::string value = FormatGlyphValue("RING", fit.glyph);
    EXPECT_TRUE(CheckGlyphValue(value).empty());
    EnsureKeyNames();
    GlyphDefinition loaded{};
    ASSERT_TRUE(ParseGlyphValue(value, loaded));
    EXPECT_EQ(loaded.pointCount, fit.glyph.pointCount);
    EXPECT_EQ(loaded.holeStart[1], fit.glyph.holeStart[1]);
    for (int i = 1; i <= loaded.pointCount; ++i) {
        EXPECT_EQ(loaded.pointX[i], fit.glyph.pointX[i]);
        EXPECT_EQ(loaded.pointY[i], fit.glyph.pointY[i]);
    }
}

// Each refusal gives its kind, for the callers that act on it, and its
// reason in words.
TEST(FitGlyph, ExplainsOutlinesThatCannotFit) {
    std::vector<OutlinePath> fourteen;
    for (int k = 0; k < 14; ++k) fourteen.push_back(DenseRectangle(-49 + 7 * k, 0, -45 + 7 * k, 5));
    std::vector<OutlinePath> fiveHoles = {DenseRectangle(-45, -10, 45, 10)};
    for (int k = 0; k < 5; ++k) fiveHoles.push_back(DenseRectangle(-40 + 16 * k, -5, -32 + 16 * k, 5));
    // The end face is filled even-odd: overlaps would show as holes.
    const std::vector<OutlinePath> overlapping = {DenseRectangle(-30, -10, 10, 10), DenseRectangle(0, -30, 20, 30)};
    const OutlinePath bowTie = {{-20, -20}, {20, 30}, {20, -20}, {-20, 20}};
    // A sliver that rounding to whole units flattens into a line.
    const OutlinePath sliver = {{20, 0.1}, {40, 0.3}, {20, 0.45}, {0, 0.3}};
    const struct { const char* what; std::vector<OutlinePath> paths; FitFailure failure; const char* reason; } cases[] = {
        {"fourteen", fourteen, FitFailure::TooManyContours, "the outline has 14 contours; at most 13 fit"},
        {"five holes", fiveHoles, FitFailure::TooManyHoles, "the outline has 5 holes; at most 4 fit"},
        {"nothing", {}, FitFailure::NoOutline, "the character has no outline to show"},
        {"speck", {{{0, 0}, {0.5, 0}, {0, 0.5}}}, FitFailure::NoOutline, "the character has no outline to show"},
        {"overlapping", overlapping, FitFailure::ContoursCross, "contours 1 and 2 overlap, and the saver fills an overlap as a hole"},
        {"bow tie", {bowTie}, FitFailure::ContoursCross, "contour 1 crosses itself"},
        {"wide", {DenseRectangle(-60, -10, 10, 10)}, FitFailure::OutsideCell, "the outline reaches x = -60, outside the cell's -50..50"},
        {"sliver", {DenseRectangle(-40, -40, -10, 40), sliver}, FitFailure::ContourTooSmall,
         "contour 2 is too small to keep three points at this size"},
        // Nothing that no glyph can store is cast to a whole number.
        {"not a number", {{{0, 0}, {20, std::nan("")}, {0, 20}}}, FitFailure::PointNotANumber, "the outline has a point that is not a number"},
        {"beyond", {{{0, 0}, {20, 0}, {0, 3e9}}}, FitFailure::PointOutOfRange, "the outline reaches beyond the 32-bit numbers a glyph stores"},
    };
    for (const auto& c : cases) {
        const GlyphFit fit = FitGlyph(c.paths);
        EXPECT_FALSE(fit.fitted) << c.what;
        EXPECT_EQ(fit.failure, c.failure) << c.what;
        EXPECT_EQ(fit.reason, c.reason) << c.what;
    }
    const GlyphFit crossing = FitGlyph(overlapping, true);
    EXPECT_TRUE(crossing.fitted);
    EXPECT_EQ(crossing.failure, FitFailure::None);
}

OutlinePath Reversed(OutlinePath path) {
    std::reverse(path.begin(), path.end());
    return path;
}

// The ink of fitted contours in square design units: holes run against
// their outer contour.
double FilledArea(const std::vector<OutlinePath>& contours, int subunits) {
    double twice = 0.0;
    for (const OutlinePath& points : contours) {
        for (std::size_t i = 0; i < points.size(); ++i) {
            const OutlinePoint a = points[i], b = points[(i + 1) % points.size()];
            twice += a.x * b.y - b.x * a.y;
        }
    }
    return std::fabs(twice) / 2.0 / subunits / subunits;
}

// A shown glyph is filled as the font fills it (non-zero: outer contours
// one way, holes the other): overlapping strokes merge into one outline and
// ink under two contours that turn the same way stays ink. A stored glyph
// keeps its contours as they come. A contour that crosses itself is split
// into simple loops.
TEST(FitGlyph, MergesOverlapsOfAShownGlyphAsTheFontFillsThem) {
    const std::vector<OutlinePath> crossed = {DenseRectangle(-30, -10, 10, 10), DenseRectangle(0, -30, 20, 30)};
    // A square ring with a bar across its hole, which splits the hole in two.
    const std::vector<OutlinePath> barredRing = {DenseRectangle(-40, -40, 40, 40), Reversed(DenseRectangle(-20, -20, 20, 20)),
                                                 DenseRectangle(-30, -5, 30, 5)};
    const std::vector<OutlinePath> strokeInStroke = {DenseRectangle(-40, -40, 40, 40), DenseRectangle(-10, -10, 10, 10)};
    const OutlinePath bowTie = {{-20, -20}, {20, 30}, {20, -20}, {-20, 20}};
    // A bar across two squares: stored, it overlaps both, and the earliest
    // pair is named though the other lies further right.
    const std::vector<OutlinePath> barredSquares = {DenseRectangle(-40, -10, -20, 10), DenseRectangle(20, -10, 40, 10),
                                                    DenseRectangle(-30, -5, 30, 5)};
    // Posts through a bar's bottom and top: turned clockwise, the bar's
    // edge along its top, which the third contour crosses, comes before the
    // one along its bottom, which the second crosses; the second is named.
    const std::vector<OutlinePath> posts = {DenseRectangle(-30, -5, 30, 5), DenseRectangle(-20, -20, -10, 0),
                                            DenseRectangle(10, 0, 20, 20)};
    const struct {
        const char* what;
        std::vector<OutlinePath> paths;
        int contours, holes, points;
        double area;
        const char* storedCrossing;
    } cases[] = {
        {"crossed bars", crossed, 1, 0, 8, 1800, "contours 1 and 2 overlap, and the saver fills an overlap as a hole"},
        {"barred ring", barredRing, 3, 2, 12, 6400 - 1600 + 400,
         "contours 2 and 3 overlap, and the saver fills an overlap as a hole"},
        {"stroke in stroke", strokeInStroke, 1, 0, 4, 6400, ""},
        {"bow tie", {bowTie}, 2, 0, 6, 911.25, "contour 1 crosses itself"},  // 911.1 exactly
        {"barred squares", barredSquares, 1, 0, 12, 1200,
         "contours 1 and 3 overlap, and the saver fills an overlap as a hole"},
        {"posts through a bar", posts, 1, 0, 12, 900,
         "contours 1 and 2 overlap, and the saver fills an overlap as a hole"},
    };
    for (const auto& c : cases) {
        const GlyphFit shown = FitGlyph(c.paths, true, true, kShownGlyphLimits);
        ASSERT_TRUE(shown.fitted) << c.what << ": " << shown.reason;
        EXPECT_EQ(shown.contours.size(), static_cast<std::size_t>(c.contours)) << c.what;
        std::size_t points = 0;
        for (const OutlinePath& contour : shown.contours) points += contour.size();
        EXPECT_EQ(points, static_cast<std::size_t>(c.points)) << c.what;
        EXPECT_EQ(std::count(shown.hole.begin(), shown.hole.end(), true), c.holes) << c.what;
        EXPECT_EQ(shown.crossing, "") << c.what;
        EXPECT_EQ(FilledArea(shown.contours, kShownGlyphLimits.subunits), c.area) << c.what;
        EXPECT_FALSE(shown.inStoredFormat) << c.what << ": sixteenths are no stored glyph";
        const GlyphFit stored = FitGlyph(c.paths, true, true, kStoredGlyphLimits);
        ASSERT_TRUE(stored.fitted) << c.what << ": " << stored.reason;
        EXPECT_TRUE(stored.inStoredFormat) << c.what;
        EXPECT_EQ(stored.glyph.contourCount, static_cast<int>(c.paths.size())) << c.what;
        EXPECT_EQ(stored.crossing, c.storedCrossing) << c.what;
    }
}

// 45 points: 43 teeth `height` and nine tenths of it high, over a base
// `height` deep.
OutlinePath Comb(double height) {
    OutlinePath comb;
    for (int i = 0; i < 43; ++i) comb.push_back({-42.0 + 2 * i, i % 2 ? height * 0.9 : height});
    comb.push_back({42, -height});
    comb.push_back({-42, -height});
    return comb;
}

// The saver reads 511 characters of a value: a glyph fits them under the
// longest name, or it is refused.
TEST(FitGlyph, RefusesAGlyphWhoseValueTheSaverWouldCut) {
    const GlyphFit tall = FitGlyph({Comb(99900)});
    ASSERT_TRUE(tall.fitted) << tall.reason;
    EXPECT_EQ(tall.glyph.pointCount, 45);
    EXPECT_LE(FormatGlyphValue("NINELONG9", tall.glyph).size(), 511u);
    const GlyphFit cut = FitGlyph({Comb(999000)});
    EXPECT_EQ(cut.failure, FitFailure::ValueTooLong);
    EXPECT_EQ(cut.reason, "the glyph's value needs 542 characters; the saver reads 511");
}

}  // namespace
