// What both fuzz targets do with one input: open it as a record, check that
// the board it gives is one the program can draw, measure, play and solve
// safely, play on it, and save it back.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvanta::fuzz {

int openAndPlay(const std::uint8_t* data, std::size_t size, bool asGame);

}  // namespace orvanta::fuzz
