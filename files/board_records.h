// Records made from the board, and the board made from a record: what a
// file from elsewhere holds is brought into range here.
#pragma once

#include <cstdint>

#include "core/board.h"
#include "files/records.h"

namespace orvanta {

// Records of the board as it is now, stamped with the given clock seconds and
// the current personalNumber and stampWords (the game record also takes the
// game clock globals).
MapFile mapFileFromBoard(const Board& board, std::int32_t saveTime);
GameFile gameFileFromBoard(const Board& board, std::int32_t saveTime);

// Whether a decoded record may be opened at all: version 2 and no grid side
// above kMaxGridSide. Every other value is brought into range on installing.
bool mapFileAcceptable(const MapFile& record);
bool gameFileAcceptable(const GameFile& record);

// Installs an acceptable record into the board, the generator settings and
// (for games) the game clock; false, with nothing changed, for a record that
// is not acceptable. Public: stampWords follow the record. A record this
// program wrote installs unchanged; in a foreign one, cities in use are put
// onto the grid and the others into the largest grid, route entries that are
// no city slot become 0, the player's route is cut back to its longest sound
// start, the saved clock is held within about 34 years, and the solved flag
// is kept only with a closed trip over the cities and a showable spectrum.
bool installMapFile(Board& board, const MapFile& record);
bool installGameFile(Board& board, const GameFile& record);

}  // namespace orvanta
