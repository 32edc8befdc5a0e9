// The ways from an end city through a small set of cities and back to city
// 0, grouped by length: what a subtree of the search's walk holds near its
// leaves, listed once per (set, end) and kept for the rest of the walk.
// Internal to the search.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvanta::search {

// Ways whose sums lie this share of their sum apart or less are one group.
inline constexpr double kGroupWidth = 1e-10;
// Most groups a list may hold: a longer one takes about as long to go
// through as its subtree takes to walk.
inline constexpr std::size_t kMostGroups = 64;

struct CompletionGroup {
    double sum;  // the sum of the first way of the group, the shortest
    std::int64_t ways;
};

class CompletionGroups {
public:
    // Lists for sets of up to `most` cities of a board of `n` cities, whose
    // distance from a to b is distance[a * n + b]; at most `limit` groups per
    // list (a longer list is not kept).
    void start(std::int32_t n, const double* distance, std::int32_t most, std::size_t limit);
    // The largest sets counted whole: `most`, less the sizes whose lists
    // mostly come out too long, found as they are built.
    std::int32_t most() const { return most_; }

    // The groups of (set, end), ascending by sum, or null when there would be
    // more than the limit; `size` is set to their number.
    const CompletionGroup* groups(std::uint32_t set, std::int32_t end, std::size_t& size);

private:
    static constexpr std::uint32_t kNotBuilt = 0xffffffffu;
    static constexpr std::uint32_t kTooMany = 0xfffffffeu;
    struct Span {
        std::uint32_t begin = kNotBuilt;
        std::uint32_t size = 0;
    };
    Span build(std::uint32_t set, std::int32_t end);
    // The span of `end` in the set's row (rowOfSet_, already given one).
    Span& spanOf(std::uint32_t set, std::int32_t end) {
        return spans_[static_cast<std::size_t>(rowOfSet_[set] - 1) * static_cast<std::size_t>(n_) + static_cast<std::size_t>(end)];
    }

    std::int32_t n_ = 0;
    const double* distance_ = nullptr;
    std::int32_t most_ = 0;
    std::size_t limit_ = 0;
    // rowOfSet_[set]: the set's row of spans, plus one (0 before its first list).
    std::vector<std::uint32_t> rowOfSet_;
    std::vector<Span> spans_;  // row * n + end
    std::vector<CompletionGroup> pool_;
    // Lists built of each set size, and those of them too long.
    std::uint32_t built_[32] = {};
    std::uint32_t tooMany_[32] = {};
    std::vector<CompletionGroup> scratch_;
};

}  // namespace orvanta::search
