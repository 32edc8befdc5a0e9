#include "fuzz_board.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <string_view>
#include <vector>

#include "core/board.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "core/solver.h"
#include "files/current_document.h"
#include "files/file_commands.h"
#include "files/map_code.h"
#include "files/records.h"
#include "fuzz_services.h"

// A broken expectation is a finding: report it and abort so that libFuzzer
// keeps the input.
#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)

namespace orvanta::fuzz {
namespace {

// Every board is solved, of any size, but a solve is stopped once the
// solver's clock (a millisecond per look, see fuzz_services.cpp) passes this:
// some boards take the search minutes, as they may on the desktop, where the
// user stops them. A stopped solve must leave the board as it was.
constexpr std::int64_t kSolveDeadlineMs = 30;

bool fitsInt32(double v) { return v > -2147483649.0 && v < 2147483648.0; }

// The board as drawing, picking, measuring and grading will find it.
void checkBoard(const Board& b) {
    FUZZ_CHECK(b.gridWidth >= 2 && b.gridWidth <= kMaxGridSide);
    FUZZ_CHECK(b.gridHeight >= 2 && b.gridHeight <= kMaxGridSide);
    const std::int64_t points = static_cast<std::int64_t>(b.gridWidth) * b.gridHeight;
    FUZZ_CHECK(b.cityCount >= 0 && b.cityCount <= kMaxCities && b.cityCount <= points);
    const std::int32_t n = b.cityCount;
    for (std::int32_t i = 0; i < kMaxCities; ++i) {
        const std::int32_t maxX = i < n ? b.gridWidth : kMaxGridSide;
        const std::int32_t maxY = i < n ? b.gridHeight : kMaxGridSide;
        FUZZ_CHECK(b.cities[i].x >= 0 && b.cities[i].x < maxX);
        FUZZ_CHECK(b.cities[i].y >= 0 && b.cities[i].y < maxY);
    }

    for (std::int32_t k = 0; k < kRouteCapacity; ++k) {
        FUZZ_CHECK(b.playerRoute[k] >= 0 && b.playerRoute[k] < kMaxCities);
        FUZZ_CHECK(b.solutionRoute[k] >= 0 && b.solutionRoute[k] < kMaxCities);
    }
    FUZZ_CHECK(b.playerRouteLength >= 1 && b.playerRouteLength <= n + 1);
    FUZZ_CHECK(b.playerRoute[0] == 0);
    bool seen[kMaxCities] = {};
    for (std::int32_t k = 1; k < b.playerRouteLength; ++k) {
        const std::int32_t c = b.playerRoute[k];
        if (k == n && c == 0) break;
        FUZZ_CHECK(c >= 1 && c < n && !seen[c]);
        seen[c] = true;
    }

    if (b.solved) {
        FUZZ_CHECK(b.solutionRoute[0] == 0 && b.solutionRoute[n] == 0);
        for (std::int32_t k = 1; k < n; ++k) FUZZ_CHECK(b.solutionRoute[k] >= 1 && b.solutionRoute[k] < n);
        FUZZ_CHECK(b.spectrum.count >= 0 && b.spectrum.count <= kSpectrumEntries);
        for (std::int32_t i = 0; i < b.spectrum.count; ++i) FUZZ_CHECK(std::isfinite(100.0 * b.spectrum.lengths[i]));
    }
    FUZZ_CHECK(std::isfinite(b.lengthScale) && b.lengthScale > 0.0);
    FUZZ_CHECK(std::isfinite(b.playerLength) && std::isfinite(b.solutionLength));

    // The window positions of the cities, for a small and a large window, as
    // the renderer lays the board out: inside the window, so in 32 bits.
    for (const double w : {200.0, 3840.0}) {
        const double h = w * 0.75;
        const double a = w / (b.gridWidth - 1), bb = h / (b.gridHeight - 1);
        const double scale = 0.8 * (a < bb ? a : bb);
        const double originX = std::trunc((w - (b.gridWidth - 1) * scale) * 0.5);
        const double originY = std::trunc((h + (b.gridHeight - 1) * scale) * 0.5);
        for (std::int32_t i = 0; i < n; ++i) {
            const double x = originX + b.cities[i].x * scale, y = originY - b.cities[i].y * scale;
            FUZZ_CHECK(x >= 0.0 && x <= w && y >= 0.0 && y <= h);
        }
    }
    // The grade of a closed route converts a ratio of lengths to an integer.
    const double ratio = b.solutionLength > 0.0 ? b.playerLength * 100.0 / b.solutionLength : b.playerLength;
    FUZZ_CHECK(fitsInt32((ratio - 100.0) * -0.2));
}

void checkClock() {
    FUZZ_CHECK(gameClock.routeClosed == 0 || gameClock.routeClosed == 1);
    // The status line shows now minus the start: it must stay in 32 bits for
    // years of running.
    constexpr std::int64_t kTenYears = 315'360'000;
    const std::int64_t shown = static_cast<std::int64_t>(clockNow) + kTenYears - gameClock.gameStartTime;
    FUZZ_CHECK(fitsInt32(static_cast<double>(shown)));
}

void play(Board& b, const std::uint8_t* picks, std::size_t count) {
    const std::int32_t n = b.cityCount;
    if (n == 0) return;
    for (std::size_t i = 0; i < count; ++i) {
        // Picks are cities of the board, as the controller finds them under
        // the cursor; the top bit of the byte stands for a right click.
        const bool right = (picks[i] & 0x80) != 0;
        const std::int32_t city = right ? 0 : static_cast<std::int32_t>(picks[i] % n);
        const bool closed = b.extendPlayerRoute(city);
        FUZZ_CHECK(closed == (b.playerRouteLength == n + 1));
        b.measurePlayerRoute();
        checkBoard(b);
    }
}

// Most runs change bytes that leave the cities as they were, so most boards
// come back again and again. Each distinct board is solved once; when it
// comes back it takes the solution it had (the solve is deterministic).
struct Solution {
    std::int32_t solved;
    Route route{kRouteCapacity};
    PathSpectrum spectrum;
    double length;
};
std::map<std::vector<std::int32_t>, Solution> solutions;

bool solveOnce(Board& b) {
    std::vector<std::int32_t> key = {b.gridWidth, b.gridHeight, b.cityCount};
    for (std::int32_t i = 0; i < b.cityCount; ++i) key.insert(key.end(), {b.cities[i].x, b.cities[i].y});
    const auto known = solutions.find(key);
    if (known != solutions.end()) {
        b.solved = known->second.solved;
        b.solutionRoute = known->second.route;  // copies the elements
        b.spectrum = known->second.spectrum;
        b.solutionLength = known->second.length;
        return b.solved != 0;
    }
    SolveRun run;
    run.stopAfter(kSolveDeadlineMs);
    Board copy = b;
    const bool solved = solveExact(copy, run);
    if (solved) {
        takeSolution(b, copy);
    } else {
        FUZZ_CHECK(b.cityCount < 2 || run.stoppedEarly());
        FUZZ_CHECK(std::memcmp(&copy.spectrum, &b.spectrum, sizeof(PathSpectrum)) == 0);
        FUZZ_CHECK(std::memcmp(copy.solutionRoute.items, b.solutionRoute.items, 4 * kRouteCapacity) == 0);
        b.solved = 0;
    }
    if (solutions.size() > 100000) solutions.clear();
    solutions.emplace(std::move(key), Solution{b.solved, b.solutionRoute, b.spectrum, b.solutionLength});
    return solved;
}

void expectSameBoard(const Board& a, const Board& b) {
    FUZZ_CHECK(a.gridWidth == b.gridWidth && a.gridHeight == b.gridHeight && a.cityCount == b.cityCount);
    FUZZ_CHECK(a.solved == b.solved);
    FUZZ_CHECK(std::memcmp(a.cities.items, b.cities.items, sizeof(City) * kMaxCities) == 0);
    FUZZ_CHECK(std::memcmp(a.solutionRoute.items, b.solutionRoute.items, 4 * kRouteCapacity) == 0);
    FUZZ_CHECK(std::memcmp(&a.spectrum, &b.spectrum, sizeof(PathSpectrum)) == 0);
    FUZZ_CHECK(a.solutionLength == b.solutionLength);
}

// A board's code opens as a board with the same grid and cities in use.
void expectSameThroughCode(const Board& b) {
    Board fromCode;
    FUZZ_CHECK(openMapCode(fromCode, mapCodeOfBoard(b)) == MapCodeStatus::Ok);
    FUZZ_CHECK(fromCode.gridWidth == b.gridWidth && fromCode.gridHeight == b.gridHeight);
    FUZZ_CHECK(fromCode.cityCount == b.cityCount && fromCode.solved == 0);
    FUZZ_CHECK(std::memcmp(fromCode.cities.items, b.cities.items, sizeof(City) * static_cast<std::size_t>(b.cityCount)) == 0);
}

}  // namespace

void decodeAsMapCode(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    MapCodeContent content;
    if (decodeMapCode(text, content) != MapCodeStatus::Ok) return;
    FUZZ_CHECK(content.width >= 2 && content.width <= kMaxGridSide);
    FUZZ_CHECK(content.height >= 2 && content.height <= kMaxGridSide);
    const std::int64_t points = static_cast<std::int64_t>(content.width) * content.height;
    const std::int64_t count = static_cast<std::int64_t>(content.cities.size());
    FUZZ_CHECK(count <= kMaxCities && count <= points);
    for (const City& c : content.cities)
        FUZZ_CHECK(c.x >= 0 && c.x < content.width && c.y >= 0 && c.y < content.height);
    MapCodeContent again;
    FUZZ_CHECK(decodeMapCode(encodeMapCode(content), again) == MapCodeStatus::Ok);
    FUZZ_CHECK(again.width == content.width && again.height == content.height && again.cities.size() == content.cities.size());
    for (std::size_t i = 0; i < content.cities.size(); ++i)
        FUZZ_CHECK(again.cities[i].x == content.cities[i].x && again.cities[i].y == content.cities[i].y);
    Board board;
    FUZZ_CHECK(openMapCode(board, text) == MapCodeStatus::Ok);
    board.measurePlayerRoute();
    checkBoard(board);
}

int openAndPlay(const std::uint8_t* data, std::size_t size, bool asGame) {
    files.clear();
    files["in"].assign(data, data + size);
    dialogPath = "in";
    clockNow = 1'700'000'000;
    document = Document{};
    mapGenerator = MapGenerator{};
    gameClock = GameClock{};

    const std::size_t recordSize = asGame ? kGameFileBytes : kMapFileBytes;
    Board board;
    const bool opened = asGame ? openGame(board) : openMap(board);
    // Only a short record, another version or an oversized grid is refused.
    bool acceptable = size >= recordSize;
    if (acceptable) {
        const FileHeader h = decodeHeader(data);
        acceptable = h.version == kFileVersion && h.gridWidth <= kMaxGridSide && h.gridHeight <= kMaxGridSide;
    }
    FUZZ_CHECK(opened == acceptable);
    if (!opened) {
        FUZZ_CHECK(std::strcmp(document.name, "untitled") == 0);
        return 0;
    }
    FUZZ_CHECK(std::strcmp(document.name, "in") == 0);
    board.measurePlayerRoute();
    checkBoard(board);
    // Measuring the solution of an unsolved board is no use, but must be safe.
    Board probe = board;
    probe.measureSolutionRoute();
    FUZZ_CHECK(std::isfinite(probe.solutionLength));
    checkClock();
    // A game restores whether its route is closed; a map starts a new route.
    FUZZ_CHECK(gameClock.routeClosed == (asGame && board.playerRouteLength == board.cityCount + 1 ? 1 : 0));

    // What this program writes from the opened board opens as the same board.
    dialogPath = "out";
    FUZZ_CHECK(asGame ? saveGame(board) : saveMap(board));
    FUZZ_CHECK(files.count("out") == 1 && files["out"].size() == recordSize);
    FUZZ_CHECK(files.size() == 2);  // no temporary file left behind
    const std::int32_t playerRouteLength = board.playerRouteLength;
    Board reopened;
    files["in"] = files["out"];
    dialogPath = "in";
    FUZZ_CHECK(asGame ? openGame(reopened) : openMap(reopened));
    expectSameBoard(board, reopened);
    if (asGame) FUZZ_CHECK(reopened.playerRouteLength == playerRouteLength);
    else expectSameThroughCode(board);

    // Play with the bytes after the record, then solve the board.
    if (size > recordSize) play(board, data + recordSize, size - recordSize);
    board.solved = 0;
    solveOnce(board);
    if (board.solved) {
        checkBoard(board);
        board.showSolutionAsRoute();
        board.measurePlayerRoute();
        checkBoard(board);
        FUZZ_CHECK(board.playerRouteLength == board.cityCount + 1);
    }
    return 0;
}

}  // namespace orvanta::fuzz
