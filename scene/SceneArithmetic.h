// Conversions the scene uses where settings and glyph data are taken as read:
// an out-of-range value saturates at the 32-bit limits instead of wrapping
// or being undefined.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

inline std::int32_t SaturateToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// Truncation toward zero; beyond the 32-bit range the nearest limit, NaN 0.
inline std::int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}
