#include "app/keyboard_cursor.h"

#include <cmath>
#include <limits>

#include "app/command_ids.h"
#include "app/controller.h"
#include "app/window_services.h"
#include "core/generator.h"

namespace orvanta {

namespace {

// The Editor draws 41 dotted lines a side on larger grids.
constexpr std::int32_t kDottedLines = 41;

std::int32_t cityCountOf(const Board& board) {
    return board.cityCount < 0 ? 0 : (board.cityCount > kMaxCities ? kMaxCities : board.cityCount);
}

double difference(std::int32_t a, std::int32_t b) {
    return static_cast<double>(static_cast<std::int64_t>(a) - b);
}

// Doubles hold every difference of two int32 exactly; their squares closely
// enough to compare, and nothing can overflow.
double squaredDistance(City a, City b) {
    const double dx = difference(a.x, b.x), dy = difference(a.y, b.y);
    return dx * dx + dy * dy;
}

std::int32_t toInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
    if (v <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::int32_t clampInto(std::int32_t v, std::int32_t side) {
    const std::int32_t last = side < 2 ? 1 : side - 1;
    return v < 0 ? 0 : (v > last ? last : v);
}

// The city nearest to `point` (the lowest index among equals), -1 without cities.
std::int32_t nearestCity(const Board& board, City point) {
    std::int32_t nearest = -1;
    double nearestDistance = 0.0;
    for (std::int32_t i = 0; i < cityCountOf(board); ++i) {
        const double distance = squaredDistance(board.cities[i], point);
        if (nearest < 0 || distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

// A right click's reach: a tenth of the board's width, here in grid units.
std::int32_t cityWithinReach(const Board& board, City point) {
    const std::int32_t nearest = nearestCity(board, point);
    if (nearest < 0) return -1;
    const double reach = std::trunc((static_cast<double>(board.gridWidth) - 1.0) * 0.1);
    return squaredDistance(board.cities[nearest], point) > reach * reach ? -1 : nearest;
}

// Reading order: rows from the top (grid y is upward), each from the left.
bool readsBefore(City a, City b) { return a.y != b.y ? a.y > b.y : a.x < b.x; }

// Where the cursor appears when a key first shows it.
City startingPoint(const Board& board, AppMode mode) {
    const std::int32_t count = cityCountOf(board);
    if (mode == AppMode::Editor) {
        if (count > 0) return board.cities[count - 1];
        return City{clampInto(board.gridWidth / 2, board.gridWidth), clampInto(board.gridHeight / 2, board.gridHeight)};
    }
    // The trip's last city (a closed trip ends where it began).
    const std::int32_t length = board.playerRouteLength < 1 ? 1 : (board.playerRouteLength > kRouteCapacity ? kRouteCapacity : board.playerRouteLength);
    const std::int32_t last = board.playerRoute[length - 1];
    if (last >= 0 && last < count) return board.cities[last];
    return count > 0 ? board.cities[0] : City{0, 0};
}

void showCursor(const Board& board, AppMode mode) {
    windowState.cursorShown = true;
    windowState.cursor = startingPoint(board, mode);
    windowState.cursorGridWidth = board.gridWidth;
    windowState.cursorGridHeight = board.gridHeight;
}

void moveCursor(City to) {
    windowState.cursor = to;
    requestRepaint();
}

// The cursor moves; with nowhere to go the key is refused.
void moveCursorToCity(const Board& board, std::int32_t index) {
    if (index < 0) {
        platform::refusalBeep();
        return;
    }
    moveCursor(board.cities[index]);
}

bool isArrow(int virtualKey) {
    return virtualKey == key::left || virtualKey == key::right || virtualKey == key::up || virtualKey == key::down;
}

// An arrow as a unit step on the grid, y upward.
City arrowStep(int virtualKey) {
    switch (virtualKey) {
        case key::left: return City{-1, 0};
        case key::right: return City{1, 0};
        case key::up: return City{0, 1};
        default: return City{0, -1};
    }
}

// Enter in the generator enters the game as a left click does, Delete or
// Backspace makes a new map as a right click does; the other keys there are
// the generator's own.
bool generatorKey(Board& board, int virtualKey) {
    if (virtualKey == key::enter) {
        windowState.mode = AppMode::Game;
        showCursor(board, AppMode::Game);
        afterBoardInput(board);
        requestRepaint();
        return true;
    }
    if (virtualKey == key::deleteKey || virtualKey == key::backspace) {
        restartGenerator(board);
        return true;
    }
    return false;
}

bool isCursorKey(int virtualKey) {
    return isArrow(virtualKey) || virtualKey == key::enter || virtualKey == key::space ||
           virtualKey == key::deleteKey || virtualKey == key::backspace || virtualKey == key::pageUp ||
           virtualKey == key::pageDown;
}

}  // namespace

void settleCursor(const Board& board, AppMode mode) {
    City& cursor = windowState.cursor;
    if (windowState.cursorGridWidth != board.gridWidth || windowState.cursorGridHeight != board.gridHeight) {
        // The same place on the new grid.
        if (windowState.cursorGridWidth >= 2 && windowState.cursorGridHeight >= 2) {
            cursor.x = toInt32(std::round(cursor.x * (board.gridWidth - 1.0) / (windowState.cursorGridWidth - 1.0)));
            cursor.y = toInt32(std::round(cursor.y * (board.gridHeight - 1.0) / (windowState.cursorGridHeight - 1.0)));
        }
        windowState.cursorGridWidth = board.gridWidth;
        windowState.cursorGridHeight = board.gridHeight;
    }
    if (mode == AppMode::Editor) {
        cursor = City{clampInto(cursor.x, board.gridWidth), clampInto(cursor.y, board.gridHeight)};
        return;
    }
    const std::int32_t nearest = nearestCity(board, cursor);
    if (nearest >= 0) cursor = board.cities[nearest];
}

std::int32_t cityInDirection(const Board& board, City from, std::int32_t dx, std::int32_t dy) {
    std::int32_t best = -1;
    double bestScore = 0.0, bestAlong = 0.0;
    for (std::int32_t i = 0; i < cityCountOf(board); ++i) {
        const double ox = difference(board.cities[i].x, from.x), oy = difference(board.cities[i].y, from.y);
        const double along = ox * dx + oy * dy;
        if (along <= 0.0) continue;
        const double score = along + 2.0 * std::fabs(ox * dy - oy * dx);
        if (best < 0 || score < bestScore || (score == bestScore && along < bestAlong)) {
            best = i;
            bestScore = score;
            bestAlong = along;
        }
    }
    return best;
}

std::int32_t cityInReadingOrder(const Board& board, City from, bool forward) {
    std::int32_t beyond = -1;  // the nearest city past `from` that way
    std::int32_t wrapped = -1; // the first city from the other end
    for (std::int32_t i = 0; i < cityCountOf(board); ++i) {
        const City& c = board.cities[i];
        const bool past = forward ? readsBefore(from, c) : readsBefore(c, from);
        const auto closer = [&](std::int32_t current) {
            if (current < 0) return true;
            const City& b = board.cities[current];
            return forward ? readsBefore(c, b) : readsBefore(b, c);
        };
        if (past && closer(beyond)) beyond = i;
        if (closer(wrapped)) wrapped = i;
    }
    return beyond >= 0 ? beyond : wrapped;
}

City gridStep(const Board& board, City from, std::int32_t dx, std::int32_t dy) {
    const auto step = [](std::int32_t v, std::int32_t side, std::int32_t direction) {
        if (direction == 0) return v;
        const std::int32_t last = side < 2 ? 1 : side - 1;
        if (side <= kDottedLines) {
            const std::int64_t next = static_cast<std::int64_t>(v) + direction;
            return next < 0 || next > last ? v : static_cast<std::int32_t>(next);
        }
        // The dotted lines lie at k * (side - 1) / 40, rounded to a grid point.
        std::int32_t found = v;
        for (std::int32_t k = 0; k < kDottedLines; ++k) {
            const std::int32_t line = toInt32(std::round(k * (side - 1.0) / (kDottedLines - 1)));
            if (direction > 0 && line > v) return line;
            if (direction < 0 && line < v) found = line;
        }
        return found;
    };
    return City{step(from.x, board.gridWidth, dx), step(from.y, board.gridHeight, dy)};
}

bool handleCursorKey(int virtualKey) {
    Board& board = theBoard;
    if (windowState.mode == AppMode::Generator) return generatorKey(board, virtualKey);
    if (!isCursorKey(virtualKey)) return false;
    const bool game = windowState.mode == AppMode::Game;
    // Restarting the trip does not depend on where the cursor stands.
    if (game && (virtualKey == key::deleteKey || virtualKey == key::backspace)) {
        pickForTrip(board, 0);
        afterBoardInput(board);
        requestRepaint();
        return true;
    }
    if (!windowState.cursorShown) {
        showCursor(board, windowState.mode);
        requestRepaint();
        return true;
    }
    settleCursor(board, windowState.mode);
    if (isArrow(virtualKey)) {
        const City step = arrowStep(virtualKey);
        if (game) {
            moveCursorToCity(board, cityInDirection(board, windowState.cursor, step.x, step.y));
        } else {
            const City to = gridStep(board, windowState.cursor, step.x, step.y);
            if (to.x == windowState.cursor.x && to.y == windowState.cursor.y)
                platform::refusalBeep();
            else
                moveCursor(to);
        }
        return true;
    }
    if (virtualKey == key::pageUp || virtualKey == key::pageDown) {
        moveCursorToCity(board, cityInReadingOrder(board, windowState.cursor, virtualKey == key::pageDown));
        return true;
    }
    const std::int32_t countBefore = board.cityCount;
    if (game) {
        const std::int32_t index = nearestCity(board, windowState.cursor);
        if (index >= 0) pickForTrip(board, index);
    } else if (virtualKey == key::enter || virtualKey == key::space) {
        mapGenerator.cityCountSetting = board.addCity(windowState.cursor.x, windowState.cursor.y);
    } else {
        mapGenerator.cityCountSetting = board.removeCity(cityWithinReach(board, windowState.cursor));
    }
    // Placing on a taken point, on a full board, or removing where no city is near.
    if (!game && board.cityCount == countBefore) platform::refusalBeep();
    afterBoardInput(board);
    requestRepaint();
    return true;
}

}  // namespace orvanta
