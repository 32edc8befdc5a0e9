// The storage of the counting programme: its layers, the layers it keeps for
// the walks, and the budget they keep within (solver_counting_storage.h).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/solver_counting_storage.h"

namespace orvanta::counting {

// Empties a layer and makes room for the index of its states.
bool Storage::startLayer(Layer& layer, std::size_t states) {
    layer = Layer{};
    if (!fits(states * (sizeof(std::uint32_t) + sizeof(std::uint8_t)))) return false;
    layer.first.reserve(states);
    layer.used.reserve(states);
    layer.bytes = layer.first.capacity() * sizeof(std::uint32_t) + layer.used.capacity() * sizeof(std::uint8_t);
    return true;
}

// Room for the entries of one more state, or null beyond the storage limit.
LengthCount* Storage::room(Layer& layer) {
    if (layer.filled + kSpectrumEntries > kBlockPairs) {
        if (!fits(kBlockPairs * sizeof(LengthCount))) return nullptr;
        layer.blocks.emplace_back(new LengthCount[kBlockPairs]);
        layer.bytes += kBlockPairs * sizeof(LengthCount);
        layer.filled = 0;
    }
    return layer.blocks.back().get() + layer.filled;
}

// Empties a layer that is done with. With keepLayers, keeps the lengths of
// its states while the kept layers take at most half the storage (the other
// half is left to the layers being built), else an empty layer in its place.
void Storage::keepLayer(Layer& done) {
    std::size_t entries = 0;
    for (std::uint8_t u : done.used) entries += u;
    const std::size_t bytes = (done.used.size() + 1 + entries) * sizeof(std::uint32_t);
    if (keepLayers) {
        kept.emplace_back();
        if (fixedBytes + keptBytes + bytes <= storageLimit / 2) {
            KeptLayer& k = kept.back();
            k.start.reserve(done.used.size() + 1);
            k.lengths.reserve(entries);
            for (std::size_t state = 0; state < done.used.size(); ++state) {
                k.start.push_back(static_cast<std::uint32_t>(k.lengths.size()));
                const LengthCount* list = done.used[state] == 0 ? nullptr : done.list(state);
                for (std::uint8_t i = 0; i < done.used[state]; ++i) k.lengths.push_back(list[i].length);
            }
            k.start.push_back(static_cast<std::uint32_t>(k.lengths.size()));
            keptBytes += bytes;
        }
    }
    done = Layer{};
}

}  // namespace orvanta::counting
