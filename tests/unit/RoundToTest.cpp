#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

#include "scene/RoundTo.h"

namespace {

// The text round trip roundTo must reproduce, with the correctly rounded
// conversions on both sides (mingw-w64's own printf and strtod, not msvcrt's).
double TextRoundTrip(double value, int digits) {
    char text[128];
#if defined(__MINGW32__)
    __mingw_snprintf(text, sizeof text, "%.*g", digits, value);
    return __mingw_strtod(text, nullptr);
#else
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return std::strtod(text, nullptr);
#endif
}

std::uint64_t Bits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double FromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A fixed sequence, the same on every platform and build.
class SplitMix {
public:
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform over lowest..highest.
    std::int64_t Between(std::int64_t lowest, std::int64_t highest) {
        return lowest + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(highest - lowest + 1));
    }

private:
    std::uint64_t state_ = 20261207;
};

// Compares bit for bit, so -0 and 0 differ, and reports the first few
// values that disagree.
class Comparison {
public:
    void Check(double value, int digits) {
        ++checked_;
        const double expected = TextRoundTrip(value, digits);
        const double actual = roundTo(value, digits);
        if (Bits(expected) == Bits(actual)) return;
        if (++mismatches_ <= 5) {
            char line[160];
            std::snprintf(line, sizeof line, "roundTo(%.17g, %d) = %.17g, text gives %.17g\n", value, digits, actual,
                          expected);
            report_ += line;
        }
    }
    long Checked() const { return checked_; }
    void Verify() const {
        EXPECT_GT(checked_, 0);
        EXPECT_EQ(mismatches_, 0) << "of " << checked_ << " values:\n" << report_;
    }

private:
    long checked_ = 0;
    long mismatches_ = 0;
    std::string report_;
};

constexpr int kSceneDigits[] = {9, 12, 13};

// A decimal of digits + 1 digits ending in 5, read as the double nearest to
// it: halfway between two results, or just off it on either side.
double NearTie(SplitMix& random, int digits, int lowestExponent = -20, int highestExponent = 12) {
    std::int64_t lowest = 1;
    for (int d = 0; d < digits; ++d) lowest *= 10;
    const std::int64_t leading = random.Between(lowest / 10, lowest - 1);
    const int exponent = static_cast<int>(random.Between(lowestExponent, highestExponent));
    char text[64];
    std::snprintf(text, sizeof text, "%lld5e%d", static_cast<long long>(leading), exponent);
    return std::strtod(text, nullptr);
}

TEST(RoundTo, MatchesTheTextRoundTripOnSceneArithmetic) {
    // The values scene setup and the wall ordering round: heights of lines
    // through integer points, cross products, and projected coordinates.
    SplitMix random;
    Comparison comparison;
    for (int n = 0; n < 250000; ++n) {
        const double x1 = static_cast<double>(random.Between(-3000, 3000));
        const double y1 = static_cast<double>(random.Between(-3000, 3000));
        const double x2 = static_cast<double>(random.Between(-3000, 3000));
        const double y2 = static_cast<double>(random.Between(-3000, 3000));
        const double xt = static_cast<double>(random.Between(-3000, 3000));
        if (x1 == x2) continue;
        const double s = (y2 - y1) / (x2 - x1);
        const double c = y1 - x1 * s;
        const double cross = (x2 - x1) * (xt - y2) - (y2 - y1) * (xt - x2);
        const double projected = x1 * std::cos(xt) / (1.0 + 0.0015 * y2);
        for (int digits : kSceneDigits) {
            comparison.Check(xt * s + c, digits);
            comparison.Check(cross, digits);
            comparison.Check(projected, digits);
        }
    }
    comparison.Verify();
}

// The four doubles below each power of ten 1e`lowest`..1e`highest`, and
// the negated four from it upward.
void CheckAroundPowersOfTen(Comparison& comparison, int digits, int lowest, int highest) {
    for (int power = lowest; power <= highest; ++power) {
        char text[16];
        std::snprintf(text, sizeof text, "1e%d", power);
        double below = std::strtod(text, nullptr), above = below;
        for (int step = 0; step < 4; ++step) {
            comparison.Check(below, digits);
            comparison.Check(-above, digits);
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, HUGE_VAL);
        }
    }
}

TEST(RoundTo, MatchesTheTextRoundTripOverManyMagnitudes) {
    // Random mantissas with binary exponents from about 1e-15 to 1e19,
    // both signs, then every binary exponent of the whole double range.
    SplitMix random;
    Comparison comparison;
    for (int n = 0; n < 150000; ++n) {
        const std::uint64_t exponent = static_cast<std::uint64_t>(random.Between(1023 - 50, 1023 + 63));
        const std::uint64_t bits = (random.Next() & ((1ull << 52) - 1)) | (exponent << 52) | (random.Next() & (1ull << 63));
        for (int digits : kSceneDigits) comparison.Check(FromBits(bits), digits);
    }
    for (std::uint64_t exponent = 0; exponent < 2047; ++exponent) {
        for (int n = 0; n < 8; ++n) {
            const std::uint64_t bits = (random.Next() & ((1ull << 52) - 1)) | (exponent << 52);
            for (int digits : {1, 9, 12, 13, 15, 16, 17}) comparison.Check(FromBits(bits), digits);
        }
    }
    comparison.Verify();
}

TEST(RoundTo, MatchesTheTextRoundTripNearTiesAtTheLastDigit) {
    // A decimal of digits + 1 digits ending in 5 lies halfway between two
    // results; the double nearest to it, and its neighbours, fall just off
    // the tie on either side, or on it where the decimal is exact.
    SplitMix random;
    Comparison comparison;
    for (int n = 0; n < 60000; ++n) {
        for (int digits : {9, 12, 13, 15}) {
            const double nearTie = NearTie(random, digits);
            comparison.Check(nearTie, digits);
            comparison.Check(std::nextafter(nearTie, 0.0), digits);
            comparison.Check(std::nextafter(nearTie, 1e300), digits);
            comparison.Check(-nearTie, digits);
        }
    }
    comparison.Verify();
}

TEST(RoundTo, MatchesTheTextRoundTripAroundPowersOfTen) {
    // Where the scaled value reaches the next power of ten the decimal scale
    // changes: the doubles next to every power, from below and above, for
    // 1 to 15 digits and the powers whose scale 10^(digits - 1 - k) stays
    // within 10^-21..10^22, so that every comparison takes the route
    // without text (the text route is the reference itself).
    Comparison comparison;
    for (int digits = 1; digits <= 15; ++digits) CheckAroundPowersOfTen(comparison, digits, digits - 21, digits + 19);
    comparison.Verify();
}

TEST(RoundTo, MatchesTheTextRoundTripOnRandomValuesAndNearTies) {
    // Random doubles from about 1e-17 to 1e22, and near ties, at the scene's
    // digit counts. KORAVEL_ROUNDTO_CHECKS raises the count for a long run
    // by hand (ten million, in an optimised build).
    long count = 20000;
    if (const char* asked = std::getenv("KORAVEL_ROUNDTO_CHECKS")) count = std::atol(asked);
    SplitMix random;
    Comparison comparison;
    for (long n = 0; n < count; ++n) {
        const std::uint64_t exponent = static_cast<std::uint64_t>(random.Between(1023 - 56, 1023 + 73));
        const std::uint64_t bits = (random.Next() & ((1ull << 52) - 1)) | (exponent << 52) | (random.Next() & (1ull << 63));
        for (int digits : kSceneDigits) comparison.Check(FromBits(bits), digits);
        const int digits = kSceneDigits[n % 3];
        const double nearTie = NearTie(random, digits);
        comparison.Check(nearTie, digits);
        comparison.Check(std::nextafter(nearTie, 0.0), digits);
        comparison.Check(std::nextafter(nearTie, HUGE_VAL), digits);
    }
    comparison.Verify();
    std::printf("roundTo: %ld comparisons with the text round trip\n", comparison.Checked());
}

TEST(RoundTo, MatchesTheTextRoundTripAtSmallMagnitudes) {
    // Where the decimal scale passes 10^22 (1e-10 and below at 13 digits,
    // the residues of sums that cancel): random values, near ties, and the
    // doubles around every power of ten down to where the text takes over.
    SplitMix random;
    Comparison comparison;
    for (int n = 0; n < 40000; ++n) {
        const std::uint64_t exponent = static_cast<std::uint64_t>(random.Between(1023 - 170, 1023 - 20));
        const std::uint64_t bits = (random.Next() & ((1ull << 52) - 1)) | (exponent << 52) | (random.Next() & (1ull << 63));
        const int digits = static_cast<int>(random.Between(1, 15));
        comparison.Check(FromBits(bits), digits);
        const double nearTie = NearTie(random, digits, -50, -8);
        comparison.Check(nearTie, digits);
        comparison.Check(std::nextafter(nearTie, 0.0), digits);
        comparison.Check(-std::nextafter(nearTie, HUGE_VAL), digits);
    }
    for (int digits = 1; digits <= 15; ++digits) CheckAroundPowersOfTen(comparison, digits, digits - 46, digits - 21);
    // Results at a power of two, whose neighbour below is half as far: the
    // 40 doubles below each power, whose 15 digits lie just below it.
    for (int exponent = -150; exponent <= -30; ++exponent) {
        double value = std::ldexp(1.0, exponent);
        for (int step = 0; step < 40; ++step, value = std::nextafter(value, 0.0))
            for (int digits : {14, 15}) comparison.Check(value, digits);
    }
    comparison.Verify();
}

TEST(RoundTo, RoundsExactTiesHalfToEven) {
    EXPECT_EQ(roundTo(123456788.5, 9), 123456788.0);
    EXPECT_EQ(roundTo(123456789.5, 9), 123456790.0);
    EXPECT_EQ(roundTo(-123456789.5, 9), -123456790.0);
    EXPECT_EQ(roundTo(1234567890122.5, 13), 1234567890122.0);
    EXPECT_EQ(roundTo(1234567890123.5, 13), 1234567890124.0);
    EXPECT_EQ(roundTo(123456789012.5, 12), 123456789012.0);
    EXPECT_EQ(roundTo(0.125, 2), 0.12);
    EXPECT_EQ(roundTo(0.375, 2), 0.38);
    // Rounding up into the next power of ten.
    EXPECT_EQ(roundTo(9.9999999996, 9), 10.0);
    EXPECT_EQ(roundTo(-0.000999999999999, 9), -0.001);
    // The usual nine-digit noise of a line height disappears.
    EXPECT_EQ(roundTo(0.1 + 0.2, 9), 0.3);
    EXPECT_EQ(roundTo(1e-17, 9), 1e-17);
}

TEST(RoundTo, KeepsZerosInfinitiesAndNanAndTheExtremes) {
    EXPECT_EQ(Bits(roundTo(0.0, 9)), Bits(0.0));
    EXPECT_EQ(Bits(roundTo(-0.0, 9)), Bits(-0.0));
    EXPECT_EQ(roundTo(HUGE_VAL, 9), HUGE_VAL);
    EXPECT_EQ(roundTo(-HUGE_VAL, 13), -HUGE_VAL);
    EXPECT_TRUE(std::isnan(roundTo(std::numeric_limits<double>::quiet_NaN(), 9)));

    Comparison comparison;
    const double extremes[] = {DBL_TRUE_MIN, 2 * DBL_TRUE_MIN, 3 * DBL_TRUE_MIN, DBL_MIN, DBL_MIN - DBL_TRUE_MIN,
                               1e-310, 4.9406564584124654e-324, 2.2250738585072009e-308, 1e300, 1e-300,
                               1.7976931348623157e308, 1e22, 1e23, 9007199254740993.0, 9007199254740992.0, 0.1,
                               0.5, 1.5, 2.5, 5e-324, 1.2345678949999999e-5};
    for (double value : extremes) {
        for (int digits = -2; digits <= 20; ++digits) {
            comparison.Check(value, digits);
            comparison.Check(-value, digits);
        }
    }
    comparison.Verify();
    // One digit only when none is asked for; six for a negative count.
    EXPECT_EQ(roundTo(123.456, 0), 100.0);
    EXPECT_EQ(roundTo(123.4564, -1), 123.456);
    EXPECT_EQ(roundTo(1e300, 9), 1e300);
    EXPECT_EQ(roundTo(-1e300, 13), -1e300);
}

}  // namespace
