// The Profi spectrum's longest counts, for the front ends' checks that each
// count stays in its cell whatever their font.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "app/draw.h"
#include "app/layout.h"
#include "app/renderer.h"
#include "support/boards.h"

namespace orvanta::test {

// 18 cities along a row of the 41-grid, solved, with twenty spectrum rows of
// ten-digit counts, every other one at the top of the int32 range (as a long
// row's counts come out).
inline Board rowWithLongCounts() {
    std::vector<City> cities;
    for (std::int32_t i = 0; i < 18; ++i) cities.push_back(City{2 * i, 20});
    Board board = boardOf(41, cities);
    board.solved = 1;
    board.spectrum.count = kSpectrumEntries;
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        board.spectrum.lengths[i] = 1.0 + 0.0123456 * i;
        board.spectrum.counts[i] = i % 2 == 0 ? std::numeric_limits<std::int32_t>::max() : 1987654321 - i;
    }
    return board;
}

struct CountPixels {
    std::int32_t inCells = 0;    // drawn between the counts' column and the cells' end
    std::int32_t pastCells = 0;  // drawn between the cells' end and the board's frame
};

// The pixels other than the background in the spectrum's rows, left of the
// board's frame, split at the end of the counts' cells.
inline CountPixels countPixels(const OffscreenPicture& picture, const FrameLayout& layout) {
    CountPixels pixels;
    const PanelLayout& panel = layout.panel;
    const std::int32_t top = panel.spectrumHeaderY + panel.spectrumRowHeight;
    const std::int32_t bottom = top + panel.spectrumRowHeight * kSpectrumEntries;
    const std::int32_t frame = layout.board.originX - scaledPixels(layout.board, kBoardFrameMargin);
    for (std::int32_t y = top; y < bottom && y < picture.pictureHeight; ++y)
        for (std::int32_t x = panel.spectrumCountX; x < frame && x < picture.pictureWidth; ++x)
            if (pixelAt(picture, x, y) != colours::background) ++(x < panel.columnRight ? pixels.inCells : pixels.pastCells);
    return pixels;
}

}  // namespace orvanta::test
