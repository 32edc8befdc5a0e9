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

}  // namespace

FlatBoard flatten(const Board& board) {
    FlatBoard flat{};
    flat.lengthScale = board.lengthScale;
    flat.solutionLength = board.solutionLength;
    flat.playerLength = board.playerLength;
    flat.spectrum = board.spectrum;
    flat.solved = board.solved;
    flat.gridWidth = board.gridWidth;
    flat.gridHeight = board.gridHeight;
    flat.cityCount = board.cityCount;
    flat.playerRouteLength = board.playerRouteLength;
    copyItems(board.cities, flat.cities, kMaxCities);
    copyItems(board.playerRoute, flat.playerRoute, kRouteCapacity);
    copyItems(board.solutionRoute, flat.solutionRoute, kRouteCapacity);
    return flat;
}

void unflatten(const FlatBoard& flat, Board& board) {
    board.lengthScale = flat.lengthScale;
    board.solutionLength = flat.solutionLength;
    board.playerLength = flat.playerLength;
    board.spectrum = flat.spectrum;
    board.solved = flat.solved;
    board.gridWidth = flat.gridWidth;
    board.gridHeight = flat.gridHeight;
    board.cityCount = flat.cityCount;
    board.playerRouteLength = flat.playerRouteLength;
    copyItems(flat.cities, board.cities, kMaxCities);
    copyItems(flat.playerRoute, board.playerRoute, kRouteCapacity);
    copyItems(flat.solutionRoute, board.solutionRoute, kRouteCapacity);
}

FlatBoard& transferBlock() {
    static FlatBoard block{};
    return block;
}

}  // namespace orvanta::web
