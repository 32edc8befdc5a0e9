// Arithmetic on values that may come from a foreign file or a far clock is
// done wider and clamped into range, so that nothing overflows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace orvanta {

// v clamped into the int32 range.
constexpr std::int32_t clampToInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace orvanta
