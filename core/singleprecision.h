#pragma once

#include <cmath>
#include <optional>

// Rounds a 64-bit value to the nearest 32-bit one; nothing when it is not finite or leaves the
// 32-bit range (the 32-bit value is then infinite or NaN, under IEEE 754 rounding).
inline std::optional<float> toSingle(double value) {
    const float single = static_cast<float>(value);
    if (!std::isfinite(single)) return std::nullopt;
    return single;
}
