// roundTo gives exactly the double that formatting with "%.*g" and reading
// the text back with atof gives, when both conversions are correctly rounded
// (glibc's, and mingw-w64's own; msvcrt's printf is not). Most values the
// scene rounds are worked out with integer arithmetic, without any text:
//
//   1. value = m * 2^q exactly. For the decimal scale 10^-j that leaves
//      `digits` digits before the point, value * 10^j = m * 5^j * 2^(q+j),
//      an exact 128-bit product shifted right: its integer part fixes j,
//      and the bits shifted out round it half to even, as the formatting
//      rounds the exact binary value.
//   2. The rounded digits M read back as M / 10^j. With M and 10^j both
//      exact doubles (M <= 2^53, j <= 22) one IEEE division gives the
//      correctly rounded quotient, which is what reading the text gives.
//
// Values outside that range (subnormals, very large or very small
// magnitudes, 16 digits) take the text round trip itself, through the
// correctly rounded conversions. So does a build whose doubles are evaluated
// in wider registers (x87), where the division could round twice.
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

#if defined(__SIZEOF_INT128__) && defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
#define KORAVEL_ROUND_WITHOUT_TEXT 1

using Uint128 = unsigned __int128;

constexpr std::uint64_t kPowerOf5[28] = {
    1ull,
    5ull,
    25ull,
    125ull,
    625ull,
    3125ull,
    15625ull,
    78125ull,
    390625ull,
    1953125ull,
    9765625ull,
    48828125ull,
    244140625ull,
    1220703125ull,
    6103515625ull,
    30517578125ull,
    152587890625ull,
    762939453125ull,
    3814697265625ull,
    19073486328125ull,
    95367431640625ull,
    476837158203125ull,
    2384185791015625ull,
    11920928955078125ull,
    59604644775390625ull,
    298023223876953125ull,
    1490116119384765625ull,
    7450580596923828125ull,
};

// Every entry is an exact double.
constexpr double kPowerOf10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr std::uint64_t kIntegerPowerOf10[17] = {1ull,
                                                 10ull,
                                                 100ull,
                                                 1000ull,
                                                 10000ull,
                                                 100000ull,
                                                 1000000ull,
                                                 10000000ull,
                                                 100000000ull,
                                                 1000000000ull,
                                                 10000000000ull,
                                                 100000000000ull,
                                                 1000000000000ull,
                                                 10000000000000ull,
                                                 100000000000000ull,
                                                 1000000000000000ull,
                                                 10000000000000000ull};

// Rounds a finite, non-zero, normal `value` to 1..16 `digits`; false when the
// value lies outside the range the integer route covers exactly.
bool RoundWithoutText(double value, int digits, double& result) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biasedExponent = static_cast<int>((bits >> 52) & 0x7FF);
    if (biasedExponent == 0) return false;
    const std::uint64_t m = (bits & ((1ull << 52) - 1)) | (1ull << 52);
    const int q = biasedExponent - 1075;  // |value| = m * 2^q

    // floor(log10 |value|) is this estimate or one above it.
    int decimalExponent = static_cast<int>(std::floor((biasedExponent - 1023) * 0.30102999566398120));
    const std::uint64_t lowest = kIntegerPowerOf10[digits - 1];
    const std::uint64_t highest = kIntegerPowerOf10[digits];
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int j = digits - 1 - decimalExponent;
        if (j < 0 || j > 22) return false;
        const int shift = -(q + j);
        if (shift <= 0 || shift >= 120) return false;
        const Uint128 scaled = static_cast<Uint128>(m) * kPowerOf5[j];
        const Uint128 whole = scaled >> shift;
        if (whole >= highest) {
            ++decimalExponent;
            continue;
        }
        if (whole < lowest) {
            --decimalExponent;
            continue;
        }
        const Uint128 rest = scaled & ((static_cast<Uint128>(1) << shift) - 1);
        const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
        std::uint64_t rounded = static_cast<std::uint64_t>(whole);
        if (rest > half || (rest == half && (rounded & 1))) ++rounded;
        if (rounded > (1ull << 53)) return false;
        const double magnitude = static_cast<double>(rounded) / kPowerOf10[j];
        result = value < 0 ? -magnitude : magnitude;
        return true;
    }
    return false;
}
#endif

}  // namespace

double roundTo(double value, int digits) {
    // "%.*g" takes a negative precision as none given (6) and 0 as 1.
    if (digits < 0) digits = 6;
    if (digits == 0) digits = 1;
    // Zeros (with their sign), infinities and NaN come back as they went.
    if (value == 0.0 || !std::isfinite(value)) return value;
    // Seventeen significant digits always read back as the same double.
    if (digits >= 17) return value;
#ifdef KORAVEL_ROUND_WITHOUT_TEXT
    double result;
    if (RoundWithoutText(value, digits, result)) return result;
#endif
    return RoundThroughText(value, digits);
}
