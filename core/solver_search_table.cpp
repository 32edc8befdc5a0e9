// The completion table: row S, lane e - 1 is the least over the cities c of S
// of toward[c][e] + row (S without c), lane c - 1. Nearly all of a quick
// solve's time goes here (2^17 rows of 20 lanes at 18 cities), so the rows
// are computed four at a time: a set T of the lower cities together with T
// plus either or both of the two highest cities. The four share the loop over
// T's cities and its loads of toward's rows. A minimum does not depend on the
// order it is taken in (the values are sums of distances, never NaN and never
// -0), so the table is the plain loop's, bit for bit.
#include "core/solver_search_table.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/bits.h"

namespace orvanta::search {

namespace {

constexpr float kFar = std::numeric_limits<float>::infinity();

#if defined(__GNUC__) && !defined(__clang__)

// Lanes 16..19 hold only city 17 (lane 16); the first 16 go in groups of kWide.
using Quad = float __attribute__((vector_size(16)));
constexpr std::int32_t kHead = 16;
static_assert(kRow == kHead + 4, "a row is sixteen lanes and a quad");

template <typename Wide>
struct Row {
    static constexpr std::int32_t kWide = static_cast<std::int32_t>(sizeof(Wide) / sizeof(float));
    static constexpr std::int32_t kGroups = kHead / kWide;
    Wide head[kGroups];
    Quad tail;

    [[gnu::always_inline]] void clear() {
        for (Wide& h : head) h = Wide{} + kFar;
        tail = Quad{} + kFar;
    }
    // The way through city c, whose row of toward is toC, with `rest` after it.
    // The tail is left alone where it holds no city outside the row's set.
    [[gnu::always_inline]] void take(const float* toC, float rest, bool withTail) {
#pragma GCC unroll 4
        for (std::int32_t g = 0; g < kGroups; ++g) {
            Wide to;
            std::memcpy(&to, toC + kWide * g, sizeof to);
            const Wide way = to + rest;
            head[g] = way < head[g] ? way : head[g];
        }
        if (withTail) {
            Quad to;
            std::memcpy(&to, toC + kHead, sizeof to);
            const Quad way = to + rest;
            tail = way < tail ? way : tail;
        }
    }
    [[gnu::always_inline]] void store(float* row) const {
        std::memcpy(row, head, sizeof head);
        std::memcpy(row + kHead, &tail, sizeof tail);
    }
};

template <typename Wide>
[[gnu::always_inline]] inline void fillByFours(float* table, const float* toward, std::int32_t n, SolveRun& run) {
    // The two highest cities, and whether the tail holds a city at all (17,
    // at 18 cities): rows whose set holds city 17 never need it.
    const std::int32_t high = n - 2;
    const std::int32_t top = n - 1;
    const std::uint32_t highBit = 1u << (high - 1);
    const std::uint32_t topBit = 1u << (top - 1);
    const bool tailLives = top > kHead;
    const std::uint32_t lowSets = 1u << (n - 3);
    auto at = [table](std::uint32_t set, std::int32_t c) { return table[static_cast<std::size_t>(set) * kRow + static_cast<std::size_t>(c - 1)]; };
    auto toRow = [toward](std::int32_t c) { return &toward[static_cast<std::size_t>(c) * kRow]; };
    auto rowOf = [table](std::uint32_t set) { return &table[static_cast<std::size_t>(set) * kRow]; };

    for (std::uint32_t low = 0; low < lowSets; ++low) {
        if ((low & 3u) == 3u) run.step();
        Row<Wide> plain, withHigh, withTop, withBoth;
        plain.clear();
        withHigh.clear();
        withTop.clear();
        withBoth.clear();
        for (std::uint32_t bits = low; bits != 0; bits &= bits - 1) {
            const std::int32_t c = lowestCity(bits);
            const std::uint32_t rest = low & ~(1u << (c - 1));
            const float* toC = toRow(c);
            plain.take(toC, at(rest, c), tailLives);
            withHigh.take(toC, at(rest | highBit, c), tailLives);
            withTop.take(toC, at(rest | topBit, c), false);
            withBoth.take(toC, at(rest | highBit | topBit, c), false);
        }
        // Each row's own high cities last: the rows they read are the ones just stored.
        if (low != 0) plain.store(rowOf(low));
        withHigh.take(toRow(high), at(low, high), tailLives);
        withHigh.store(rowOf(low | highBit));
        withTop.take(toRow(top), at(low, top), false);
        withTop.store(rowOf(low | topBit));
        withBoth.take(toRow(high), at(low | topBit, high), false);
        withBoth.take(toRow(top), at(low | highBit, top), false);
        withBoth.store(rowOf(low | highBit | topBit));
    }
}

#if defined(__x86_64__) && !defined(_WIN32)
// Wider lanes where the processor has them. Not on Windows: its compiler
// does not align the stack for spilled wide registers.
#define ORVANTA_WIDE_TABLE 1
using Eight = float __attribute__((vector_size(32)));
using Sixteen = float __attribute__((vector_size(64)));
[[gnu::target("avx2")]] void fillByEights(float* table, const float* toward, std::int32_t n, SolveRun& run) {
    fillByFours<Eight>(table, toward, n, run);
}
[[gnu::target("avx512f")]] void fillBySixteens(float* table, const float* toward, std::int32_t n, SolveRun& run) {
    fillByFours<Sixteen>(table, toward, n, run);
}
#endif

#endif  // __GNUC__

// One row at a time, lane by lane: small boards, and other compilers.
void fillPlain(float* table, const float* toward, std::int32_t n, SolveRun& run) {
    const std::uint32_t sets = 1u << (n - 1);
    for (std::uint32_t set = 1; set < sets; ++set) {
        if ((set & 15u) == 0) run.step();
        float least[kRow];
        std::fill(least, least + kRow, kFar);
        for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) {
            const std::int32_t c = lowestCity(bits);
            const float rest = table[static_cast<std::size_t>(set & ~(1u << (c - 1))) * kRow + static_cast<std::size_t>(c - 1)];
            const float* toC = &toward[static_cast<std::size_t>(c) * kRow];
            for (std::int32_t e = 0; e < kRow; ++e) least[e] = std::min(least[e], toC[e] + rest);
        }
        std::copy(least, least + kRow, &table[static_cast<std::size_t>(set) * kRow]);
    }
}

}  // namespace

TableLanes widestTableLanes() {
#ifdef ORVANTA_WIDE_TABLE
    if (__builtin_cpu_supports("avx512f")) return TableLanes::Sixteen;
    if (__builtin_cpu_supports("avx2")) return TableLanes::Eight;
#endif
    return TableLanes::Four;
}

void fillCompletion(float* table, const float* toward, std::int32_t n, SolveRun& run, TableLanes lanes) {
    std::copy(toward, toward + kRow, table);
#if defined(__GNUC__) && !defined(__clang__)
    if (n >= 4) {
#ifdef ORVANTA_WIDE_TABLE
        if (lanes == TableLanes::Sixteen) return fillBySixteens(table, toward, n, run);
        if (lanes == TableLanes::Eight) return fillByEights(table, toward, n, run);
#endif
        return fillByFours<Quad>(table, toward, n, run);
    }
#endif
    static_cast<void>(lanes);
    fillPlain(table, toward, n, run);
}

}  // namespace orvanta::search
