// Internal to the counting solve (core/solver_counting.cpp): the lists of
// (length, count) pairs that each state of its programme keeps, and the
// merge that makes a state's list from the lists of the states before it.
// A list is sorted by length and holds at most the 20 shortest distinct
// lengths; a merge shifts each incoming list by the distance of its last
// step, adds the counts of equal lengths (saturating at the int32 limit) and
// keeps the 20 shortest up to a limit.
#pragma once

#include <cstdint>
#include <limits>

#include "core/bits.h"
#include "core/board.h"

namespace orvanta::counting {

constexpr std::uint32_t kCountLimit = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());

struct LengthCount {
    std::uint32_t length;  // prefix or tour length, in units of the distances' gcd
    std::uint32_t count;   // orderings of that length (one per pattern of shared points), saturated
};

inline std::uint32_t addSaturated(std::uint32_t a, std::uint32_t b) {
    const std::uint64_t sum = static_cast<std::uint64_t>(a) + b;
    return sum > kCountLimit ? kCountLimit : static_cast<std::uint32_t>(sum);
}

// Lengths that all lie within this many units of the shortest are summed in a
// table rather than merged list by list. Every count is at least 1, so a
// length is present where its sum is not 0.
constexpr std::uint32_t kDenseSpan = 256;
struct DenseSums {
    std::uint64_t sums[kDenseSpan] = {};
};

// Merges sorted lists of pairs, each shifted by its own distance, keeping
// the (at most) 20 shortest distinct lengths up to the limit.
struct Merge {
    const LengthCount* at[kMaxCities];
    const LengthCount* end[kMaxCities];
    std::uint32_t shift[kMaxCities];
    std::int32_t lists = 0;

    void add(const LengthCount* first, const LengthCount* last, std::uint32_t by, std::uint32_t limit) {
        if (first == last || first->length + by > limit) return;
        at[lists] = first;
        end[lists] = last;
        shift[lists] = by;
        ++lists;
    }

    // The same, through the table when the lengths span little: every pair
    // up to the limit is added in, and the table read in order.
    template <typename Emit>
    void run(std::uint32_t limit, DenseSums& dense, Emit emit) {
        std::uint32_t base = std::numeric_limits<std::uint32_t>::max();
        for (std::int32_t l = 0; l < lists; ++l)
            if (at[l]->length + shift[l] < base) base = at[l]->length + shift[l];
        if (lists == 0 || limit - base >= kDenseSpan) {
            run(limit, emit);
            return;
        }
        // The lists are sorted: the last length each adds is its longest.
        std::uint32_t top = 0;
        for (std::int32_t l = 0; l < lists; ++l) {
            const LengthCount* e = at[l];
            for (; e != end[l] && e->length + shift[l] <= limit; ++e) dense.sums[e->length + shift[l] - base] += e->count;
            if (e != at[l] && e[-1].length + shift[l] - base > top) top = e[-1].length + shift[l] - base;
        }
        lists = 0;
        std::int32_t kept = 0;
        for (std::uint32_t i = 0; i <= top; ++i) {
            const std::uint64_t count = dense.sums[i];
            if (count == 0) continue;
            dense.sums[i] = 0;
            if (kept < kSpectrumEntries) {
                emit(LengthCount{base + i, count > kCountLimit ? kCountLimit : static_cast<std::uint32_t>(count)});
                ++kept;
            }
        }
    }

    template <typename Emit>
    void run(std::uint32_t limit, Emit emit) {
        for (std::int32_t kept = 0; kept < kSpectrumEntries && lists > 0; ++kept) {
            std::uint32_t shortest = std::numeric_limits<std::uint32_t>::max();
            for (std::int32_t l = 0; l < lists; ++l) {
                const std::uint32_t length = at[l]->length + shift[l];
                if (length < shortest) shortest = length;
            }
            if (shortest > limit) return;
            std::uint32_t count = 0;
            for (std::int32_t l = 0; l < lists;) {
                if (at[l]->length + shift[l] == shortest) {
                    count = addSaturated(count, at[l]->count);
                    if (++at[l] == end[l]) {
                        --lists;
                        at[l] = at[lists];
                        end[l] = end[lists];
                        shift[l] = shift[lists];
                        continue;
                    }
                }
                ++l;
            }
            emit(LengthCount{shortest, count});
        }
    }
};

}  // namespace orvanta::counting
