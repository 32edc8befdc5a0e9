// Whole sessions driven through the input entry points and the paint handler,
// checked on the model, the texts drawn, the window services and the pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "app/controller.h"
#include "app/draw.h"
#include "app/forced_solve.h"
#include "app/front_end_view.h"
#include "app/menu_table.h"
#include "app/renderer.h"
#include "core/catalogue.h"
#include "core/edition.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "core/solver.h"
#include "files/file_commands.h"
#include "files/map_code.h"
#include "session.h"
#include "support/fake_clock.h"
#include "support/fake_file_services.h"
#include "support/fake_share_services.h"
#include "support/fake_solve_services.h"
#include "support/fake_window_services.h"
#include "support/temp_dir.h"

namespace orvanta {
namespace {

using test::clickCity;
using test::cityPoint;
using test::paint;
using test::pixel;
using test::texts;

constexpr std::int32_t kW = 640, kH = 480;
const fake::WindowLog& windowLog = fake::windowLog;

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        test::startSession(1000000);
        fake::resetFileServices();
    }
    void TearDown() override {
        text::setLanguage(text::kSourceLanguage);
        test::startSession(0);
    }
};

// ---- First paint, cached picture, sizes ------------------------------------

TEST_F(Session, FirstPaintGeneratesTheFirstMapAndDrawsIt) {
    const OffscreenPicture* shown = paint(kW, kH);
    ASSERT_EQ(shown, &thePicture);
    EXPECT_EQ(thePicture.pictureWidth, kW);
    EXPECT_EQ(thePicture.pictureHeight, kH);
    EXPECT_EQ(theBoard.cityCount, 8);
    EXPECT_EQ(theBoard.gridWidth, 11);
    EXPECT_EQ(session.mode, AppMode::Generator);
    EXPECT_EQ(gameClock.gameStartTime, 1000000);
    EXPECT_EQ(session.pictureDirty, 0);
    EXPECT_EQ(fake::pictureLog.openSurfaces, 0);
    EXPECT_EQ(windowLog.invalidations, 0);
    EXPECT_EQ(theBoard.solved, isProfi() ? 1 : 0);

    ASSERT_FALSE(texts().empty());
    EXPECT_EQ(texts()[0], isProfi() ? "Генератор:    Городов  8    Сетка 11x11    Решение известно"
                                     : "Генератор:    Городов  8    Сетка 11x11    Решение НЕизвестно");
    if (isProfi()) {
        EXPECT_EQ(texts()[1], "Спектр путей");
    } else {
        EXPECT_EQ(texts().size(), 1u);
    }

    // Grid 11 in 640 x 480: scale 38.4; the origin's x, 0.5 * (640 - 10 * 38.4)
    // in doubles, truncates to 127. The frame lies 6 pixels outside the board.
    const BoardLayout l = layoutBoard(theBoard, kW, kH);
    EXPECT_EQ(l.originX, 127);
    EXPECT_EQ(l.originY, 432);
    EXPECT_EQ(pixel(l.originX - 6, l.farY - 6), colours::frame);
    EXPECT_EQ(pixel(l.farX + 6, l.originY + 6), colours::frame);
    EXPECT_EQ(pixel(l.originX - 7, l.farY - 6), colours::background);
    EXPECT_EQ(pixel(l.originX - 5, l.farY - 5), colours::background);
    EXPECT_EQ(pixel(0, 0), colours::background);
    // City 0 filled orange, the others hollow violet (their centres stay grey
    // unless a route line passes; the fresh route is city 0 alone).
    const WindowPoint c0 = cityPoint(0, kW, kH);
    EXPECT_EQ(pixel(c0.x, c0.y), colours::visited);
    EXPECT_EQ(pixel(c0.x - 2, c0.y - 2), colours::visited);
    for (std::int32_t i = 1; i < 8; ++i) {
        const WindowPoint c = cityPoint(i, kW, kH);
        EXPECT_EQ(pixel(c.x - 2, c.y + 2), colours::marker) << i;
        EXPECT_EQ(pixel(c.x, c.y), colours::background) << i;
    }
}

TEST_F(Session, PaintsWithoutARequestOnlyCopyAndResizingRedraws) {
    paint(kW, kH);
    const WindowPoint c0 = cityPoint(0, kW, kH);
    setPixel(thePicture, c0.x, c0.y, Colour{1, 2, 3});  // marks the cached picture
    EXPECT_EQ(paint(kW, kH), &thePicture);
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(pixel(c0.x, c0.y), (Colour{1, 2, 3}));

    // A new size makes a new picture and draws it although nothing asked for it.
    paint(600, 400);
    EXPECT_EQ(fake::pictureLog.creations, 2);
    EXPECT_EQ(fake::pictureLog.releases, 1);
    EXPECT_FALSE(texts().empty());
    EXPECT_EQ(pixel(134, 34), colours::frame);

    // A drawing surface that cannot be made: nothing drawn or shown, flag cleared.
    handleKeyRelease(key::add);
    fake::failDrawingSurface = true;
    EXPECT_EQ(paint(600, 400), nullptr);
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(session.pictureDirty, 0);
}

TEST_F(Session, EmptyClientAreaMakesNoPictureAndTheNextSizeRedrawsFully) {
    EXPECT_EQ(paint(0, 300), nullptr);
    EXPECT_EQ(thePicture.pixels, nullptr);
    EXPECT_EQ(thePicture.pictureWidth, 0);
    EXPECT_EQ(thePicture.pictureHeight, 300);
    EXPECT_EQ(session.pictureDirty, 0);
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(fake::pictureLog.creations, 0);
    EXPECT_EQ(theBoard.cityCount, 8);  // the board refresh runs anyway

    // The same empty size is not tried again.
    EXPECT_EQ(paint(0, 300), nullptr);
    EXPECT_EQ(paint(-5, -5), nullptr);

    EXPECT_EQ(paint(300, 500), &thePicture);
    EXPECT_FALSE(texts().empty());
    // 300 x 500 is limited by its width: scale 24, origin (30, 370), far corner (270, 130).
    EXPECT_EQ(pixel(24, 124), colours::frame);
    EXPECT_EQ(pixel(276, 376), colours::frame);
    EXPECT_EQ(pixel(150, 124), colours::frame);
    EXPECT_EQ(pixel(150, 123), colours::background);
}

// ---- The road of a typical game ---------------------------------------------

TEST_F(Session, TypicalGameFromAMediumGridToASavedGame) {
    const orvanta::testing::TempDir scratch;  // one per test process: both editions run at once
    ASSERT_FALSE(scratch.path.empty());
    const std::string dir = scratch.path;

    paint(kW, kH);
    ASSERT_TRUE(handleCommand(command::gridMedium));
    EXPECT_EQ(mapGenerator.gridSizeSetting.width, 41);
    EXPECT_EQ(mapGenerator.gridSizeSetting.height, 41);
    EXPECT_EQ(theBoard.cityCount, 0);
    EXPECT_EQ(session.mode, AppMode::Generator);
    EXPECT_EQ(session.pictureDirty, 1);
    EXPECT_EQ(windowLog.invalidations, 1);

    fake::clockNow = 2000000;
    paint(kW, kH);
    EXPECT_EQ(theBoard.gridWidth, 41);
    EXPECT_EQ(theBoard.cityCount, 8);
    EXPECT_EQ(gameClock.gameStartTime, 2000000);
    EXPECT_TRUE(startsWith(texts()[0], "Генератор:    Городов  8    Сетка 41x41"));

    // A left click anywhere enters Game mode with the same map; the clock has
    // run since the map was made.
    const City first = theBoard.cities[3];
    fake::clockNow += 5;
    recordClick(MouseButton::Left, 3, 3);
    EXPECT_EQ(session.leftClickPending, 1);
    paint(kW, kH);
    EXPECT_EQ(session.leftClickPending, 0);
    EXPECT_EQ(session.mode, AppMode::Game);
    EXPECT_EQ(theBoard.cities[3].x, first.x);
    EXPECT_EQ(texts().back(), isProfi() ? "Время   5 сек    Городов в пути  0    Суммарный путь 0"
                                         : "Время   5 сек    Городов в пути  0    Путь не замкнут");

    for (std::int32_t i = 1; i < 8; ++i) {
        fake::clockNow += 3;
        clickCity(i, kW, kH);
        EXPECT_EQ(theBoard.playerRouteLength, i == 7 ? 9 : i + 1);
    }
    EXPECT_EQ(gameClock.routeClosed, 1);
    EXPECT_EQ(gameClock.gameFinished, 1);
    EXPECT_EQ(gameClock.elapsedSeconds, 26);
    if constexpr (isProfi()) {
        EXPECT_TRUE(startsWith(texts().back(), "Время  26 сек    Городов в пути  8    Суммарный путь "));
        EXPECT_EQ(texts()[2], "100");  // the spectrum's first row
    } else {
        EXPECT_EQ(texts().back(), "Время  26 сек    Городов в пути  8    Результат оценить невозможно");
        // "+" solves; the route stays the player's own and is graded.
        handleKeyRelease(key::oemPlus);
        EXPECT_EQ(theBoard.solved, 1);
        EXPECT_EQ(theBoard.playerRouteLength, 9);
        EXPECT_EQ(theBoard.playerRoute[4], 4);
        fake::clockNow += 100;
        paint(kW, kH);
        const std::string line = texts().back();
        ASSERT_TRUE(startsWith(line, "Время  26 сек    Городов в пути  8    Результат в пределах ")) << line;
        std::int32_t grade = 0;
        const std::string tail = line.substr(std::string("Время  26 сек    Городов в пути  8    Результат в пределах ").size());
        ASSERT_EQ(std::sscanf(tail.c_str(), "%d", &grade), 1);
        EXPECT_GE(grade, 105);
        EXPECT_EQ(grade % 5, 0);
        EXPECT_EQ(tail.substr(tail.find(' ')), " % от решения ЗК");
    }

    fake::savePath = dir + "/trip.rvb";
    ASSERT_TRUE(handleCommand(command::saveGame));
    EXPECT_EQ(std::filesystem::file_size(dir + "/trip.rvb"), 600u);
    ASSERT_EQ(windowLog.titles.size(), 1u);
    EXPECT_EQ(test::utf8(windowLog.titles[0]), " - Игра " + dir + "/trip");
    EXPECT_EQ(session.pictureDirty, 0);  // a save does not repaint
}

// ---- Keys ------------------------------------------------------------------

TEST_F(Session, ArrowsAndSpaceStepTheGeneratorSettings) {
    paint(kW, kH);
    struct Step {
        int key;
        std::int32_t gridBefore, gridAfter;
    } steps[] = {
        {key::right, 11, 41}, {key::right, 41, 10000}, {key::right, 10000, 10000}, {key::left, 10000, 41},
        {key::left, 41, 11},  {key::left, 11, 11},     {key::left, 20, 11},        {key::right, 20, 10000},
        {key::space, 41, 41},
    };
    for (const Step& s : steps) {
        mapGenerator.gridSizeSetting = GridSize{s.gridBefore, s.gridBefore};
        const std::int32_t invalidations = windowLog.invalidations;
        handleKeyRelease(s.key);
        EXPECT_EQ(mapGenerator.gridSizeSetting.width, s.gridAfter) << s.key << " from " << s.gridBefore;
        EXPECT_EQ(mapGenerator.gridSizeSetting.height, s.gridAfter);
        EXPECT_EQ(theBoard.cityCount, 0);
        EXPECT_EQ(windowLog.invalidations, invalidations + 1);
        paint(kW, kH);
        EXPECT_EQ(theBoard.gridWidth, s.gridAfter);
        EXPECT_EQ(session.mode, AppMode::Generator);
    }

    // Up and Down move the count within 1..18.
    mapGenerator.cityCountSetting = 17;
    handleKeyRelease(key::up);
    paint(kW, kH);
    handleKeyRelease(key::up);
    paint(kW, kH);
    EXPECT_EQ(mapGenerator.cityCountSetting, 18);
    EXPECT_EQ(theBoard.cityCount, 18);
    mapGenerator.cityCountSetting = 1;
    handleKeyRelease(key::down);
    EXPECT_EQ(mapGenerator.cityCountSetting, 1);
    paint(kW, kH);
    EXPECT_EQ(theBoard.cityCount, 1);
    EXPECT_TRUE(startsWith(texts()[0], "Генератор:    Городов  1    Сетка 41x41"));
}

TEST_F(Session, GeneratorKeysKeepTheMapInEditorAndGameModes) {
    // There the arrows and Space belong to the keyboard's cursor (tested below).
    paint(kW, kH);
    for (const int command : {command::editMap, command::startGame}) {
        handleCommand(command);
        paint(kW, kH);
        const AppMode before = session.mode;
        const std::int32_t x0 = theBoard.cities[0].x;
        for (const int k : {key::space, key::left, key::right, key::up, key::down, 65, 0})
            handleKeyRelease(k);
        EXPECT_EQ(session.mode, before);
        EXPECT_EQ(mapGenerator.gridSizeSetting.width, 11);
        EXPECT_EQ(mapGenerator.cityCountSetting, 8);
        EXPECT_EQ(theBoard.cityCount, 8);
        EXPECT_EQ(theBoard.cities[0].x, x0);
        // Keys the program does not know change nothing, not even the picture.
        paint(kW, kH);
        const std::int32_t invalidations = windowLog.invalidations;
        for (const int k : {65, 0, 9, 255}) handleKeyRelease(k);
        EXPECT_EQ(windowLog.invalidations, invalidations);
        EXPECT_EQ(session.pictureDirty, 0);
    }
}

// ---- The keyboard's cursor ----------------------------------------------------

// The pixels of the cursor's colour in the picture: none while it is hidden
// (the status texts are only recorded), 88 for its two rings when whole.
std::int32_t cursorPixels() {
    std::int32_t count = 0;
    for (std::int32_t y = 0; y < thePicture.pictureHeight; ++y)
        for (std::int32_t x = 0; x < thePicture.pictureWidth; ++x) count += pixel(x, y) == colours::cursor;
    return count;
}

// Whether the cursor's two rings stand around window point p, clear of the
// marker inside them.
bool cursorAround(WindowPoint p) {
    for (const std::int32_t d : {-6, -5, 5, 6})
        if (!(pixel(p.x + d, p.y) == colours::cursor) || !(pixel(p.x, p.y + d) == colours::cursor)) return false;
    return !(pixel(p.x + 4, p.y + 4) == colours::cursor) && !(pixel(p.x - 3, p.y) == colours::cursor);
}

TEST_F(Session, KeyboardAloneEntersPicksAndClosesATrip) {
    // City 0 in the middle, a city each way from it.
    test::placeCities(11, {{5, 5}, {8, 5}, {6, 9}, {5, 1}, {1, 4}});
    paint(600, 400);
    const auto at = [](std::int32_t i) { return cityPoint(i, 600, 400); };
    const auto cursorOn = [](std::int32_t i) {
        return session.cursor.x == theBoard.cities[i].x && session.cursor.y == theBoard.cities[i].y;
    };
    // The generator shows no cursor; Enter enters the game as a left click
    // does and shows the cursor on the start city.
    EXPECT_EQ(cursorPixels(), 0);
    handleKeyRelease(key::enter);
    EXPECT_EQ(session.mode, AppMode::Game);
    EXPECT_EQ(theBoard.playerRouteLength, 1);
    paint(600, 400);
    EXPECT_TRUE(cursorAround(at(0)));
    EXPECT_EQ(cursorPixels(), 88);

    // Arrows: the nearest city that way, along it plus twice across it; with
    // none that way a beep, and the cursor stays.
    const struct {
        int key;
        std::int32_t city;
        bool beep;
    } moves[] = {{key::right, 1, false}, {key::left, 0, false}, {key::up, 2, false},  {key::down, 0, false},
                 {key::down, 3, false},  {key::down, 3, true},  {key::left, 4, false}, {key::left, 4, true},
                 {key::right, 0, false}};
    for (const auto& m : moves) {
        const std::int32_t beeps = windowLog.beeps;
        handleKeyRelease(m.key);
        EXPECT_TRUE(cursorOn(m.city)) << m.key << " to " << m.city;
        EXPECT_EQ(windowLog.beeps, beeps + (m.beep ? 1 : 0)) << m.key << " to " << m.city;
    }
    paint(600, 400);
    EXPECT_TRUE(cursorAround(at(0)));
    EXPECT_EQ(theBoard.playerRouteLength, 1);

    // Page Down and Page Up: reading order, top row first, wrapping around:
    // 2 (6, 9), 0 (5, 5), 1 (8, 5), 4 (1, 4), 3 (5, 1). Enter and Space pick.
    fake::clockNow += 4;
    handleKeyRelease(key::pageDown);
    EXPECT_TRUE(cursorOn(1));
    handleKeyRelease(key::enter);
    handleKeyRelease(key::pageDown);
    EXPECT_TRUE(cursorOn(4));
    handleKeyRelease(key::space);
    EXPECT_EQ(theBoard.playerRouteLength, 3);
    // Delete (or Backspace) starts the trip again, as a right click does.
    handleKeyRelease(key::deleteKey);
    EXPECT_EQ(theBoard.playerRouteLength, 1);
    EXPECT_TRUE(cursorOn(4));
    for (const int k : {key::pageUp, key::enter, key::pageDown, key::enter, key::pageDown, key::enter})
        handleKeyRelease(k);  // 1, 4, 3
    EXPECT_TRUE(cursorOn(3));
    handleKeyRelease(key::pageDown);  // wraps to the top
    EXPECT_TRUE(cursorOn(2));
    handleKeyRelease(key::pageUp);
    EXPECT_TRUE(cursorOn(3));
    handleKeyRelease(key::pageDown);
    EXPECT_FALSE(gameClock.routeClosed);
    handleKeyRelease(key::enter);  // the last city: the trip closes and the clock stops
    EXPECT_TRUE(gameClock.routeClosed);
    EXPECT_EQ(gameClock.gameFinished, 1);
    EXPECT_EQ(gameClock.elapsedSeconds, 4);
    ASSERT_EQ(theBoard.playerRouteLength, 6);
    EXPECT_EQ(theBoard.playerRoute[4], 2);
    handleKeyRelease(key::add);
    paint(600, 400);
    if constexpr (isProfi()) {
        EXPECT_TRUE(startsWith(texts().back(), "Время   4 сек    Городов в пути  5    Суммарный путь ")) << texts().back();
    } else {
        EXPECT_TRUE(startsWith(texts().back(), "Время   4 сек    Городов в пути  5    Результат в пределах "))
            << texts().back();
    }

    // A mouse click hides the cursor; the next key only shows it again, on
    // the trip's last city.
    handleKeyRelease(key::backspace);
    clickCity(1, 600, 400);
    EXPECT_EQ(cursorPixels(), 0);
    handleKeyRelease(key::left);
    EXPECT_TRUE(cursorOn(1));
    EXPECT_EQ(theBoard.playerRouteLength, 2);
    paint(600, 400);
    EXPECT_TRUE(cursorAround(at(1)));

    // Other cities: the cursor goes to the one nearest to where it stood.
    test::placeCities(11, {{0, 0}, {9, 8}, {2, 2}});
    handleCommand(command::startGame);
    paint(600, 400);
    EXPECT_TRUE(cursorAround(at(1)));
    EXPECT_EQ(cursorPixels(), 88);
}

TEST_F(Session, KeyboardPlacesAndRemovesCitiesInTheEditor) {
    handleCommand(command::editMap);
    handleCommand(command::eraseAll);
    paint(600, 400);  // an empty 11 x 11 board: scale 32, origin (140, 360)
    const std::int32_t beeps = windowLog.beeps;
    const auto cursorAt = [](std::int32_t x, std::int32_t y) { return session.cursor.x == x && session.cursor.y == y; };

    // The first key shows the cursor in the middle of the empty grid.
    handleKeyRelease(key::enter);
    EXPECT_EQ(theBoard.cityCount, 0);
    paint(600, 400);
    EXPECT_TRUE(cursorAround(WindowPoint{300, 200}));
    handleKeyRelease(key::enter);
    handleKeyRelease(key::space);  // the point is taken: refused
    EXPECT_EQ(theBoard.cityCount, 1);
    EXPECT_EQ(windowLog.beeps, beeps + 1);
    // One grid point a step; at the edge a beep.
    for (std::int32_t i = 0; i < 6; ++i) handleKeyRelease(key::up);
    EXPECT_TRUE(cursorAt(5, 10));
    EXPECT_EQ(windowLog.beeps, beeps + 2);
    handleKeyRelease(key::enter);
    handleKeyRelease(key::left);
    handleKeyRelease(key::enter);
    ASSERT_EQ(theBoard.cityCount, 3);
    EXPECT_EQ(mapGenerator.cityCountSetting, 3);
    EXPECT_EQ(theBoard.cities[2].x, 4);
    EXPECT_EQ(theBoard.cities[2].y, 10);
    paint(600, 400);
    EXPECT_TRUE(cursorAround(WindowPoint{268, 40}));

    // Delete removes the city nearest to the cursor within a right click's
    // reach (a tenth of the board: one unit here), else beeps.
    handleKeyRelease(key::deleteKey);
    handleKeyRelease(key::deleteKey);  // (5, 10), one unit away
    EXPECT_EQ(theBoard.cityCount, 1);
    handleKeyRelease(key::backspace);  // (5, 5) is too far
    EXPECT_EQ(theBoard.cityCount, 1);
    EXPECT_EQ(windowLog.beeps, beeps + 3);
    // Page Down reaches a city anywhere.
    handleKeyRelease(key::pageDown);
    EXPECT_TRUE(cursorAt(5, 5));
    handleKeyRelease(key::deleteKey);
    EXPECT_EQ(theBoard.cityCount, 0);
    EXPECT_EQ(mapGenerator.cityCountSetting, 0);

    // A grid of another size: the cursor keeps its place on the board; on a
    // fine grid it steps from one dotted line to the next (k * 9999 / 40).
    test::placeCities(10000, {{0, 0}});
    paint(600, 400);
    EXPECT_TRUE(cursorAt(5000, 5000));
    EXPECT_TRUE(cursorAround(gridToWindow(layoutBoard(theBoard, 600, 400), 5000, 5000)));
    handleKeyRelease(key::right);
    EXPECT_TRUE(cursorAt(5249, 5000));
    handleKeyRelease(key::left);
    handleKeyRelease(key::left);
    EXPECT_TRUE(cursorAt(4750, 5000));
    for (std::int32_t i = 0; i < 25; ++i) handleKeyRelease(key::down);
    EXPECT_TRUE(cursorAt(4750, 0));
    handleKeyRelease(key::enter);
    EXPECT_EQ(theBoard.cityCount, 2);
}

TEST_F(Session, PlusKeysSolveInEveryModeAndProfiShowsTheSolutionAsTheRoute) {
    mapGenerator.cityCountSetting = 10;  // more than either edition solves on its own
    paint(kW, kH);
    const int plusKeys[] = {key::oemPlus, key::add, key::oemPlus};
    const int modeCommands[] = {command::generator, command::editMap, command::startGame};
    for (int i = 0; i < 3; ++i) {
        handleCommand(modeCommands[i]);
        paint(kW, kH);
        const AppMode before = session.mode;
        ASSERT_EQ(theBoard.solved, 0);
        const std::int32_t invalidations = windowLog.invalidations;
        handleKeyRelease(plusKeys[i]);
        EXPECT_EQ(theBoard.solved, 1);
        EXPECT_EQ(session.mode, before);
        EXPECT_EQ(windowLog.invalidations, invalidations + 1);
        EXPECT_EQ(theBoard.playerRouteLength, isProfi() ? 11 : 1);
        if (isProfi()) {
            for (std::int32_t k = 0; k <= 10; ++k) EXPECT_EQ(theBoard.playerRoute[k], theBoard.solutionRoute[k]);
        }
        paint(kW, kH);
        EXPECT_NE(texts()[0].find("Решение известно"), std::string::npos);
        theBoard.solved = 0;
        theBoard.playerRouteLength = 1;
    }
    // Profi's solution route in Game mode: the ratio reads 100.
    if constexpr (isProfi()) {
        handleCommand(command::showSolution);
        paint(kW, kH);
        EXPECT_TRUE(texts().back().find("Суммарный путь 100") != std::string::npos) << texts().back();
    }
}

// ---- The forced solve beside the window ---------------------------------------

// The progress rows, left of the board, joined by " | " (the first alone
// where the others are not drawn), or "" when none is drawn.
std::string progressLine() {
    std::string rows;
    for (const std::int32_t y : {40, 56, 72}) {
        const fake::DrawnText* line = test::textAt(8, y);
        if (line == nullptr) break;
        rows += (rows.empty() ? "" : " | ") + test::utf8(line->text);
    }
    return rows;
}

TEST_F(Session, ASlowSolveShowsItsProgressAndEscStopsIt) {
    mapGenerator.cityCountSetting = 10;
    paint(kW, kH);
    handleCommand(command::startGame);
    clickCity(3, kW, kH);
    const Board before = theBoard;
    fake::solveRunner.endsWithinWait = false;
    fake::solveRunner.progress = 0.375;
    handleKeyRelease(key::add);
    EXPECT_EQ(fake::solveRunner.starts, 1);
    EXPECT_EQ(theBoard.solved, 0);
    EXPECT_EQ(theBoard.playerRouteLength, 2);
    paint(kW, kH);
    EXPECT_EQ(progressLine(), "Поиск решения… | 37.50 %, 0 сек | Esc — прервать");
    // The clock's timer keeps repainting it, the game line still ticks.
    const std::int32_t invalidations = windowLog.invalidations;
    EXPECT_TRUE(tickGameClock());
    EXPECT_EQ(windowLog.invalidations, invalidations + 1);
    fake::clockNow += 7;
    fake::solveRunner.progress = 0.9990234375;  // 1023/1024
    paint(kW, kH);
    EXPECT_EQ(progressLine(), "Поиск решения… | 99.90 %, 7 сек | Esc — прервать");
    EXPECT_TRUE(startsWith(texts().back(), "Время   7 сек")) << texts().back();

    // A second "+" starts nothing new; other keys leave it running.
    handleCommand(command::showSolution);
    handleKeyRelease(key::space);
    EXPECT_EQ(fake::solveRunner.starts, 1);
    EXPECT_TRUE(fake::solveRunner.running);

    handleKeyRelease(key::escape);
    EXPECT_EQ(fake::solveRunner.stops, 1);
    EXPECT_FALSE(forcedSolveRunning());
    paint(kW, kH);
    EXPECT_EQ(progressLine(), "");
    EXPECT_EQ(std::memcmp(&theBoard.spectrum, &before.spectrum, sizeof before.spectrum), 0);
    EXPECT_EQ(theBoard.solved, 0);
    EXPECT_EQ(theBoard.playerRouteLength, 2);
    EXPECT_FALSE(fake::endRunningSolve());
    // Esc with nothing running changes nothing.
    const std::int32_t after = windowLog.invalidations;
    handleKeyRelease(key::escape);
    EXPECT_EQ(windowLog.invalidations, after);

    // Started again and ended later: the result arrives through the event loop.
    handleKeyRelease(key::oemPlus);
    EXPECT_EQ(fake::solveRunner.starts, 2);
    ASSERT_TRUE(fake::endRunningSolve());
    EXPECT_EQ(theBoard.solved, 1);
    EXPECT_GT(theBoard.solutionLength, 0.0);
    EXPECT_EQ(theBoard.playerRouteLength, isProfi() ? 11 : 2);
    EXPECT_TRUE(session.pictureDirty);
    paint(kW, kH);
    // No progress left; in Profi the spectrum stands in its place.
    EXPECT_EQ(progressLine().find("Поиск решения"), std::string::npos);
    EXPECT_EQ(progressLine().rfind("Спектр путей |", 0) == 0, isProfi());
    if (!isProfi()) {
        EXPECT_EQ(progressLine(), "");
    }
}

TEST_F(Session, OnlyChangesOfTheCitiesOrTheTripStopTheSolve) {
    mapGenerator.cityCountSetting = 10;
    paint(kW, kH);
    fake::solveRunner.endsWithinWait = false;
    const auto startSlowSolve = [] {
        const std::int32_t starts = fake::solveRunner.starts;
        handleKeyRelease(key::oemPlus);
        ASSERT_EQ(fake::solveRunner.starts, starts + 1);
        ASSERT_TRUE(forcedSolveRunning());
    };

    const auto clickAway = [](MouseButton button) {  // far beside every city
        recordClick(button, -1000, -1000);
        paint(kW, kH);
    };

    // Clicks in the game: only those that change the trip stop it.
    handleCommand(command::startGame);
    paint(kW, kH);
    startSlowSolve();
    clickAway(MouseButton::Left);
    clickCity(0, kW, kH);  // the trip is city 0 alone already
    EXPECT_TRUE(forcedSolveRunning());
    clickCity(4, kW, kH);
    EXPECT_FALSE(forcedSolveRunning());
    EXPECT_EQ(theBoard.playerRouteLength, 2);
    startSlowSolve();
    clickCity(4, kW, kH);  // the trip's last city: cut back to the same trip
    EXPECT_TRUE(forcedSolveRunning());
    clickCity(4, kW, kH, true);  // city 0: the trip starts again
    EXPECT_FALSE(forcedSolveRunning());
    EXPECT_EQ(theBoard.playerRouteLength, 1);

    // Commands that restart the trip stop it, the About box does not.
    for (const int id : {command::startGame, command::eraseAll, command::about}) {
        startSlowSolve();
        handleCommand(id);
        EXPECT_EQ(forcedSolveRunning(), id == command::about) << id;
        paint(kW, kH);
    }
    stopForcedSolve();

    // A left click in the generator only enters the game: the solve goes on
    // and its result arrives; a right click makes a new map and stops it.
    handleCommand(command::generator);
    paint(kW, kH);
    startSlowSolve();
    clickAway(MouseButton::Left);
    EXPECT_EQ(session.mode, AppMode::Game);
    ASSERT_TRUE(fake::endRunningSolve());
    EXPECT_EQ(theBoard.solved, 1);
    handleCommand(command::generator);
    paint(kW, kH);
    startSlowSolve();
    clickAway(MouseButton::Right);
    EXPECT_FALSE(forcedSolveRunning());
    EXPECT_EQ(session.mode, AppMode::Generator);

    // The same by keys: Enter in the generator only enters the game; moving
    // the cursor leaves the solve running, a pick that changes the trip stops
    // it, and so does Delete, which starts the trip again.
    startSlowSolve();
    handleKeyRelease(key::enter);
    EXPECT_EQ(session.mode, AppMode::Game);
    for (const int k : {key::pageDown, key::pageDown, key::up, key::right, key::pageUp, key::pageDown})
        handleKeyRelease(k);
    EXPECT_TRUE(forcedSolveRunning());
    handleKeyRelease(key::enter);
    EXPECT_FALSE(forcedSolveRunning());
    EXPECT_EQ(theBoard.playerRouteLength, 2);
    startSlowSolve();
    handleKeyRelease(key::deleteKey);
    EXPECT_FALSE(forcedSolveRunning());
    EXPECT_EQ(theBoard.playerRouteLength, 1);
    // Delete in the generator: a new map.
    handleCommand(command::generator);
    paint(kW, kH);
    startSlowSolve();
    handleKeyRelease(key::deleteKey);
    EXPECT_FALSE(forcedSolveRunning());
    EXPECT_EQ(theBoard.cityCount, 0);
    paint(kW, kH);

    // A new map.
    startSlowSolve();
    handleKeyRelease(key::space);
    EXPECT_FALSE(forcedSolveRunning());
    EXPECT_EQ(theBoard.cityCount, 0);  // the next repaint makes the new map
    paint(kW, kH);
    EXPECT_EQ(theBoard.cityCount, 10);

    // Clicks in the editor: on a city (no second city there) and a right
    // click beside every city change nothing; a new city stops it.
    handleCommand(command::editMap);
    paint(kW, kH);
    startSlowSolve();
    clickCity(3, kW, kH);
    clickAway(MouseButton::Right);
    EXPECT_TRUE(forcedSolveRunning());
    EXPECT_EQ(theBoard.cityCount, 10);
    // By keys: the cursor moves, a place taken is refused, both leave it running.
    handleKeyRelease(key::pageDown);  // shows the cursor on the last city
    handleKeyRelease(key::enter);
    handleKeyRelease(key::left);
    EXPECT_TRUE(forcedSolveRunning());
    recordClick(MouseButton::Left, 5, 5);
    paint(kW, kH);
    EXPECT_FALSE(forcedSolveRunning());
    EXPECT_EQ(theBoard.cityCount, 11);

    // Opening a map: a cancelled dialog leaves the solve running.
    const orvanta::testing::TempDir scratch;
    ASSERT_FALSE(scratch.path.empty());
    fake::savePath = scratch.path + "/running.rva";
    startSlowSolve();
    // Saving while it runs saves the board as it stands, unsolved.
    ASSERT_TRUE(handleCommand(command::saveMap));
    EXPECT_TRUE(forcedSolveRunning());
    fake::openPath.reset();
    handleCommand(command::openMap);
    EXPECT_TRUE(forcedSolveRunning());
    fake::openPath = scratch.path + "/running.rva";
    handleCommand(command::openMap);
    EXPECT_FALSE(forcedSolveRunning());
    EXPECT_EQ(session.mode, AppMode::Game);
    EXPECT_EQ(theBoard.solved, 0);

    // A result for cities that are no longer those it started from is dropped.
    startSlowSolve();
    theBoard.cities[2].x += 1;
    ASSERT_TRUE(fake::endRunningSolve());
    EXPECT_FALSE(forcedSolveRunning());
    EXPECT_EQ(theBoard.solved, 0);

    // The program's end stops it.
    theBoard.cities[2].x -= 1;
    startSlowSolve();
    endForcedSolve();
    EXPECT_FALSE(fake::solveRunner.running);
    EXPECT_FALSE(forcedSolveRunning());
}

// ---- Commands ----------------------------------------------------------------

TEST_F(Session, CommandsWithoutRepaintAndUnknownIdentifiers) {
    paint(kW, kH);
    for (const AppMode m : {AppMode::Editor, AppMode::Generator, AppMode::Game}) {
        session.mode = m;
        const std::int32_t invalidations = windowLog.invalidations;
        EXPECT_TRUE(handleCommand(command::about));
        EXPECT_TRUE(handleCommand(command::readManual));
        EXPECT_TRUE(handleCommand(command::personalNumber));
        EXPECT_TRUE(handleCommand(command::exitProgram));
        EXPECT_FALSE(handleCommand(0));
        EXPECT_FALSE(handleCommand(32776));
        EXPECT_FALSE(handleCommand(32778));
        EXPECT_FALSE(handleCommand(32782));
        EXPECT_FALSE(handleCommand(109));
        EXPECT_EQ(windowLog.invalidations, invalidations);
        EXPECT_EQ(session.mode, m);
        EXPECT_EQ(session.pictureDirty, 0);
    }
    EXPECT_EQ(windowLog.aboutBoxes, 3);
    EXPECT_EQ(windowLog.closes, 3);
    EXPECT_EQ(windowLog.beeps, 0);
    ASSERT_EQ(fake::shellOpened.size(), 6u);
    EXPECT_EQ(fake::shellOpened[0], "/opt/orvanta/bin/help.txt");
    EXPECT_EQ(fake::shellOpened[1], "/opt/orvanta/bin/user.txt");
    // Where the desktop cannot open the file, the command is refused aloud.
    fake::shellAccepts = false;
    EXPECT_TRUE(handleCommand(command::readManual));
    EXPECT_TRUE(handleCommand(command::personalNumber));
    EXPECT_EQ(windowLog.beeps, 2);
    EXPECT_EQ(fake::shellOpened.size(), 8u);
}

TEST_F(Session, GeneratorCommandsStartAFreshMapFromEveryMode) {
    paint(kW, kH);
    const struct {
        int command;
        std::int32_t grid;
    } table[] = {{command::gridFine, 10000}, {command::gridCoarse, 11}, {command::gridMedium, 41}, {command::generator, 41}};
    const int modeCommands[] = {command::editMap, command::startGame, command::generator};
    for (const auto& row : table) {
        for (const int modeCommand : modeCommands) {
            handleCommand(modeCommand);
            paint(kW, kH);
            fake::clockNow += 7;  // a fresh seed
            const City before = theBoard.cities[1];
            ASSERT_TRUE(handleCommand(row.command));
            EXPECT_EQ(session.mode, AppMode::Generator);
            EXPECT_EQ(theBoard.cityCount, 0);
            paint(kW, kH);
            EXPECT_EQ(theBoard.gridWidth, row.grid);
            EXPECT_EQ(theBoard.cityCount, 8);
            EXPECT_EQ(gameClock.gameStartTime, fake::clockNow);
            EXPECT_FALSE(theBoard.cities[1].x == before.x && theBoard.cities[1].y == before.y && row.grid > 11);
        }
    }
    // An erased count is raised back to one city.
    handleCommand(command::editMap);
    handleCommand(command::eraseAll);
    paint(kW, kH);
    handleCommand(command::generator);
    EXPECT_EQ(mapGenerator.cityCountSetting, 1);
}

TEST_F(Session, EraseAllSwitchesToTheEditorFirstAndErasesTheSecondTime) {
    paint(kW, kH);
    recordClick(MouseButton::Left, 1, 1);
    paint(kW, kH);  // Game mode
    clickCity(2, kW, kH);
    ASSERT_EQ(theBoard.playerRouteLength, 2);

    ASSERT_TRUE(handleCommand(command::eraseAll));
    EXPECT_EQ(session.mode, AppMode::Editor);
    EXPECT_EQ(theBoard.cityCount, 8);
    EXPECT_EQ(theBoard.playerRouteLength, 1);
    paint(kW, kH);
    EXPECT_EQ(texts()[0].rfind("Редактор:    Городов  8    Сетка 11x11", 0), 0u);
    // Editor markers are all hollow, city 0 too.
    const WindowPoint c0 = cityPoint(0, kW, kH);
    EXPECT_EQ(pixel(c0.x - 2, c0.y - 2), colours::marker);
    EXPECT_NE(pixel(c0.x - 1, c0.y - 1), colours::visited);

    ASSERT_TRUE(handleCommand(command::eraseAll));
    EXPECT_EQ(theBoard.cityCount, 0);
    EXPECT_EQ(mapGenerator.cityCountSetting, 0);
    fake::clockNow += 50;
    paint(kW, kH);
    EXPECT_EQ(theBoard.cityCount, 0);
    EXPECT_EQ(gameClock.gameStartTime, fake::clockNow);
    EXPECT_EQ(texts(), std::vector<std::string>{"Редактор:    Городов  0    Сетка 11x11    Решение НЕизвестно"});
}

TEST_F(Session, StartGameRestartsTheClockOnlyFromTheEditor) {
    paint(kW, kH);  // map made at 1000000
    fake::clockNow += 40;
    handleCommand(command::startGame);
    EXPECT_EQ(session.mode, AppMode::Game);
    paint(kW, kH);
    EXPECT_TRUE(startsWith(texts().back(), "Время  40 сек"));

    clickCity(1, kW, kH);
    fake::clockNow += 5;
    handleCommand(command::startGame);  // from Game: route restarted, clock kept
    EXPECT_EQ(theBoard.playerRouteLength, 1);
    paint(kW, kH);
    EXPECT_TRUE(startsWith(texts().back(), "Время  45 сек    Городов в пути  0"));

    handleCommand(command::editMap);
    fake::clockNow += 5;
    handleCommand(command::startGame);
    paint(kW, kH);
    EXPECT_TRUE(startsWith(texts().back(), "Время   0 сек"));
    fake::clockNow += 2;
    paint(kW, kH);  // not dirty: the cached picture
    EXPECT_TRUE(texts().empty());
    handleKeyRelease(key::add);
    paint(kW, kH);
    EXPECT_TRUE(startsWith(texts().back(), "Время   2 сек"));
}

TEST_F(Session, SaveAndOpenMapsAndGamesThroughTheDialogs) {
    const orvanta::testing::TempDir scratch;  // one per test process: both editions run at once
    ASSERT_FALSE(scratch.path.empty());
    const std::string dir = scratch.path;
    mapGenerator.cityCountSetting = 6;
    paint(kW, kH);

    // The game save is refused outside Game mode, with a beep and nothing else.
    for (const int modeCommand : {command::generator, command::editMap}) {
        handleCommand(modeCommand);
        paint(kW, kH);
        const std::int32_t beeps = windowLog.beeps;
        fake::savePath = dir + "/never.rvb";
        EXPECT_TRUE(handleCommand(command::saveGame));
        EXPECT_EQ(windowLog.beeps, beeps + 1);
        EXPECT_TRUE(fake::saveDialogCalls.empty());
        EXPECT_EQ(session.pictureDirty, 0);
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/never.rvb"));

    // A map is saved from any mode (here the Editor); the title follows.
    fake::savePath = dir + "/island.rva";
    EXPECT_TRUE(handleCommand(command::saveMap));
    EXPECT_EQ(std::filesystem::file_size(dir + "/island.rva"), 512u);
    ASSERT_EQ(windowLog.titles.size(), 1u);
    EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Карта " + dir + "/island");
    EXPECT_EQ(session.mode, AppMode::Editor);
    const Board saved = theBoard;

    // ... and from the other modes too.
    for (const AppMode m : {AppMode::Generator, AppMode::Game}) {
        session.mode = m;
        fake::savePath = dir + "/other.rva";
        EXPECT_TRUE(handleCommand(command::saveMap));
        EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Карта " + dir + "/other");
        EXPECT_EQ(session.mode, m);
    }
    handleCommand(command::editMap);
    fake::windowLog.titles.resize(1);

    // A cancelled save is silent and keeps the title.
    fake::savePath.reset();
    EXPECT_TRUE(handleCommand(command::saveMap));
    EXPECT_EQ(windowLog.titles.size(), 1u);
    EXPECT_EQ(windowLog.beeps, 2);

    // Play a bit on a fresh map, save the game, then open the map again.
    handleCommand(command::generator);
    fake::clockNow += 100;
    paint(kW, kH);
    recordClick(MouseButton::Left, 0, 0);
    paint(kW, kH);
    clickCity(2, kW, kH);
    clickCity(4, kW, kH);
    fake::clockNow += 9;
    paint(kW, kH);
    handleKeyRelease(key::add);
    paint(kW, kH);
    const Board played = theBoard;
    fake::savePath = dir + "/match.rvb";
    EXPECT_TRUE(handleCommand(command::saveGame));
    EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Игра " + dir + "/match");

    fake::openPath = dir + "/island.rva";
    handleCommand(command::generator);
    EXPECT_TRUE(handleCommand(command::openMap));
    EXPECT_EQ(session.mode, AppMode::Game);
    EXPECT_EQ(session.pictureDirty, 1);
    EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Карта " + dir + "/island");
    ASSERT_EQ(theBoard.cityCount, saved.cityCount);
    for (std::int32_t i = 0; i < saved.cityCount; ++i) EXPECT_EQ(theBoard.cities[i].x, saved.cities[i].x);
    paint(kW, kH);
    EXPECT_TRUE(startsWith(texts()[0], "Игра:    Городов  6    Сетка 11x11"));

    // The game comes back with its route and its clock going on from 9 s.
    fake::openPath = dir + "/match.rvb";
    fake::clockNow += 1000;
    EXPECT_TRUE(handleCommand(command::openGame));
    EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Игра " + dir + "/match");
    EXPECT_EQ(theBoard.playerRouteLength, played.playerRouteLength);
    for (std::int32_t k = 0; k < played.playerRouteLength; ++k)
        EXPECT_EQ(theBoard.playerRoute[k], played.playerRoute[k]);
    fake::clockNow += 1;
    paint(kW, kH);
    EXPECT_TRUE(startsWith(texts().back(), "Время  10 сек")) << texts().back();

    // Failed or cancelled opens beep and change nothing.
    const std::int32_t beeps = windowLog.beeps;
    const std::size_t titles = windowLog.titles.size();
    handleCommand(command::editMap);
    fake::openPath.reset();
    EXPECT_TRUE(handleCommand(command::openMap));
    fake::openPath = dir + "/island.rva";  // a map is no game
    std::filesystem::resize_file(dir + "/island.rva", 100);
    EXPECT_TRUE(handleCommand(command::openGame));
    EXPECT_TRUE(handleCommand(command::openMap));
    EXPECT_EQ(windowLog.beeps, beeps + 3);
    EXPECT_EQ(windowLog.titles.size(), titles);
    EXPECT_EQ(session.mode, AppMode::Editor);
}

TEST_F(Session, AMapPassedOnAsACodeOpensAsAnOpenedMapAndBadEntriesChangeNothing) {
    const fake::ShareServices& share = fake::shareServices;
    mapGenerator.cityCountSetting = 7;
    paint(kW, kH);
    const Board shared = theBoard;
    EXPECT_TRUE(handleCommand(command::shareMap));
    ASSERT_EQ(share.shown.size(), 1u);
    const std::string code = share.shown[0].text;
    EXPECT_EQ(code, mapCodeOfBoard(shared));

    // Another map, a trip begun on it and a solve running.
    fake::clockNow += 50;
    mapGenerator.cityCountSetting = 10;  // more than Profi solves at once
    handleCommand(command::gridMedium);
    paint(kW, kH);
    recordClick(MouseButton::Left, 0, 0);
    paint(kW, kH);
    clickCity(3, kW, kH);
    fake::solveRunner.endsWithinWait = false;
    handleKeyRelease(key::add);
    ASSERT_TRUE(fake::solveRunner.running);
    const Board playing = theBoard;

    // Refused entries are asked for again with the reason; a cancel ends it.
    fake::shareServices.entries = {"  ", "https://example.org/public.html#", "hello!", code.substr(1)};
    const std::size_t titles = windowLog.titles.size();
    EXPECT_TRUE(handleCommand(command::openMapCode));
    ASSERT_EQ(share.messages.size(), 5u);
    EXPECT_EQ(share.messages[1], mapCodeMessage(MapCodeStatus::Empty));
    EXPECT_EQ(share.messages[2], mapCodeMessage(MapCodeStatus::NoCodeInLink));
    EXPECT_EQ(share.messages[3], mapCodeMessage(MapCodeStatus::NotACode));
    EXPECT_EQ(share.messages[4], mapCodeMessage(MapCodeStatus::Damaged));
    EXPECT_EQ(share.startingTexts[4], code.substr(1));  // the entry stays to be mended
    EXPECT_TRUE(fake::solveRunner.running);
    EXPECT_EQ(session.mode, AppMode::Game);
    EXPECT_EQ(windowLog.titles.size(), titles);
    EXPECT_EQ(theBoard.playerRouteLength, playing.playerRouteLength);
    EXPECT_EQ(mapCodeOfBoard(theBoard), mapCodeOfBoard(playing));
    EXPECT_EQ(mapGenerator.gridSizeSetting.width, 41);

    // A whole link opens the shared map, unsolved, in Game mode, with a new
    // trip and clock; the solve of the old map stops.
    fake::shareServices.entries = {"Look: https://example.org/profi.html#" + code};
    EXPECT_TRUE(handleCommand(command::openMapCode));
    EXPECT_FALSE(fake::solveRunner.running);
    EXPECT_EQ(session.mode, AppMode::Game);
    EXPECT_EQ(theBoard.solved, 0);
    EXPECT_EQ(theBoard.playerRouteLength, 1);
    EXPECT_EQ(gameClock.gameStartTime, fake::clockNow);
    EXPECT_EQ(mapGenerator.gridSizeSetting.width, 11);
    ASSERT_EQ(theBoard.cityCount, shared.cityCount);
    for (std::int32_t i = 0; i < shared.cityCount; ++i) {
        EXPECT_EQ(theBoard.cities[i].x, shared.cities[i].x);
        EXPECT_EQ(theBoard.cities[i].y, shared.cities[i].y);
    }
    EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Карта " + code.substr(0, 10));
    paint(kW, kH);
    EXPECT_TRUE(startsWith(texts()[0], "Игра:    Городов  7    Сетка 11x11")) << texts()[0];

    // Where the front end has an address, the link is shown.
    fake::shareServices.pageAddress = "https://example.org/public.html";
    handleCommand(command::shareMap);
    EXPECT_EQ(share.shown.back().text, "https://example.org/public.html#" + code);
}

TEST_F(Session, MapOfTheDayAndTheLineOfItsResult) {
    constexpr std::int32_t kNoonOfTenthDecember2026 = 1'796'904'000;
    // Large enough that every two of the cities lie apart on the screen.
    constexpr std::int32_t kBigW = 1600, kBigH = 1200;
    fake::clockNow = kNoonOfTenthDecember2026;
    paint(kBigW, kBigH);
    EXPECT_TRUE(handleCommand(command::dailyMap));
    EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Карта дня 2026-12-10");
    EXPECT_EQ(session.mode, AppMode::Game);
    EXPECT_EQ(theBoard.cityCount, 15);
    EXPECT_EQ(theBoard.gridWidth, 10000);
    const std::string code = mapCodeOfBoard(theBoard);
    paint(kBigW, kBigH);

    // Nothing to share before a closed trip on it has been graded.
    handleCommand(command::shareResult);
    EXPECT_EQ(windowLog.beeps, 1);
    for (std::int32_t i = 1; i < 14; ++i) clickCity(i, kBigW, kBigH);
    fake::clockNow += 102;
    clickCity(14, kBigW, kBigH);  // the last city closes the trip
    ASSERT_TRUE(gameClock.routeClosed);
    const double tripLength = theBoard.playerLength;
    handleCommand(command::shareResult);
    EXPECT_EQ(windowLog.beeps, 2);
    EXPECT_TRUE(fake::shareServices.shown.empty());

    handleKeyRelease(key::add);
    ASSERT_TRUE(theBoard.solved);
    fake::clockNow += 30;
    handleCommand(command::shareResult);
    ASSERT_EQ(fake::shareServices.shown.size(), 1u);
    // The player's own trip, even where "+" showed the shortest in its place.
    const std::string percent = [&] {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", tripLength * 100.0 / theBoard.solutionLength);
        return std::string(text);
    }();
    EXPECT_EQ(test::utf8(fake::shareServices.shown[0].text), "Orvanta 2026-12-10: " + percent + " % за 1:42 #" + code);

    // The next day's map is another; a map that is not the day's has no result.
    fake::clockNow += 86400;
    handleCommand(command::dailyMap);
    EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Карта дня 2026-12-11");
    EXPECT_NE(mapCodeOfBoard(theBoard), code);
    handleCommand(command::generator);
    paint(kBigW, kBigH);
    handleCommand(command::shareResult);
    EXPECT_EQ(windowLog.beeps, 3);
}

// ---- Clicks ------------------------------------------------------------------

TEST_F(Session, RightClickInGeneratorMakesANewMapAtOnce) {
    paint(kW, kH);
    const City c1 = theBoard.cities[1];
    fake::clockNow += 3;
    recordClick(MouseButton::Right, 10, 10);
    EXPECT_EQ(theBoard.cities[1].x, c1.x);  // only recorded
    paint(kW, kH);
    EXPECT_EQ(session.mode, AppMode::Generator);
    EXPECT_EQ(gameClock.gameStartTime, fake::clockNow);
    EXPECT_FALSE(theBoard.cities[1].x == c1.x && theBoard.cities[1].y == c1.y && theBoard.cities[2].x == 0);

    // Both buttons: Game mode with a fresh map.
    recordClick(MouseButton::Left, 10, 10);
    recordClick(MouseButton::Right, 10, 10);
    fake::clockNow += 3;
    paint(kW, kH);
    EXPECT_EQ(session.mode, AppMode::Game);
    EXPECT_EQ(gameClock.gameStartTime, fake::clockNow);
}

TEST_F(Session, GameClicksPickNearCitiesAndBothButtonsMeanCityZero) {
    test::placeCities(11, {{1, 1}, {1, 9}, {9, 9}, {5, 1}, {9, 1}, {5, 5}});
    handleCommand(command::startGame);
    paint(600, 400);  // scale 32, origin (140, 360); pick radius 32

    // Exactly the radius from city 3 at (300, 328) picks it; one pixel more does not.
    recordClick(MouseButton::Left, 300, 360);
    paint(600, 400);
    EXPECT_EQ(theBoard.playerRouteLength, 2);
    EXPECT_EQ(theBoard.playerRoute[1], 3);
    recordClick(MouseButton::Left, 300 - 33, 328);
    paint(600, 400);
    EXPECT_EQ(theBoard.playerRouteLength, 2);
    EXPECT_EQ(session.leftClickPending, 0);

    clickCity(5, 600, 400);
    ASSERT_EQ(theBoard.playerRouteLength, 3);
    // Route 0, 3, 5: city 0 orange, city 5 violet, city 3 orange with a violet
    // outline, the others hollow.
    const auto expectMarker = [](WindowPoint p, Colour edge, Colour inside) {
        EXPECT_EQ(pixel(p.x - 2, p.y - 2), edge) << p.x << "," << p.y;
        EXPECT_EQ(pixel(p.x + 2, p.y + 2), edge) << p.x << "," << p.y;
        EXPECT_EQ(pixel(p.x - 1, p.y - 1), inside) << p.x << "," << p.y;
    };
    expectMarker(WindowPoint{172, 328}, colours::visited, colours::visited);
    expectMarker(WindowPoint{300, 200}, colours::marker, colours::marker);
    expectMarker(WindowPoint{300, 328}, colours::marker, colours::visited);
    expectMarker(WindowPoint{172, 72}, colours::marker, colours::background);
    expectMarker(WindowPoint{428, 328}, colours::marker, colours::background);
    // The route lines 0 -> 3 -> 5 in grey, drawn over the markers; the end point
    // of the last line (city 5's centre) is not painted.
    EXPECT_EQ(pixel(172, 328), colours::route);
    EXPECT_EQ(pixel(236, 328), colours::route);
    EXPECT_EQ(pixel(300, 328), colours::route);
    EXPECT_EQ(pixel(300, 260), colours::route);
    EXPECT_EQ(pixel(300, 201), colours::route);
    EXPECT_EQ(pixel(300, 200), colours::marker);
    EXPECT_EQ(pixel(236, 327), colours::background);

    // Both buttons before one repaint: a hit means city 0 (the route restarts),
    // a miss means nothing.
    recordClick(MouseButton::Left, 10, 10);
    recordClick(MouseButton::Right, 10, 10);
    paint(600, 400);
    EXPECT_EQ(theBoard.playerRouteLength, 3);
    EXPECT_EQ(session.rightClickPending, 0);
    const WindowPoint c2 = cityPoint(2, 600, 400);
    recordClick(MouseButton::Left, c2.x, c2.y);
    recordClick(MouseButton::Right, c2.x, c2.y);
    paint(600, 400);
    EXPECT_EQ(theBoard.playerRouteLength, 1);
    // A left click on city 0 acts like the right button.
    clickCity(1, 600, 400);
    clickCity(0, 600, 400);
    EXPECT_EQ(theBoard.playerRouteLength, 1);

    // Where a front end is told a city lies (a finger's aim), its marker is
    // drawn and a click picks it.
    const BoardInPicture placed = boardInPicture(layoutFrame);
    ASSERT_EQ(placed.cityCount, 6);
    for (const std::int32_t i : {4, 2, 5}) {
        EXPECT_EQ(placed.cities[i].x, cityPoint(i, 600, 400).x);
        EXPECT_EQ(placed.cities[i].y, cityPoint(i, 600, 400).y);
        recordClick(MouseButton::Left, placed.cities[i].x, placed.cities[i].y);
        paint(600, 400);
        EXPECT_EQ(theBoard.playerRoute[theBoard.playerRouteLength - 1], i);
    }
}

TEST_F(Session, ClosingCuttingBackAndReclosingStopsAndResumesTheClock) {
    test::placeCities(11, {{1, 1}, {1, 9}, {9, 9}, {9, 1}});  // clock 1000000
    handleCommand(command::startGame);
    paint(kW, kH);
    // The front end's timer asks for a repaint only when the seconds shown are
    // behind the clock, and the request itself changes nothing else.
    EXPECT_FALSE(tickGameClock());
    fake::clockNow += 10;
    const std::int32_t invalidations = windowLog.invalidations;
    EXPECT_TRUE(tickGameClock());
    EXPECT_EQ(windowLog.invalidations, invalidations + 1);
    EXPECT_EQ(gameClock.elapsedSeconds, 0);
    EXPECT_EQ(theBoard.playerRouteLength, 1);
    paint(kW, kH);
    EXPECT_TRUE(startsWith(texts().back(), "Время  10 сек"));
    EXPECT_FALSE(tickGameClock());
    clickCity(1, kW, kH);
    clickCity(2, kW, kH);
    fake::clockNow += 10;
    clickCity(3, kW, kH);  // closes: 1 -> 2 -> 3 -> back to 0
    EXPECT_EQ(gameClock.routeClosed, 1);
    EXPECT_EQ(gameClock.gameFinished, 1);
    EXPECT_EQ(gameClock.elapsedSeconds, 20);
    EXPECT_EQ(theBoard.playerRouteLength, 5);
    // Once closed, the city picked last before the return is the violet one.
    const WindowPoint c3 = cityPoint(3, kW, kH), c2 = cityPoint(2, kW, kH);
    EXPECT_EQ(pixel(c3.x - 1, c3.y - 1), colours::marker);
    EXPECT_EQ(pixel(c2.x - 1, c2.y - 1), colours::visited);
    const std::string closedLine = isProfi() ? "Время  20 сек    Городов в пути  4    Суммарный путь 100"
                                             : "Время  20 сек    Городов в пути  4    Результат оценить невозможно";
    EXPECT_EQ(texts().back(), closedLine);

    fake::clockNow += 10;
    handleKeyRelease(key::add);
    paint(kW, kH);
    EXPECT_TRUE(startsWith(texts().back(), "Время  20 сек")) << "stopped";
    EXPECT_FALSE(tickGameClock()) << "a stopped clock needs no repaint";

    // Cutting back to city 1 lets the clock run again from the game's start.
    clickCity(1, kW, kH);
    EXPECT_EQ(theBoard.playerRouteLength, 2);
    EXPECT_EQ(gameClock.routeClosed, 0);
    EXPECT_EQ(gameClock.gameFinished, 0);
    // (Profi: one side of the square, 8 of 32 units, is 25 % of the optimum.)
    EXPECT_EQ(texts().back(), isProfi() ? "Время  30 сек    Городов в пути  1    Суммарный путь 25"
                                         : "Время  30 сек    Городов в пути  1    Путь не замкнут");

    fake::clockNow += 5;
    clickCity(2, kW, kH);
    clickCity(3, kW, kH);
    EXPECT_EQ(gameClock.gameFinished, 1);
    EXPECT_EQ(gameClock.elapsedSeconds, 35);
    if constexpr (!isProfi()) {
        // The square's tour around: optimal.
        EXPECT_EQ(texts().back(), "Время  35 сек    Городов в пути  4    Результат в пределах 105 % от решения ЗК");
    }
    // A click on a city of the closed route that keeps it closed leaves the time.
    // (Picking city 3 again cuts back to ..3 and closes nothing: the clock resumes.)
    fake::clockNow += 5;
    clickCity(3, kW, kH);
    EXPECT_EQ(gameClock.routeClosed, 0);
    EXPECT_EQ(gameClock.gameFinished, 0);
}

TEST_F(Session, EmptyBoardInGameModeClosesOnAnyClick) {
    handleCommand(command::editMap);
    handleCommand(command::eraseAll);
    handleCommand(command::eraseAll);
    paint(kW, kH);
    handleCommand(command::startGame);
    fake::clockNow += 4;
    recordClick(MouseButton::Left, 600, 20);
    paint(kW, kH);
    EXPECT_EQ(gameClock.routeClosed, 1);
    EXPECT_EQ(gameClock.gameFinished, 1);
    EXPECT_EQ(gameClock.elapsedSeconds, 4);
    EXPECT_EQ(theBoard.cityCount, 0);
    // Only the frame and the texts: the grey inside the frame is untouched.
    const BoardLayout l = layoutBoard(theBoard, kW, kH);
    EXPECT_EQ(pixel(l.originX - 6, l.farY - 6), colours::frame);
    for (std::int32_t y = l.farY - 5; y <= l.originY + 5; y += 7)
        for (std::int32_t x = l.originX - 5; x <= l.farX + 5; x += 5)
            ASSERT_EQ(pixel(x, y), colours::background) << x << "," << y;
}

TEST_F(Session, EditorAddsAndRemovesCitiesOnTheGrid) {
    handleCommand(command::editMap);
    handleCommand(command::eraseAll);
    paint(600, 400);  // empty 11 x 11 board: scale 32, origin (140, 360)

    // Left clicks round to the nearest grid point and are clamped into the grid.
    recordClick(MouseButton::Left, 140 + 3 * 32 + 15, 360 - 7 * 32 - 16);  // 3.47, 7.5 -> (3, 8)
    paint(600, 400);
    recordClick(MouseButton::Left, 590, 395);  // beyond the grid -> (10, 0)
    paint(600, 400);
    recordClick(MouseButton::Left, 590, 395);  // the same point again: refused
    paint(600, 400);
    ASSERT_EQ(theBoard.cityCount, 2);
    EXPECT_EQ(mapGenerator.cityCountSetting, 2);
    EXPECT_EQ(theBoard.cities[0].x, 3);
    EXPECT_EQ(theBoard.cities[0].y, 8);
    EXPECT_EQ(theBoard.cities[1].x, 10);
    EXPECT_EQ(theBoard.cities[1].y, 0);
    EXPECT_EQ(texts()[0], isProfi() ? "Редактор:    Городов  2    Сетка 11x11    Решение известно"
                                     : "Редактор:    Городов  2    Сетка 11x11    Решение НЕизвестно");
    // The frame and the dotted grid: 11 dark lines each way, from the origin.
    EXPECT_EQ(pixel(134, 34), colours::frame);
    EXPECT_EQ(pixel(466, 366), colours::frame);
    EXPECT_EQ(pixel(141, 360), colours::gridDark);  // bottom line, a dot
    EXPECT_EQ(pixel(143, 360), colours::background);  // bottom line, a gap
    EXPECT_EQ(pixel(460, 359), colours::gridDark);  // right line just above the origin row
    EXPECT_EQ(pixel(460, 40), colours::background);  // its end point is not painted

    // A right click away from every city removes nothing; near one it removes it.
    recordClick(MouseButton::Right, 300, 200);
    paint(600, 400);
    EXPECT_EQ(theBoard.cityCount, 2);
    recordClick(MouseButton::Right, 462, 355);
    paint(600, 400);
    EXPECT_EQ(theBoard.cityCount, 1);
    EXPECT_EQ(mapGenerator.cityCountSetting, 1);

    // Both buttons: the city is added, then the one nearest the click removed.
    recordClick(MouseButton::Left, 204, 296);   // (2, 2)
    recordClick(MouseButton::Right, 204, 296);
    paint(600, 400);
    EXPECT_EQ(theBoard.cityCount, 1);
    EXPECT_EQ(theBoard.cities[0].x, 3);

    // Removing the last city empties the board; the next paint keeps it empty.
    const WindowPoint c0 = cityPoint(0, 600, 400);
    recordClick(MouseButton::Right, c0.x, c0.y);
    paint(600, 400);
    EXPECT_EQ(theBoard.cityCount, 0);
    EXPECT_EQ(mapGenerator.cityCountSetting, 0);
    paint(600, 400);
    EXPECT_EQ(theBoard.cityCount, 0);
}

TEST_F(Session, LayoutExamplesOnThePicture) {
    // 624 x 421, grid 11, Editor: the row-7 line one pixel below its cities.
    test::placeCities(11, {{3, 7}, {0, 0}});
    handleCommand(command::editMap);
    paint(624, 421);
    const WindowPoint c = cityPoint(0, 624, 421);
    EXPECT_EQ(c.x, 244);
    EXPECT_EQ(c.y, 142);
    EXPECT_EQ(pixel(242, 140), colours::marker);
    EXPECT_EQ(pixel(246, 144), colours::marker);
    EXPECT_EQ(pixel(143, 143), colours::gridDark);  // row 7 line starts at the origin column
    EXPECT_EQ(pixel(143, 142), colours::gridDark);  // ... which is the column-0 line
    EXPECT_EQ(pixel(144, 143), colours::gridDark);
    EXPECT_EQ(pixel(146, 143), colours::background);
    EXPECT_EQ(pixel(144, 42), colours::gridDark);   // top line at 42, farY 41
    EXPECT_EQ(pixel(144, 41), colours::background);
    EXPECT_EQ(pixel(137, 35), colours::frame);
    EXPECT_EQ(pixel(485, 384), colours::frame);

    // Grid 41 in the Editor: 41 lines each way, every fourth darker.
    test::placeCities(41, {{0, 0}});
    paint(600, 400);  // scale 8, origin (140, 360)
    EXPECT_EQ(pixel(141, 360), colours::gridDark);   // line 0
    EXPECT_EQ(pixel(141, 352), colours::gridLight);  // line 1
    EXPECT_EQ(pixel(141, 328), colours::gridDark);   // line 4
    EXPECT_EQ(pixel(172, 359), colours::gridDark);   // column 4
    EXPECT_EQ(pixel(180, 359), colours::gridLight);  // column 5
    EXPECT_EQ(pixel(134, 34), colours::frame);
    EXPECT_EQ(pixel(466, 366), colours::frame);
    EXPECT_EQ(pixel(300, 34), colours::frame);
    EXPECT_EQ(pixel(300, 35), colours::background);
}

// Cities far outside the grid (as a damaged file could carry) draw, pick and
// measure without overflow; what lies outside the picture is clipped.
TEST_F(Session, CitiesWithHugeCoordinatesDrawAndPlaySafely) {
    test::placeCities(11, {{1, 1}, {9, 9}, {5, 5}});
    theBoard.cities[1] = City{INT32_MAX, INT32_MIN};
    theBoard.cities[2] = City{INT32_MIN, 5};
    handleCommand(command::startGame);
    paint(kW, kH);
    EXPECT_EQ(pixel(0, 0), colours::background);
    recordClick(MouseButton::Left, 639, 479);
    paint(kW, kH);
    EXPECT_EQ(theBoard.playerRouteLength, 1);
    theBoard.playerRoute[1] = 1;
    theBoard.playerRoute[2] = 2;
    theBoard.playerRouteLength = 3;
    handleKeyRelease(key::add);  // solves and (Profi) shows the solution route
    paint(kW, kH);
    EXPECT_GE(theBoard.playerLength, 0.0);
    // The route from city 0 towards the far cities leaves the board: some of it is drawn.
    const WindowPoint c0 = cityPoint(0, kW, kH);
    EXPECT_EQ(pixel(c0.x, c0.y), colours::route);
}

// ---- Languages ---------------------------------------------------------------

TEST_F(Session, ALanguageChosenMidGameKeepsTheGameAndItsFilesAndShowsEveryText) {
    const orvanta::testing::TempDir scratch;
    ASSERT_FALSE(scratch.path.empty());
    const std::string dir = scratch.path;
    const std::int32_t english = text::languageOfCode("en");
    test::placeCities(11, {{1, 1}, {1, 9}, {9, 9}, {9, 1}});  // clock 1000000
    handleCommand(command::startGame);
    clickCity(1, kW, kH);
    fake::clockNow += 10;
    EXPECT_TRUE(tickGameClock());
    paint(kW, kH);
    fake::savePath = dir + "/ru.rvb";
    ASSERT_TRUE(handleCommand(command::saveGame));
    const auto routeNow = [] {
        std::vector<std::int32_t> out;
        for (std::int32_t i = 0; i < theBoard.playerRouteLength; ++i) out.push_back(theBoard.playerRoute[i]);
        return out;
    };
    const std::vector<std::int32_t> route = routeNow();
    const std::int32_t started = gameClock.gameStartTime;

    EXPECT_TRUE(handleCommand(command::languageFirst + english));
    EXPECT_EQ(windowLog.languageChanges, 1);
    EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Game " + dir + "/ru");
    paint(kW, kH);
    EXPECT_EQ(session.mode, AppMode::Game);
    EXPECT_EQ(routeNow(), route);
    EXPECT_EQ(gameClock.gameStartTime, started);
    EXPECT_EQ(texts()[0], isProfi() ? "Game:    Cities  4    Grid 11x11    Solution known"
                                    : "Game:    Cities  4    Grid 11x11    Solution UNknown");
    EXPECT_EQ(texts().back(), isProfi() ? "Time  10 s    Cities on route  1    Total length 25"
                                         : "Time  10 s    Cities on route  1    Route not closed");
    if constexpr (isProfi()) {
        EXPECT_EQ(texts()[1], "Tour Spectrum");
    }

    // The same game saved in English is the same file, through English dialogs.
    fake::savePath = dir + "/en.rvb";
    ASSERT_TRUE(handleCommand(command::saveGame));
    EXPECT_EQ(fake::saveDialogCalls.back().title, "Save Game to File As");
    EXPECT_EQ(fake::saveDialogCalls.back().filters[0].first, "Game Files");
    EXPECT_EQ(orvanta::testing::readBytes(dir + "/en.rvb"), orvanta::testing::readBytes(dir + "/ru.rvb"));
    EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Game " + dir + "/en");

    if constexpr (!isProfi()) {
        clickCity(2, kW, kH);
        clickCity(3, kW, kH);
        handleKeyRelease(key::add);
        paint(kW, kH);
        EXPECT_EQ(texts().back(), "Time  10 s    Cities on route  4    Result within 105 % of TSP solution");
    }

    // Back in Russian every text reads as before; choosing it again only keeps
    // the choice.
    EXPECT_TRUE(handleCommand(command::languageFirst + text::kSourceLanguage));
    paint(kW, kH);
    EXPECT_EQ(test::utf8(windowLog.titles.back()), " - Игра " + dir + "/en");
    EXPECT_TRUE(startsWith(texts()[0], "Игра:    Городов  4    Сетка 11x11    Решение "));
    EXPECT_TRUE(startsWith(texts().back(), "Время  10 сек    Городов в пути  "));
    const std::int32_t changes = windowLog.languageChanges;
    const std::int32_t invalidations = windowLog.invalidations;
    EXPECT_TRUE(handleCommand(command::languageFirst + text::kSourceLanguage));
    EXPECT_EQ(windowLog.languageChanges, changes + 1);
    EXPECT_EQ(windowLog.invalidations, invalidations);
    EXPECT_FALSE(handleCommand(command::languageFirst + text::languageCount())) << "no such language";
}

// Each language's menus: whole captions in that language, each with its own
// letter within its menu and on the bar, and a check mark on the language in use.
// The smoke tests reach a menu item by keys: its menu's place on the bar, then
// its place among the menu's items (separators skipped, as the arrow keys
// skip them). They read both from tests/support/menu_items.txt, which must
// say what the table says.
TEST_F(Session, TheSmokeTestsMenuLookupIsTheTables) {
    std::string wanted;
    for (std::int32_t m = 0; m < kMenuCount; ++m) {
        std::int32_t place = 0;
        for (std::int32_t i = 0; i < kMenuBar[m].itemCount; ++i) {
            const MenuItem& item = kMenuBar[m].items[i];
            if (item.caption == nullptr) continue;
            const std::int32_t language = languageOfCommand(item.commandId);
            const std::string name =
                language >= 0 ? std::string("language-") + text::languageCode(language) : std::string(item.name);
            wanted += name + " " + std::to_string(m) + " " + std::to_string(place++) + "\n";
        }
    }
    std::FILE* file = std::fopen(ORVANTA_TESTS_SOURCE_DIR "/support/menu_items.txt", "r");
    ASSERT_NE(file, nullptr);
    std::string listed;
    char line[256];
    while (std::fgets(line, sizeof line, file) != nullptr)
        if (line[0] != '#') listed += line;
    std::fclose(file);
    EXPECT_EQ(listed, wanted) << "tests/support/menu_items.txt should list, after its comments:\n" << wanted;
}

TEST_F(Session, EveryLanguageHasItsMenusWithDistinctLetters) {
    const auto letter = [](const char* caption) {
        const char* amp = std::strchr(caption, '&');
        return amp != nullptr ? static_cast<unsigned char>(amp[1]) : static_cast<unsigned char>(0);
    };
    const auto lower = [](unsigned char c) { return test::utf8(std::string(1, static_cast<char>(c))); };
    for (std::int32_t language = 0; language < text::languageCount(); ++language) {
        text::setLanguage(language);
        std::vector<std::string> barLetters;
        std::int32_t checked = 0;
        for (std::int32_t m = 0; m < kMenuCount; ++m) {
            const char* caption = shownCaption(kMenuBar[m]);
            ASSERT_NE(letter(caption), 0) << caption;
            barLetters.push_back(lower(letter(caption)));
            std::vector<std::string> letters;
            for (std::int32_t i = 0; i < kMenuBar[m].itemCount; ++i) {
                const MenuItem& item = kMenuBar[m].items[i];
                if (item.caption == nullptr) continue;
                const char* shown = shownCaption(item);
                if (isCheckedItem(item)) {
                    ++checked;
                    EXPECT_EQ(languageOfCommand(item.commandId), language);
                }
                if (language != text::kSourceLanguage && languageOfCommand(item.commandId) < 0) {
                    EXPECT_EQ(test::utf8(shown).find_first_of("\xD0\xD1"), std::string::npos)
                        << text::languageCode(language) << ": " << test::utf8(shown);
                }
                if (letter(shown) != 0) letters.push_back(lower(letter(shown)));
            }
            std::sort(letters.begin(), letters.end());
            EXPECT_EQ(std::adjacent_find(letters.begin(), letters.end()), letters.end())
                << text::languageCode(language) << ", menu " << m;
        }
        std::sort(barLetters.begin(), barLetters.end());
        EXPECT_EQ(std::adjacent_find(barLetters.begin(), barLetters.end()), barLetters.end())
            << text::languageCode(language);
        EXPECT_EQ(checked, 1);
    }
}

}  // namespace
}  // namespace orvanta
