#pragma once
// Small bit helpers shared by the solvers, which keep sets of cities as bit
// masks.

#include <cstdint>

namespace orvanta {

// The position of the lowest set bit of a non-zero mask.
template <typename Mask>
inline std::int32_t lowestBit(Mask bits) {
#if defined(__GNUC__)
    if constexpr (sizeof(Mask) > sizeof(unsigned int))
        return __builtin_ctzll(bits);
    else
        return __builtin_ctz(bits);
#else
    std::int32_t b = 0;
    while ((bits & 1u) == 0) {
        bits >>= 1;
        ++b;
    }
    return b;
#endif
}

}  // namespace orvanta
