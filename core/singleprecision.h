#pragma once

#include <cmath>
#include <optional>

// Rounds a 64-bit value to the nearest 32-bit one; nothing when it is not finite or leaves the
// 32-bit range.
inline std::optional<float> toSingle(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const float single = static_cast<float>(value);
    if (!std::isfinite(single)) return std::nullopt;
    return single;
}
