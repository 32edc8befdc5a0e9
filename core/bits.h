// Small bit helpers shared by the solvers, which keep sets of cities as bit
// masks.
#pragma once

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

// The lowest city in a non-empty set of cities 1..n-1, city c being bit c - 1
// (the solvers keep city 0 out of their sets: every tour starts there).
inline std::int32_t lowestCity(std::uint32_t set) { return lowestBit(set) + 1; }

// The number of members of a set.
inline std::int32_t countMembers(std::uint32_t set) {
    std::int32_t k = 0;
    for (; set != 0; set &= set - 1) ++k;
    return k;
}

// The next larger set with as many members as `set` (Gosper's step): the
// lowest run of members moves its top member up by one place and the rest of
// the run back down to the bottom. Walks all sets of one size in increasing
// order.
inline std::uint32_t nextSubsetOfSameSize(std::uint32_t set) {
    const std::uint32_t low = set & (~set + 1u);  // lowest member
    const std::uint32_t ripple = set + low;       // the lowest run carried one place up
    return ripple | (((set ^ ripple) >> 2) / low);
}

}  // namespace orvanta
