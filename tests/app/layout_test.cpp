// Board layout, window points and the picking of cities, including grids and
// coordinates far beyond anything the generator makes.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "app/controller.h"
#include "app/renderer.h"
#include "session.h"
#include "support/boards.h"

namespace orvanta {
namespace {

using test::boardOf;

// A board laid out by hand: grid point (0, 0) at window point (x, y).
BoardLayout at(std::int32_t x, std::int32_t y, double scale) {
    BoardLayout layout;
    layout.originX = x;
    layout.originY = y;
    layout.scale = scale;
    return layout;
}

TEST(Layout, BoardTakesEightyPercentOfTheLimitingSideCentred) {
    struct Case {
        std::int32_t side, w, h;
        double scale;
        std::int32_t ox, oy, fx, fy;
    } cases[] = {
        {11, 600, 400, 32, 140, 360, 460, 40},   {41, 600, 400, 8, 140, 360, 460, 40},
        {11, 624, 421, 33.68, 143, 378, 479, 41}, {11, 300, 500, 24, 30, 370, 270, 130},
    };
    for (const Case& c : cases) {
        const BoardLayout l = layoutBoard(boardOf(c.side, {}), c.w, c.h);
        EXPECT_NEAR(l.scale, c.scale, 1e-9) << c.side << " " << c.w << "x" << c.h;
        EXPECT_EQ(l.originX, c.ox);
        EXPECT_EQ(l.originY, c.oy);
        EXPECT_EQ(l.farX, c.fx);
        EXPECT_EQ(l.farY, c.fy);
    }
    const BoardLayout l = layoutBoard(boardOf(11, {}), 624, 421);
    const WindowPoint p = gridToWindow(l, 3, 7);
    EXPECT_EQ(p.x, 244);
    EXPECT_EQ(p.y, 142);
}

// A phone's picture: the board as large as the picture allows, every city
// marker (2 pixels beyond the outline) whole inside it, centred.
TEST(Layout, SmallScreenBoardFillsThePictureWithItsMarkersWhole) {
    struct Case {
        std::int32_t side, w, h;
    } cases[] = {{11, 390, 560}, {41, 360, 420}, {10000, 390, 560}, {11, 654, 325}, {41, 200, 201}, {11, 30, 27}};
    for (const Case& c : cases) {
        const FrameLayout l = layoutSmallScreen(boardOf(c.side, {}), c.w, c.h);
        const std::int32_t limiting = c.w < c.h ? c.w : c.h;
        EXPECT_GE(l.board.originX - 2, 0) << c.side << " " << c.w << "x" << c.h;
        EXPECT_LT(l.board.farX + 2, c.w);
        EXPECT_GE(l.board.farY - 2, 0);
        EXPECT_LT(l.board.originY + 2, c.h);
        EXPECT_GE(l.board.farX - l.board.originX, limiting - 26) << c.side << " " << c.w << "x" << c.h;
        EXPECT_LE(std::abs((l.board.originX + l.board.farX) - c.w), 2);
        // The status texts keep the desktops' places: the page shows them elsewhere.
        EXPECT_EQ(l.panel.gameLineY, layoutFrame(boardOf(c.side, {}), c.w, c.h).panel.gameLineY);
    }
}

TEST(Layout, HugeGridsAndCoordinatesStayWithinTheWindowCoordinateRange) {
    Board b = boardOf(11, {});
    b.gridWidth = INT32_MAX;
    b.gridHeight = 2;
    const BoardLayout l = layoutBoard(b, 640, 480);
    EXPECT_GT(l.scale, 0.0);
    EXPECT_GE(l.originX, 0);
    EXPECT_LE(l.farX, 640);

    BoardLayout big;
    big.originX = 100, big.originY = 400, big.scale = 40.0;
    const WindowPoint far = gridToWindow(big, INT32_MAX, INT32_MIN);
    EXPECT_EQ(far.x, kWindowCoordinateLimit);
    EXPECT_EQ(far.y, kWindowCoordinateLimit);
    const WindowPoint near = gridToWindow(big, INT32_MIN, INT32_MAX);
    EXPECT_EQ(near.x, -kWindowCoordinateLimit);
    EXPECT_EQ(near.y, -kWindowCoordinateLimit);
    // Ordinary points truncate toward zero on both sides of the origin.
    big.originX = 0, big.originY = 0, big.scale = 2.5;
    EXPECT_EQ(gridToWindow(big, -1, 1).x, -2);
    EXPECT_EQ(gridToWindow(big, -1, 1).y, -2);
}

TEST(WindowToGrid, RoundsHalfAwayFromZeroAndHoldsExtremes) {
    const BoardLayout l = at(100, 100, 10.0);
    EXPECT_EQ(windowToGrid(l, 125, 100).x, 3);   // 2.5 -> 3
    EXPECT_EQ(windowToGrid(l, 75, 100).x, -3);   // -2.5 -> -3
    EXPECT_EQ(windowToGrid(l, 124, 100).x, 2);   // 2.4 -> 2
    EXPECT_EQ(windowToGrid(l, 100, 100).x, 0);
    EXPECT_EQ(windowToGrid(l, 100, 74).y, 3);    // window y grows down
    EXPECT_EQ(windowToGrid(l, 100, 126).y, -3);
    // A tiny scale (a huge grid in a small window) yields values beyond int32.
    const City c = windowToGrid(at(INT32_MIN, INT32_MAX, 1e-9), INT32_MAX, INT32_MIN);
    EXPECT_EQ(c.x, INT32_MAX);
    EXPECT_EQ(c.y, INT32_MAX);
    EXPECT_EQ(windowToGrid(at(1, 0, 0.0), 0, 0).x, INT32_MIN);  // -1 / 0
}

// A click on the window point where a grid point is drawn lands on that grid
// point wherever grid points lie two pixels or more apart, in every window
// shape and layout: the drawing and the clicks agree on where the board is.
TEST(WindowToGrid, UndoesGridToWindowWhereGridPointsArePixelsApart) {
    struct Case {
        std::int32_t side, w, h;
    } cases[] = {{11, 600, 400}, {41, 624, 421}, {11, 301, 700}, {41, 140, 110}};
    for (const Case& c : cases) {
        const Board b = boardOf(c.side, {});
        for (const BoardLayout& l : {layoutBoard(b, c.w, c.h), layoutSmallScreen(b, c.w, c.h).board}) {
            ASSERT_GE(l.scale, 2.0) << c.side << " " << c.w << "x" << c.h;
            for (std::int32_t gx = 0; gx < c.side; ++gx)
                for (std::int32_t gy = 0; gy < c.side; ++gy) {
                    const WindowPoint p = gridToWindow(l, gx, gy);
                    const City back = windowToGrid(l, p.x, p.y);
                    ASSERT_EQ(back.x, gx) << c.side << " " << c.w << "x" << c.h << " at " << gx << "," << gy;
                    ASSERT_EQ(back.y, gy) << c.side << " " << c.w << "x" << c.h << " at " << gx << "," << gy;
                }
        }
    }
}

TEST(PickCity, NearestCityWithinATenthOfTheBoardWidth) {
    // Grid 11 at scale 10: window x = 100 + 10 gx, y = 200 - 10 gy; radius 10.
    const Board b = boardOf(11, {{0, 0}, {5, 5}, {8, 2}});
    EXPECT_EQ(pickCity(b, at(100, 200, 10.0), 152, 147), 1);
    EXPECT_EQ(pickCity(b, at(100, 200, 10.0), 180, 190), 2);
    EXPECT_EQ(pickCity(b, at(100, 200, 10.0), 100, 210), 0);  // exactly the radius
    EXPECT_EQ(pickCity(b, at(100, 200, 10.0), 100, 211), -1); // one pixel farther
    EXPECT_EQ(pickCity(b, at(100, 200, 10.0), 106, 208), 0);  // 6, 8: distance 10
    EXPECT_EQ(pickCity(b, at(100, 200, 10.0), 130, 120), -1);
    // Without cities the answer is city 0.
    EXPECT_EQ(pickCity(boardOf(11, {}), at(100, 200, 10.0), 5000, 5000), 0);
}

// Squared pixel distances beyond 2^31 neither overflow nor upset the order:
// comparing by the difference of 32-bit squares picks the wrong city here.
TEST(PickCity, FarCitiesAndHugeCoordinatesAreOrderedCorrectly) {
    Board b = boardOf(100000, {{0, 0}, {60000, 0}, {99999, 0}});
    // Scale 1: windows points 0, 60000 and 99999 on row 1000.
    EXPECT_EQ(pickCity(b, at(0, 1000, 1.0), 99000, 1000), 2);
    EXPECT_EQ(pickCity(b, at(0, 1000, 1.0), 59000, 1000), 1);
    EXPECT_EQ(pickCity(b, at(0, 1000, 1.0), 5000, 1000), 0);
    EXPECT_EQ(pickCity(b, at(0, 1000, 1.0), 30000, 1000), -1);

    // Cities at the ends of int32, from a damaged file, at a large scale: their
    // window points are held at +-2^29, where only a click held there finds them.
    b.cities[1] = City{INT32_MAX, INT32_MIN};
    b.cities[2] = City{INT32_MIN, INT32_MAX};
    EXPECT_EQ(pickCity(b, at(0, 1000, 1000.0), 5, 1000), 0);
    EXPECT_EQ(pickCity(b, at(0, 1000, 1000.0), INT32_MAX, INT32_MAX), 1);
    EXPECT_EQ(pickCity(b, at(0, 0, 1e300), INT32_MIN, INT32_MIN), 2);
}

}  // namespace
}  // namespace orvanta
