// The rasteriser: rectangles, frames and lines, pixel by pixel, in pictures of
// both row orders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "app/draw.h"
#include "session.h"
#include "support/fake_picture.h"

namespace orvanta {
namespace {

constexpr Colour kInk{10, 20, 30};
constexpr Colour kGrey{176, 176, 176};

struct Canvas {
    OffscreenPicture picture;
    DrawingSurface surface;
    Canvas(std::int32_t w, std::int32_t h) {
        EXPECT_TRUE(createPicture(picture, w, h));
        clearPicture(picture, 176);
        surface.picture = &picture;
    }
    ~Canvas() { platform::releasePictureSurface(picture); }
    // The inked pixels.
    std::set<std::pair<int, int>> inked() const {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < picture.pictureHeight; ++y)
            for (int x = 0; x < picture.pictureWidth; ++x)
                if (pixelAt(picture, x, y) != kGrey) out.insert({x, y});
        return out;
    }
};

class DrawTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        fake::resetPictureFakes();
        fake::pictureBottomUp = GetParam();
        fake::rowPaddingBytes = GetParam() ? 0 : 12;
    }
};

TEST_P(DrawTest, ClearSetsEveryByteAndRowsAreAddressedTopDown) {
    Canvas c(3, 2);
    EXPECT_EQ(pixelAt(c.picture, 2, 1), kGrey);
    setPixel(c.picture, 1, 0, kInk);
    setPixel(c.picture, 5, 0, kInk);   // outside: ignored
    setPixel(c.picture, -1, 1, kInk);  // outside: ignored
    EXPECT_EQ(c.inked(), (std::set<std::pair<int, int>>{{1, 0}}));
    // Bytes are blue, green, red, unused; a bottom-up picture keeps row 0 last.
    const std::uint8_t* row0 = pictureRow(c.picture, 0);
    EXPECT_EQ(row0[4], 30);
    EXPECT_EQ(row0[5], 20);
    EXPECT_EQ(row0[6], 10);
    EXPECT_EQ(row0, GetParam() ? c.picture.pixels + 4 * 3 : c.picture.pixels);
}

TEST_P(DrawTest, CentredRectanglesExcludeRightAndBottomAndFramesLieInside) {
    Canvas c(12, 12);
    EXPECT_TRUE(fillCentredRect(c.surface, kInk, 5, 5, 5, 5));
    std::set<std::pair<int, int>> expected;
    for (int y = 3; y < 8; ++y)
        for (int x = 3; x < 8; ++x) expected.insert({x, y});
    EXPECT_EQ(c.inked(), expected);

    Canvas f(12, 12);
    EXPECT_TRUE(frameCentredRect(f.surface, kInk, 5, 5, 5, 5));
    expected.erase({4, 4}), expected.erase({5, 4}), expected.erase({6, 4});
    expected.erase({4, 5}), expected.erase({5, 5}), expected.erase({6, 5});
    expected.erase({4, 6}), expected.erase({5, 6}), expected.erase({6, 6});
    EXPECT_EQ(f.inked(), expected);

    // An even size puts the extra pixel right and below; halves truncate toward zero.
    Canvas e(12, 12);
    fillCentredRect(e.surface, kInk, 0, 0, 4, 3);
    expected.clear();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) expected.insert({x, y});  // left -2, top -1, clipped
    EXPECT_EQ(e.inked(), expected);

    EXPECT_FALSE(fillCentredRect(e.surface, kInk, 5, 5, 0, 5));
    EXPECT_FALSE(frameCentredRect(e.surface, kInk, 5, 5, 5, -1));
}

TEST_P(DrawTest, CornerFrameIncludesBothEndsWhateverTheOrder) {
    Canvas a(10, 10), b(10, 10);
    frameCornerRect(a.surface, kInk, 2, 6, 1, 4);
    frameCornerRect(b.surface, kInk, 6, 2, 4, 1);
    EXPECT_EQ(a.inked(), b.inked());
    EXPECT_EQ(a.inked().size(), 5u * 2 + 2u * 2);
    EXPECT_EQ(pixelAt(a.picture, 2, 1), kInk);
    EXPECT_EQ(pixelAt(a.picture, 6, 4), kInk);
    EXPECT_EQ(pixelAt(a.picture, 4, 2), kGrey);
    EXPECT_EQ(pixelAt(a.picture, 7, 4), kGrey);

    // A frame far larger than the picture paints only its visible edges.
    Canvas big(10, 10);
    frameCornerRect(big.surface, kInk, -2000000000, 2000000000, 5, 2000000000);
    std::set<std::pair<int, int>> row5;
    for (int x = 0; x < 10; ++x) row5.insert({x, 5});
    EXPECT_EQ(big.inked(), row5);
}

TEST_P(DrawTest, LinesLeaveOutTheirEndPointInEveryDirection) {
    const int ends[][4] = {{1, 1, 8, 1}, {8, 1, 1, 1}, {3, 0, 3, 7}, {3, 7, 3, 0}, {0, 0, 7, 7}, {7, 7, 0, 0}};
    for (const auto& e : ends) {
        Canvas c(10, 10);
        selectPen(c.surface, Pen{PenStyle::Solid, 1, kInk});
        drawLine(c.surface, e[0], e[1], e[2], e[3]);
        const auto inked = c.inked();
        EXPECT_EQ(inked.size(), 7u);
        EXPECT_TRUE(inked.count({e[0], e[1]}));
        EXPECT_FALSE(inked.count({e[2], e[3]}));
    }
    Canvas dot(10, 10);
    selectPen(dot.surface, Pen{PenStyle::Solid, 1, kInk});
    drawLine(dot.surface, 4, 4, 4, 4);
    EXPECT_TRUE(dot.inked().empty());
}

TEST_P(DrawTest, ShallowLineStepsAtTheNearestRow) {
    Canvas c(12, 6);
    selectPen(c.surface, Pen{PenStyle::Solid, 1, kInk});
    drawLine(c.surface, 0, 0, 10, 4);
    // Row = x * 0.4 rounded, halves up; the end point (10, 4) is left out.
    const std::set<std::pair<int, int>> expected{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2},
                                                 {5, 2}, {6, 2}, {7, 3}, {8, 3}, {9, 4}};
    EXPECT_EQ(c.inked(), expected);
}

TEST_P(DrawTest, DottedPenDrawsThreeOnThreeOffFromTheStart) {
    Canvas c(20, 3);
    const Pen previous = selectPen(c.surface, Pen{PenStyle::Dotted, 1, kInk});
    EXPECT_EQ(previous.style, PenStyle::Solid);
    drawLine(c.surface, 0, 1, 14, 1);
    std::set<std::pair<int, int>> expected{{0, 1}, {1, 1}, {2, 1}, {6, 1}, {7, 1}, {8, 1}, {12, 1}, {13, 1}};
    EXPECT_EQ(c.inked(), expected);
    EXPECT_EQ(selectPen(c.surface, previous).style, PenStyle::Dotted);
}

TEST_P(DrawTest, WidePenPaintsASquareAroundEveryPixel) {
    Canvas c(10, 10);
    selectPen(c.surface, Pen{PenStyle::Solid, 3, kInk});
    drawLine(c.surface, 2, 5, 6, 5);
    std::set<std::pair<int, int>> expected;
    for (int y = 4; y <= 6; ++y)
        for (int x = 1; x <= 6; ++x) expected.insert({x, y});
    EXPECT_EQ(c.inked(), expected);
}

// A line between points far outside the picture is clipped, costs no more than
// one across the picture, and paints the same pixels as the plain algorithm.
TEST_P(DrawTest, FarLinesAreClippedToTheSamePixels) {
    Canvas c(40, 30);
    selectPen(c.surface, Pen{PenStyle::Solid, 1, kInk});
    const std::int64_t x0 = 20 - 500000000, y0 = 15 - 300000000, x1 = 20 + 400000000, y1 = 15 + 240000001;
    drawLine(c.surface, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0), static_cast<std::int32_t>(x1),
             static_cast<std::int32_t>(y1));
    // Reference: for each visible column, the row the line rounds to.
    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    std::set<std::pair<int, int>> expected;
    for (int x = 0; x < 40; ++x) {
        const std::int64_t k = x - x0;
        const std::int64_t m = (2 * k * dy + dx) / (2 * dx);
        const std::int64_t y = y0 + m;
        if (y >= 0 && y < 30) expected.insert({x, static_cast<int>(y)});
    }
    ASSERT_GT(expected.size(), 30u);
    EXPECT_EQ(c.inked(), expected);

    // Coordinates at the ends of int32 are held, not overflowed.
    Canvas h(16, 8);
    selectPen(h.surface, Pen{PenStyle::Solid, 1, kInk});
    drawLine(h.surface, INT32_MIN, 3, INT32_MAX, 3);
    EXPECT_EQ(h.inked().size(), 16u);
}

INSTANTIATE_TEST_SUITE_P(RowOrders, DrawTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "BottomUp" : "TopDownPadded";
                         });

TEST(CreatePicture, RefusesEmptyOrHugeSizesAndRecordsTheSize) {
    fake::resetPictureFakes();
    OffscreenPicture p;
    EXPECT_FALSE(createPicture(p, 0, 10));
    EXPECT_EQ(p.pixels, nullptr);
    EXPECT_EQ(p.pictureWidth, 0);
    EXPECT_EQ(p.pictureHeight, 10);
    EXPECT_FALSE(createPicture(p, 40000, 40000));
    EXPECT_EQ(p.pictureWidth, 40000);
    fake::failPictureCreation = true;
    EXPECT_FALSE(createPicture(p, 10, 10));
    EXPECT_EQ(p.pixels, nullptr);
    EXPECT_EQ(fake::pictureLog.creations, 0);
}

}  // namespace
}  // namespace orvanta
