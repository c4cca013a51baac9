// roundTo gives exactly the double that formatting with "%.*g" and reading
// the text back with atof gives, when both conversions are correctly rounded
// (glibc's, and mingw-w64's own; msvcrt's printf is not). The values the
// scene rounds are worked out in double arithmetic, without any text:
//
//   1. The decimal scale. |value| lies in the binade [2^e, 2^(e+1)), and
//      k = floor(log10 2^e) is (e * 78913) >> 18 for every double exponent,
//      so 10^k <= |value| < 10^(k+2). Scaling by 10^j, j = digits - 1 - k,
//      puts the exact X = |value| * 10^j in [10^(digits-1), 10^(digits+1));
//      when it reaches 10^digits the scale drops to 10^(j-1). With
//      |j| <= 22 every 10^|j| is an exact double, so y = |value| * 10^j (or
//      |value| / 10^-j) is X correctly rounded.
//   2. The digits. For at most 15 digits y is below 2^50, so the integer M
//      nearest to y is (y + 2^52) - 2^52, ties to even, and y - M is exact.
//      As y is a multiple of its own unit in the last place, and so is 1/2,
//      X (within half a unit of y) rounds to the same M unless y itself
//      lies halfway between two integers: only then does X - y decide, and
//      its sign comes exactly from Dekker's error-free product.
//   3. The rounded digits M read back as M / 10^j (or M * 10^-j): one IEEE
//      operation on two exact doubles gives the correctly rounded result,
//      which is what reading the text gives.
//
// Small magnitudes, whose scale 10^j reaches past 10^22 (j up to 44, such
// as the residues of a sum that cancels, 1e-11 where the figure's numbers
// are hundreds), are worked out exactly as well: 10^j = 10^22 * 10^(j-22)
// is the exact sum of two doubles, so is each product with them, and the
// nearest integer and the nearest double to M / 10^j follow from sums whose
// error is far below the margins tested; a value too near a tie for those
// margins takes the text.
//
// Other values (16 digits, subnormals, very large or very small magnitudes)
// take the text round trip itself, through the correctly rounded
// conversions. So does a build whose doubles are evaluated in wider
// registers (x87), where the operations could round twice.
#include "scene/RoundTo.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double RoundThroughText(double value, int digits) {
    char text[64];
#if defined(__MINGW32__)
    __mingw_snprintf(text, sizeof text, "%.*g", digits, value);
    return __mingw_strtod(text, nullptr);
#else
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return std::strtod(text, nullptr);
#endif
}

#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
#define KORAVEL_ROUND_WITHOUT_TEXT 1

// Every entry is an exact double.
constexpr double kPowerOf10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// high + low == a * b exactly, by Dekker's splitting of each factor into
// two halves whose products are exact. Holds while nothing overflows or
// underflows, which the scales used here keep far away.
struct ExactProduct {
    double high;
    double low;
};

ExactProduct MultiplyExactly(double a, double b) {
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    const double aScaled = kSplitter * a;
    const double aHigh = aScaled - (aScaled - a);
    const double aLow = a - aHigh;
    const double bScaled = kSplitter * b;
    const double bHigh = bScaled - (bScaled - b);
    const double bLow = b - bHigh;
    const double high = a * b;
    const double low = ((aHigh * bHigh - high) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
    return {high, low};
}

// |value| scaled by 10^scale, correctly rounded; |scale| <= 22.
double Scale(double magnitude, int scale) {
    return scale >= 0 ? magnitude * kPowerOf10[scale] : magnitude / kPowerOf10[-scale];
}

// The sign of the exact magnitude * 10^scale - scaled, where `scaled` is
// Scale(magnitude, scale): which way that rounding went.
int SignOfRest(double magnitude, int scale, double scaled) {
    if (scale >= 0) {
        const double low = MultiplyExactly(magnitude, kPowerOf10[scale]).low;
        return (low > 0) - (low < 0);
    }
    // magnitude / 10^-scale - scaled has the sign of
    // magnitude - scaled * 10^-scale. The high part of that product lies
    // within two roundings of magnitude, so their difference is exact.
    const ExactProduct back = MultiplyExactly(scaled, kPowerOf10[-scale]);
    const double difference = magnitude - back.high;
    return (difference > back.low) - (difference < back.low);
}

constexpr int kLargestSmallScale = 44;

// The nearest integer to high + low1 + low2 + low3 (an exact sum, the
// first term below 2^50, the others far smaller), ties and near ties
// refused.
bool NearestInteger(double high, double low1, double low2, double low3, double& integer) {
    constexpr double kTwoTo52 = 4503599627370496.0;
    const double nearest = (high + kTwoTo52) - kTwoTo52;
    const double rest = (high - nearest) + low1 + low2 + low3;  // the first difference is exact
    constexpr double kMargin = 1.0 / (1 << 20);
    if (std::fabs(std::fabs(rest) - 0.5) < kMargin) return false;
    integer = nearest + (rest > 0.5 ? 1.0 : rest < -0.5 ? -1.0 : 0.0);
    return true;
}

enum class SmallRounding { kRounded, kAtScale22, kByText };

// Rounds a magnitude whose scale lies in 23..kLargestSmallScale. A value
// whose digits reach 10^digits at scale 23 is left to the route for scales
// up to 22; the rare values too near a tie to decide here, to the text.
SmallRounding RoundSmallWithoutText(double magnitude, int digits, int scale, double& result) {
    const double highest = kPowerOf10[digits];
    ExactProduct power{}, high{}, low{};
    auto scaleBy = [&](int to) {
        power = MultiplyExactly(kPowerOf10[22], kPowerOf10[to - 22]);  // 10^to exactly
        high = MultiplyExactly(magnitude, power.high);
        low = MultiplyExactly(magnitude, power.low);
    };
    scaleBy(scale);
    // One digit fewer after the point once y reaches 10^digits; where that
    // is too close to call, the text decides.
    const double approximate = high.high + (high.low + low.high);
    if (std::fabs(approximate - highest) < highest * 0x1p-40) return SmallRounding::kByText;
    if (approximate > highest) {
        if (--scale == 22) return SmallRounding::kAtScale22;
        scaleBy(scale);
    }
    double digitsValue;
    if (!NearestInteger(high.high, high.low, low.high, low.low, digitsValue)) return SmallRounding::kByText;

    // The double nearest to digitsValue / 10^scale: the quotient by the
    // high part is within an ulp of it; the exact remainder tells which of
    // it and its neighbours is nearest.
    const double quotient = digitsValue / power.high;
    std::uint64_t bits;
    std::memcpy(&bits, &quotient, sizeof bits);
    if ((bits & ((1ull << 52) - 1)) == 0) return SmallRounding::kByText;  // at a power of two the ulps differ
    const ExactProduct back = MultiplyExactly(quotient, power.high);
    const ExactProduct backLow = MultiplyExactly(quotient, power.low);
    const double remainder = (((digitsValue - back.high) - back.low) - backLow.high) - backLow.low;
    const double ulp = std::nextafter(quotient, HUGE_VAL) - quotient;
    const double steps = remainder / power.high / ulp;  // how far off, in ulps
    constexpr double kMargin = 1.0 / (1 << 16);
    const double off = std::fabs(steps);
    if (std::fabs(off - 0.5) < kMargin || std::fabs(off - 1.5) < kMargin || off > 1.5) return SmallRounding::kByText;
    result = off < 0.5 ? quotient : steps > 0 ? quotient + ulp : std::nextafter(quotient, 0.0);
    return SmallRounding::kRounded;
}

// Rounds `value` to 1..15 `digits`; false when it lies outside the range
// this route covers exactly (zeros, subnormals, infinities and NaN
// included: their exponents put the scale out of range).
bool RoundWithoutText(double value, int digits, double& result) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int binaryExponent = static_cast<int>((bits >> 52) & 0x7FF) - 1023;
    const int decimalExponent = (binaryExponent * 78913) >> 18;  // floor(log10 2^e)
    int scale = digits - 1 - decimalExponent;
    if (scale > 22 && scale <= kLargestSmallScale && binaryExponent > -1023) {
        double magnitude;
        const SmallRounding rounding = RoundSmallWithoutText(std::fabs(value), digits, scale, magnitude);
        if (rounding == SmallRounding::kByText) return false;
        if (rounding == SmallRounding::kRounded) {
            result = value < 0 ? -magnitude : magnitude;
            return true;
        }
        scale = 22;
    }
    if (scale < -21 || scale > 22) return false;

    const double magnitude = std::fabs(value);
    const double highest = kPowerOf10[digits];
    double scaled = Scale(magnitude, scale);
    // One digit fewer after the point once y reaches 10^digits. When the
    // exact value lies just below 10^digits, both scales round it to that
    // same power of ten.
    if (scaled >= highest) {
        --scale;
        scaled = Scale(magnitude, scale);
    }

    constexpr double kTwoTo52 = 4503599627370496.0;
    double rounded = (scaled + kTwoTo52) - kTwoTo52;
    const double fraction = scaled - rounded;
    if (fraction == 0.5 || fraction == -0.5) {
        // y lies halfway, and rounded is the even neighbour; the exact
        // value may lie beyond the half, away from it.
        const int rest = SignOfRest(magnitude, scale, scaled);
        if (fraction > 0 && rest > 0) rounded += 1.0;
        if (fraction < 0 && rest < 0) rounded -= 1.0;
    }
    const double readBack = scale >= 0 ? rounded / kPowerOf10[scale] : rounded * kPowerOf10[-scale];
    result = value < 0 ? -readBack : readBack;
    return true;
}
#endif

}  // namespace

double roundTo(double value, int digits) {
    // "%.*g" takes a negative precision as none given (6) and 0 as 1.
    if (digits < 0) digits = 6;
    if (digits == 0) digits = 1;
#ifdef KORAVEL_ROUND_WITHOUT_TEXT
    double result;
    if (digits <= 15 && RoundWithoutText(value, digits, result)) return result;
#endif
    // Zeros (with their sign), infinities and NaN come back as they went.
    if (value == 0.0 || !std::isfinite(value)) return value;
    // Seventeen significant digits always read back as the same double.
    if (digits >= 17) return value;
    return RoundThroughText(value, digits);
}
