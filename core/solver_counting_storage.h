// Internal to the counting solve: the storage of its programme over (set of
// visited cities, end city), the layers being built and those kept for the
// walks, and the budget they all keep within. The functions are in
// solver_counting_storage.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/solver_counting.h"
#include "core/solver_counting_merge.h"

namespace orvanta::counting {

// A table entry is an entry of the path spectrum; what a state of the
// programme keeps is a list of (length, count) pairs, kept in blocks of this
// many pairs: a state's list never straddles two.
constexpr std::size_t kBlockBits = 16;
constexpr std::size_t kBlockPairs = std::size_t{1} << kBlockBits;

// One layer of the programme: the states of all sets of one size, in the
// order of the sets' ranks and, within a set, of the end cities.
struct Layer {
    std::vector<std::uint32_t> first;  // index of the first pair of each state
    std::vector<std::uint8_t> used;    // pairs of each state
    std::vector<std::unique_ptr<LengthCount[]>> blocks;
    std::size_t filled = kBlockPairs;  // pairs taken in the last block
    std::size_t bytes = 0;

    // A pair's index packs its block (the high bits) and its place there.
    std::uint32_t nextIndex() const { return static_cast<std::uint32_t>(((blocks.size() - 1) << kBlockBits) | filled); }
    const LengthCount* list(std::size_t state) const {
        const std::uint32_t at = first[state];
        return blocks[at >> kBlockBits].get() + (at & (kBlockPairs - 1));
    }
};

// The lengths of the states of a layer, kept after the layer is done:
// state s has lengths[start[s]] to lengths[start[s + 1] - 1].
struct KeptLayer {
    std::vector<std::uint32_t> start;
    std::vector<std::uint32_t> lengths;
};

struct Storage {
    std::size_t storageLimit = kCountingStorageLimit;
    std::size_t fixedBytes = 0;
    Layer layers[2];
    // With keepLayers, count() keeps the layers, by size of the set less one;
    // a layer that did not fit is kept empty, with no states.
    bool keepLayers = false;
    std::vector<KeptLayer> kept;
    std::size_t keptBytes = 0;

    bool fits(std::size_t extra) const { return fixedBytes + keptBytes + layers[0].bytes + layers[1].bytes + extra <= storageLimit; }
    bool startLayer(Layer& layer, std::size_t states);
    LengthCount* room(Layer& layer);
    void keepLayer(Layer& done);
};

}  // namespace orvanta::counting
