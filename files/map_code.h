// A map as a short text that can be typed, pasted or put into an address after
// '#': its grid and its cities, nothing that is worked out again (solution,
// spectrum). Letters and digits only (32 of them, case ignored, O read as 0
// and I or L as 1), with a version and a check: a mistyped, cut or foreign
// code is refused, never opened as another map.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/board.h"

namespace orvanta {

// What a map code holds.
struct MapCodeContent {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<City> cities;
};

enum class MapCodeStatus : std::int32_t {
    Ok,
    Empty,          // nothing but spaces
    NoCodeInLink,   // a link whose part after '#' is empty
    NotACode,       // characters no map code has
    Damaged,        // mistyped, cut or lengthened: the length or the check is wrong
    NewerVersion,   // made by a later version of the program
    TooManyCities,  // more cities than a board of its grid holds
};

// The code of the content: sides 2..10000, at most 31 cities, each on the grid.
std::string encodeMapCode(const MapCodeContent& content);

// The content of a code, or of a whole link with the code after its last
// '#'; spaces, line breaks and '-' between the characters are skipped.
// `out` is changed only when the result is Ok.
MapCodeStatus decodeMapCode(std::string_view text, MapCodeContent& out);

// What the user is told about a refused code (Windows-1251).
const char* mapCodeMessage(MapCodeStatus status);

// The code of the board's grid and cities in use.
std::string mapCodeOfBoard(const Board& board);

// Opens the map of a code (or link) as a map file is opened: the board takes
// its grid and cities, unsolved, the generator settings follow, the game
// clock restarts. Anything but Ok leaves everything as it was.
MapCodeStatus openMapCode(Board& board, std::string_view text);

}  // namespace orvanta
