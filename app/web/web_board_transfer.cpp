#include "app/web/web_board_transfer.h"

#include <algorithm>

namespace orvanta::web {

namespace {

template <typename T>
void copyItems(const FixedArray<T>& from, T* to, std::int32_t count) {
    std::copy_n(from.items, std::min(from.capacity, count), to);
}

template <typename T>
void copyItems(const T* from, FixedArray<T>& to, std::int32_t count) {
    std::copy_n(from, std::min(to.capacity, count), to.items);
}

// FlatBoard has Board's fields under the same names: one copy serves both ways.
template <typename From, typename To>
void copyFields(const From& from, To& to) {
    to.lengthScale = from.lengthScale;
    to.solutionLength = from.solutionLength;
    to.playerLength = from.playerLength;
    to.spectrum = from.spectrum;
    to.solved = from.solved;
    to.gridWidth = from.gridWidth;
    to.gridHeight = from.gridHeight;
    to.cityCount = from.cityCount;
    to.playerRouteLength = from.playerRouteLength;
    copyItems(from.cities, to.cities, kMaxCities);
    copyItems(from.playerRoute, to.playerRoute, kRouteCapacity);
    copyItems(from.solutionRoute, to.solutionRoute, kRouteCapacity);
}

}  // namespace

FlatBoard flatten(const Board& board) {
    FlatBoard flat{};
    copyFields(board, flat);
    return flat;
}

void unflatten(const FlatBoard& flat, Board& board) { copyFields(flat, board); }

FlatBoard& transferBlock() {
    static FlatBoard block{};
    return block;
}

}  // namespace orvanta::web
