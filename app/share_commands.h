// The commands that pass a map on: its code, a map opened from a code, the map
// of the day and the line of a result on it.
#pragma once

#include <cstdint>
#include <string>

#include "core/board.h"

namespace orvanta {

// Shows the board's code (and, where the front end has one, the link that
// opens it) with a button that copies it.
void shareMapCommand(const Board& board);

// Asks for a code or a link until one opens or the dialog is cancelled; a
// refused entry is asked for again with the reason. An opened code is like an
// opened map file: the map arrives unsolved in Game mode, the running solve stops.
void openMapCodeCommand(Board& board);

// Opens the map of today's date in UTC as a map is opened; the title shows the date.
void dailyMapCommand(Board& board);

// The result line of a closed trip on the map of the day, once it is solved:
// the date, the trip's length against the shortest and the time, with the
// map's link (its code on the desktops); refused with a beep otherwise.
void shareResultCommand(const Board& board);

// The result line as shareResultCommand shows it, without the link.
std::string resultLine(const std::string& date, double percentOfShortest, std::int32_t seconds);

// What the program does with a code or link it was started with (the web page's
// address): opens it as openMapCodeCommand does; a refused one is shown in the
// ask dialog and leaves the first map. Returns whether the map opened.
bool openStartingCode(Board& board, const char* text);
// The same on the program's board: what a front end calls.
bool openStartingCode(const char* text);

}  // namespace orvanta
