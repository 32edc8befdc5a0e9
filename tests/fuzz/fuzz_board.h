// What both fuzz targets do with one input: open it as a record, check that
// the board it gives is one the program can draw, measure, play and solve
// safely, play on it, and save it back; the map target also reads it as a
// map code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvanta::fuzz {

int openAndPlay(const std::uint8_t* data, std::size_t size, bool asGame);

// Reads the input as a map code (or a link): one that is accepted must hold a
// map a board can take, come back whole through its own code and open.
void decodeAsMapCode(const std::uint8_t* data, std::size_t size);

}  // namespace orvanta::fuzz
