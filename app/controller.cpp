#include "app/controller.h"

#include <limits>

#include "app/draw.h"
#include "app/forced_solve.h"
#include "app/keyboard_cursor.h"
#include "app/menu_table.h"
#include "app/renderer.h"
#include "app/share_commands.h"
#include "app/startup.h"
#include "app/window_services.h"
#include "core/catalogue.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "core/platform.h"
#include "core/solver.h"
#include "core/text1251.h"
#include "files/current_document.h"
#include "files/file_commands.h"
#include "files/manual_and_number.h"
#include "files/map_code.h"

namespace orvanta {

OffscreenPicture thePicture;

namespace {

constexpr auto kMapTitle = RU(" - Карта ");
constexpr auto kGameTitle = RU(" - Игра ");

constexpr std::int32_t kCoarseGrid = 11;
constexpr std::int32_t kMediumGrid = 41;
constexpr std::int32_t kFineGrid = 10000;

void setGridSetting(std::int32_t side) {
    mapGenerator.gridSizeSetting.width = side;
    mapGenerator.gridSizeSetting.height = side;
}

// Stops the clock when a click closed the route, or lets it run again when the
// route is open; the first closing time stays while the route stays closed.
void updateGameClock(bool closed) {
    if (!closed) {
        gameClock.gameFinished = 0;
    } else if (!gameClock.gameFinished) {
        gameClock.gameFinished = 1;
        gameClock.elapsedSeconds = secondsSinceGameStart();
    }
}

// An empty board is refilled before it is shown: a fresh map in Generator
// mode, an empty board of the grid setting in Editor mode.
void refreshEmptyBoard(Board& board) {
    if (board.cityCount != 0) return;
    if (windowState.mode == AppMode::Generator)
        regenerateBoard(board);
    else if (windowState.mode == AppMode::Editor)
        resetBoard(board);
}

// The player's own trip as it closed, before the Profi edition's "+" may
// put the shortest trip in its place: a shared result is the player's.
void rememberClosedTrip(Board& board) {
    board.measurePlayerRoute();
    windowState.closedTripCode = mapCodeOfBoard(board);
    windowState.closedTripLength = board.playerLength;
}

void editMap(Board& board) {
    startPlayerRoute(board);
    windowState.mode = AppMode::Editor;
    requestRepaint();
}

// The title with `titleText` (a Russian source text) in the language in use
// and the document's name.
void showDocumentTitle(const char* titleText) {
    windowState.titleText = titleText;
    platform::setWindowTitle(text::tr(titleText), document.name);
}

// Everything the program shows comes in the new language; the board, the game
// and its clock stay as they are. The language in use chosen again is kept
// as the player's choice (the web page may show it for its ?lang= alone).
void chooseLanguage(std::int32_t language) {
    if (language == text::currentLanguage()) {
        platform::languageChanged();
        return;
    }
    text::setLanguage(language);
    platform::languageChanged();
    if (windowState.titleText != nullptr)
        showDocumentTitle(windowState.titleText);
    else
        platform::setWindowTitle(editionTitleText(), "");
    requestRepaint();
}

void openDocument(bool (*open)(Board&), const char* titleText) {
    if (!open(theBoard)) {
        platform::refusalBeep();
        return;
    }
    stopForcedSolve();
    showDocumentTitle(titleText);
    windowState.mode = AppMode::Game;
    requestRepaint();
}

}  // namespace

bool repaintForSolveProgress() {
    if (!forcedSolveRunning()) return false;
    requestRepaint();
    return true;
}

bool repaintForGameClock() {
    if (windowState.mode != AppMode::Game || gameClock.gameFinished) return false;
    if (secondsSinceGameStart() == gameClock.elapsedSeconds) return false;
    requestRepaint();
    return true;
}

bool handleTimerTick() {
    // One repaint shows both: the clock needs no second request while a solve runs.
    return repaintForSolveProgress() || repaintForGameClock();
}

void requestRepaint() {
    platform::invalidateWindow();
    windowState.pictureDirty = true;
}

void startPlayerRoute(Board& board) {
    stopForcedSolve();
    board.playerRouteLength = 1;
    gameClock.routeClosed = false;
    gameClock.gameFinished = 0;
}

void restartGenerator(Board& board) {
    windowState.mode = AppMode::Generator;
    if (mapGenerator.cityCountSetting < 1) mapGenerator.cityCountSetting = 1;
    stopForcedSolve();
    board.cityCount = 0;
    requestRepaint();
}

void revealSolution(Board& board) {
    // A quick solve shows its route itself; a longer one when it ends.
    if (board.solved) board.showSolutionAsRoute();
    else startForcedSolve(board);
    requestRepaint();
}

std::int32_t pickCity(const Board& board, const BoardLayout& layout, std::int32_t x, std::int32_t y) {
    const std::int32_t count = board.cityCount < 0 ? 0 : (board.cityCount > kMaxCities ? kMaxCities : board.cityCount);
    // With no cities the nearest is "city 0 at distance 0".
    std::int32_t nearest = 0;
    std::int64_t nearestDistance = 0;
    const std::int64_t cx = clampWindowCoordinate(x), cy = clampWindowCoordinate(y);
    // The squared distances are compared directly (never by their difference),
    // in 64 bits over coordinates held within 2^29, so nothing can overflow.
    for (std::int32_t i = 0; i < count; ++i) {
        const WindowPoint p = gridToWindow(layout, board.cities[i].x, board.cities[i].y);
        const std::int64_t wx = p.x, wy = p.y;
        const std::int64_t distance = (cx - wx) * (cx - wx) + (cy - wy) * (cy - wy);
        if (i == 0 || distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    const std::int64_t radius = toWindowCoordinate((board.gridWidth - 1.0) * layout.scale * 0.1);
    return nearestDistance > radius * radius ? -1 : nearest;
}

void applyPendingClick(Board& board, const BoardLayout& layout) {
    if (!windowState.leftClickPending && !windowState.rightClickPending) return;
    switch (windowState.mode) {
        case AppMode::Generator:
            if (windowState.leftClickPending) windowState.mode = AppMode::Game;
            if (windowState.rightClickPending) {
                // A new map, even one the same second makes alike.
                stopForcedSolve();
                regenerateBoard(board);
            }
            break;
        case AppMode::Game: {
            std::int32_t index = 0;
            bool picked = true;
            if (windowState.leftClickPending) {
                index = pickCity(board, layout, windowState.clickX, windowState.clickY);
                picked = index >= 0;
            }
            if (picked) pickForTrip(board, windowState.rightClickPending ? 0 : index);
            break;
        }
        case AppMode::Editor:
            if (windowState.leftClickPending) {
                const City point = windowToGrid(layout, windowState.clickX, windowState.clickY);
                mapGenerator.cityCountSetting = board.addCity(point.x, point.y);
            }
            if (windowState.rightClickPending)
                mapGenerator.cityCountSetting = board.removeCity(pickCity(board, layout, windowState.clickX, windowState.clickY));
            break;
    }
    windowState.leftClickPending = false;
    windowState.rightClickPending = false;
    afterBoardInput(board);
}

void pickForTrip(Board& board, std::int32_t index) {
    const bool closed = board.extendPlayerRoute(index);
    gameClock.routeClosed = closed;
    updateGameClock(closed);
    if (closed) rememberClosedTrip(board);
}

void afterBoardInput(Board& board) {
    // Only a click or key that changed the cities or the trip stops a running
    // solve; one beside every city, or one that only enters the game, does not.
    stopForcedSolveIfChanged(board);
    ensureSolved(board, Solve::IfAutomatic);
}

void refreshGameClock() {
    if (windowState.mode == AppMode::Game && !gameClock.gameFinished) gameClock.elapsedSeconds = secondsSinceGameStart();
}

Frame currentFrame(const Board& board) {
    Frame frame;
    frame.board = &board;
    frame.mode = windowState.mode;
    frame.routeClosed = gameClock.routeClosed;
    frame.elapsedSeconds = gameClock.elapsedSeconds;
    // The generator's arrows are its own: no cursor there.
    frame.cursorShown = windowState.cursorShown && windowState.mode != AppMode::Generator;
    frame.cursor = windowState.cursor;
    frame.solving = forcedSolveRunning();
    if (frame.solving) {
        frame.solveProgress = forcedSolveProgress();
        frame.solveSeconds = forcedSolveSeconds();
    }
    return frame;
}

Frame settleFrame(Board& board, const BoardLayout& layout) {
    // A click is applied where the board is now laid out, before anything is
    // drawn; drawing itself changes nothing.
    applyPendingClick(board, layout);
    board.measurePlayerRoute();
    settleCursor(board, windowState.mode);
    refreshGameClock();
    return currentFrame(board);
}

const OffscreenPicture* paintWindow(std::int32_t clientWidth, std::int32_t clientHeight) {
    return paintWindow(clientWidth, clientHeight, layoutFrame);
}

SettledRepaint settleForRepaint(std::int32_t clientWidth, std::int32_t clientHeight, LayoutChoice chooseLayout) {
    refreshEmptyBoard(theBoard);
    if (clientWidth < 0) clientWidth = 0;
    if (clientHeight < 0) clientHeight = 0;
    if (fitPicture(thePicture, clientWidth, clientHeight)) windowState.pictureDirty = true;

    SettledRepaint settled;
    // Without pixel memory nothing is drawn, and a waiting click waits on.
    if (thePicture.pixels == nullptr) return settled;
    settled.layout = chooseLayout(theBoard, clientWidth, clientHeight);
    if (windowState.pictureDirty) {
        settled.redraw = true;
        settled.frame = settleFrame(theBoard, settled.layout.board);
    }
    return settled;
}

const OffscreenPicture* paintWindow(std::int32_t clientWidth, std::int32_t clientHeight, LayoutChoice chooseLayout) {
    const SettledRepaint settled = settleForRepaint(clientWidth, clientHeight, chooseLayout);
    const OffscreenPicture* shown = paintPicture(thePicture, settled.redraw ? &settled.frame : nullptr, settled.layout);
    windowState.pictureDirty = false;
    return shown;
}

void recordClick(MouseButton button, std::int32_t x, std::int32_t y) {
    windowState.clickX = x;
    windowState.clickY = y;
    // The mouse is in use: the keyboard's cursor shows again at the next key.
    windowState.cursorShown = false;
    if (button == MouseButton::Left)
        windowState.leftClickPending = true;
    else
        windowState.rightClickPending = true;
    requestRepaint();
}

void handleKeyRelease(int virtualKey) {
    if (virtualKey == key::oemPlus || virtualKey == key::add) {
        revealSolution(theBoard);
        return;
    }
    if (virtualKey == key::escape) {
        if (forcedSolveRunning()) {
            stopForcedSolve();
            requestRepaint();
        }
        return;
    }
    if (handleCursorKey(virtualKey)) return;
    if (windowState.mode != AppMode::Generator) return;
    switch (virtualKey) {
        case key::space:
            break;
        case key::left:
            setGridSetting(mapGenerator.gridSizeSetting.width == kFineGrid ? kMediumGrid : kCoarseGrid);
            break;
        case key::right:
            setGridSetting(mapGenerator.gridSizeSetting.width == kCoarseGrid ? kMediumGrid : kFineGrid);
            break;
        case key::up:
            if (mapGenerator.cityCountSetting < std::numeric_limits<std::int32_t>::max()) ++mapGenerator.cityCountSetting;
            break;
        case key::down:
            if (mapGenerator.cityCountSetting > std::numeric_limits<std::int32_t>::min()) --mapGenerator.cityCountSetting;
            break;
        default:
            return;
    }
    restartGenerator(theBoard);
}

bool handleCommand(int commandId) {
    if (const std::int32_t language = languageOfCommand(commandId); language >= 0) {
        chooseLanguage(language);
        return true;
    }
    switch (commandId) {
        case command::about:
            platform::showAboutBox();
            return true;
        case command::exitProgram:
            platform::closeMainWindow();
            return true;
        case command::eraseAll:
            if (windowState.mode == AppMode::Editor) {
                stopForcedSolve();
                theBoard.cityCount = 0;
                mapGenerator.cityCountSetting = 0;
                requestRepaint();
            } else {
                editMap(theBoard);
            }
            return true;
        case command::editMap:
            editMap(theBoard);
            return true;
        case command::readManual:
            // Nothing to open it with: refused like any other command.
            if (!openManual()) platform::refusalBeep();
            return true;
        case command::saveMap:
            if (saveMap(theBoard)) showDocumentTitle(kMapTitle);
            return true;
        case command::openMap:
            openDocument(openMap, kMapTitle.c_str());
            return true;
        case command::startGame:
            startPlayerRoute(theBoard);
            if (windowState.mode == AppMode::Editor) gameClock.gameStartTime = platform::clockSeconds();
            windowState.mode = AppMode::Game;
            requestRepaint();
            return true;
        case command::saveGame:
            if (windowState.mode != AppMode::Game)
                platform::refusalBeep();
            else if (saveGame(theBoard))
                showDocumentTitle(kGameTitle);
            return true;
        case command::openGame:
            openDocument(openGame, kGameTitle.c_str());
            return true;
        case command::personalNumber:
            if (!openUserFile()) platform::refusalBeep();
            return true;
        case command::generator:
            restartGenerator(theBoard);
            return true;
        case command::gridCoarse:
            setGridSetting(kCoarseGrid);
            restartGenerator(theBoard);
            return true;
        case command::gridMedium:
            setGridSetting(kMediumGrid);
            restartGenerator(theBoard);
            return true;
        case command::gridFine:
            setGridSetting(kFineGrid);
            restartGenerator(theBoard);
            return true;
        case command::showSolution:
            revealSolution(theBoard);
            return true;
        case command::shareMap:
            shareMapCommand(theBoard);
            return true;
        case command::openMapCode:
            openMapCodeCommand(theBoard);
            return true;
        case command::dailyMap:
            dailyMapCommand(theBoard);
            return true;
        case command::shareResult:
            shareResultCommand(theBoard);
            return true;
        default:
            return false;
    }
}

}  // namespace orvanta
