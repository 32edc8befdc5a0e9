#include "files/board_records.h"

#include <algorithm>

#include "core/clamp.h"
#include "core/edition.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "core/platform.h"
#include "files/current_document.h"
#include "files/manual_and_number.h"

namespace orvanta {

namespace {

constexpr std::int32_t kMaxCoordinate = kMaxGridSide - 1;
// Saved game clocks beyond about 34 years are cut to it, so that the clock
// arithmetic that follows stays inside 32 bits.
constexpr std::int32_t kMaxElapsedSeconds = 1 << 30;
// The solver's ratios to the optimum stay far below this; anything above is not
// a length this program made.
constexpr double kMaxSpectrumLength = 1e9;

FileHeader headerFromBoard(const Board& board, std::int32_t saveTime) {
    FileHeader h;
    h.version = kFileVersion;
    h.personalNumber = document.personalNumber;
    h.saveTime = saveTime;
    for (std::int32_t i = 0; i < kStampWordCount; ++i) h.stampWords[i] = document.stampWords[i];
    h.gridWidth = board.gridWidth;
    h.gridHeight = board.gridHeight;
    h.cityCount = board.cityCount;
    h.solved = board.solved;
    h.spectrum = board.spectrum;
    return h;
}

// Cities in use are put onto the board's grid (as a click off the grid lands on
// its border); the slots beyond stay as stored unless they lie outside the
// largest grid, which no board of this program can produce. Returns whether a
// city in use had to be moved.
bool installCities(Board& board, const City* cities) {
    bool moved = false;
    for (std::int32_t i = 0; i < kMaxCities; ++i) {
        const bool inUse = i < board.cityCount;
        const std::int32_t maxX = inUse ? board.gridWidth - 1 : kMaxCoordinate;
        const std::int32_t maxY = inUse ? board.gridHeight - 1 : kMaxCoordinate;
        const City c{std::clamp(cities[i].x, 0, maxX), std::clamp(cities[i].y, 0, maxY)};
        if (inUse && (c.x != cities[i].x || c.y != cities[i].y)) moved = true;
        board.cities[i] = c;
    }
    return moved;
}

// Route entries are indices into the 18 city slots. Every entry this program
// writes is one, in use or not; anything else becomes city 0, so that no later
// reading of a route can leave the arrays.
std::int32_t routeEntry(std::int32_t stored) { return stored >= 0 && stored < kMaxCities ? stored : 0; }

// A solved board's route is a closed trip: city 0, every other city once, city 0.
bool closedTripOver(const std::int32_t* route, std::int32_t cityCount) {
    if (route[0] != 0 || route[cityCount] != 0) return false;
    bool seen[kMaxCities] = {};
    for (std::int32_t k = 1; k < cityCount; ++k) {
        const std::int32_t c = route[k];
        if (c < 1 || c >= cityCount || seen[c]) return false;
        seen[c] = true;
    }
    return true;
}

bool spectrumShowable(const PathSpectrum& s) {
    if (s.count < 0 || s.count > kSpectrumEntries) return false;
    for (std::int32_t i = 0; i < s.count; ++i)
        if (!(s.lengths[i] >= 0.0 && s.lengths[i] <= kMaxSpectrumLength)) return false;  // NaN fails too
    return true;
}

// What opening either record does once it is accepted: settings, reset, arrays, solution.
void installCommon(Board& board, const FileHeader& h, const City* cities, const std::int32_t* solutionRoute) {
    mapGenerator.gridSizeSetting.width = h.gridWidth;
    mapGenerator.gridSizeSetting.height = h.gridHeight;
    mapGenerator.cityCountSetting = h.cityCount;
    resetBoard(board);
    const bool moved = installCities(board, cities);
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) board.solutionRoute[i] = routeEntry(solutionRoute[i]);
    // The solution is kept only when it is one this board can have: a closed
    // trip over its cities, with its spectrum. Otherwise the map opens
    // unsolved, as does a board of fewer than two cities, which has no trip.
    const bool solved = h.solved != 0 && !moved && board.cityCount >= 2 && closedTripOver(solutionRoute, board.cityCount) &&
                        spectrumShowable(h.spectrum);
    board.solved = solved ? 1 : 0;
    if (board.solved) board.measureSolutionRoute();
    board.spectrum = h.spectrum;
}

void takeStampWords(const FileHeader& h) {
    if constexpr (!isProfi())
        for (std::int32_t i = 0; i < kStampWordCount; ++i) document.stampWords[i] = h.stampWords[i];
}

// The longest start of the stored player's route that is a route of this board:
// city 0, then distinct other cities, possibly closed by city 0 after all of them.
std::int32_t validRouteLength(const std::int32_t* route, std::int32_t stored, std::int32_t cityCount) {
    const std::int32_t limit = stored < 1 ? 1 : (stored > cityCount + 1 ? cityCount + 1 : stored);
    bool seen[kMaxCities] = {};
    std::int32_t length = 1;
    for (std::int32_t k = 1; k < limit; ++k) {
        const std::int32_t c = route[k];
        if (k == cityCount && c == 0) return k + 1;
        if (c < 1 || c >= cityCount || seen[c]) break;
        seen[c] = true;
        length = k + 1;
    }
    return length;
}

// The two refusals besides a short read: another version, and a grid larger than
// the program's largest. Everything else in a record is brought into range.
bool headerAcceptable(const FileHeader& h) {
    return h.version == kFileVersion && h.gridWidth <= kMaxGridSide && h.gridHeight <= kMaxGridSide;
}

}  // namespace

MapFile mapFileFromBoard(const Board& board, std::int32_t saveTime) {
    MapFile r;
    r.header = headerFromBoard(board, saveTime);
    for (std::int32_t i = 0; i < kMaxCities; ++i) r.cities[i] = board.cities[i];
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) r.solutionRoute[i] = board.solutionRoute[i];
    return r;
}

GameFile gameFileFromBoard(const Board& board, std::int32_t saveTime) {
    GameFile r;
    r.header = headerFromBoard(board, saveTime);
    r.elapsedSeconds = gameClock.elapsedSeconds;
    r.gameFinished = gameClock.gameFinished;
    r.playerRouteLength = board.playerRouteLength;
    for (std::int32_t i = 0; i < kMaxCities; ++i) r.cities[i] = board.cities[i];
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) {
        r.solutionRoute[i] = board.solutionRoute[i];
        r.playerRoute[i] = board.playerRoute[i];
    }
    return r;
}

bool mapFileAcceptable(const MapFile& record) { return headerAcceptable(record.header); }
bool gameFileAcceptable(const GameFile& record) { return headerAcceptable(record.header); }

bool installMapFile(Board& board, const MapFile& record) {
    if (!mapFileAcceptable(record)) return false;
    installCommon(board, record.header, record.cities, record.solutionRoute);
    takeStampWords(record.header);
    return true;
}

bool installGameFile(Board& board, const GameFile& record) {
    if (!gameFileAcceptable(record)) return false;
    installCommon(board, record.header, record.cities, record.solutionRoute);
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) board.playerRoute[i] = routeEntry(record.playerRoute[i]);
    board.playerRoute[0] = 0;
    gameClock.elapsedSeconds = std::clamp(record.elapsedSeconds, -kMaxElapsedSeconds, kMaxElapsedSeconds);
    gameClock.gameFinished = record.gameFinished;
    board.playerRouteLength = validRouteLength(record.playerRoute, record.playerRouteLength, board.cityCount);
    gameClock.routeClosed = board.playerRouteLength == board.cityCount + 1;
    board.measurePlayerRoute();
    gameClock.gameStartTime = clampToInt32(static_cast<std::int64_t>(platform::clockSeconds()) - gameClock.elapsedSeconds);
    takeStampWords(record.header);
    return true;
}

}  // namespace orvanta
