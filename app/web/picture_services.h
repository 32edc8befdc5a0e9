// The page's objects behind the off-screen picture: plain pixel memory, and a
// copy of it in the canvas's byte order (red, green, blue, opaque alpha) that
// the shell puts on the canvas.
#pragma once

#include <cstdint>
#include <vector>

#include "app/picture.h"

namespace orvanta {

struct PictureStore {
    std::vector<std::uint8_t> pixels;  // blue, green, red, unused; top row first
    std::vector<std::uint8_t> rgba;    // the same picture for the canvas
};

// Nothing is needed per redraw: the canvas draws the texts.
struct PictureContext {};

}  // namespace orvanta
