// The status texts: exact strings, positions and colours in both editions.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "app/renderer.h"
#include "app/status_panel.h"
#include "core/edition.h"
#include "core/solver.h"
#include "session.h"
#include "support/boards.h"
#include "support/fake_picture.h"

namespace orvanta {
namespace {

using test::texts;

constexpr Colour kStrong{80, 80, 80};
constexpr Colour kDim{128, 128, 128};

// The panel drawn from a frame built by hand, as a redraw hands it over; no
// global of the program is set.
class StatusPanel : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetPictureFakes();
        // A 4 by 4 square; its tour around is 16 units, the crossed tours 8 + 8 sqrt 2.
        board = test::boardOf(11, {{0, 0}, {4, 0}, {4, 4}, {0, 4}});
        frame.board = &board;
    }
    void draw(std::int32_t height = 400) {
        fake::pictureLog.texts.clear();
        drawStatusPanel(frame, surface, layoutPanel(600, height));
    }
    // A closed game of 8 picks at 37 s, the route 3 % longer than the optimum.
    void closedGame(bool solved) {
        frame.mode = AppMode::Game;
        frame.routeClosed = true;
        frame.elapsedSeconds = 37;
        board.solved = solved;
        board.solutionLength = solved ? 50.0 : 0.0;
        board.playerLength = 51.5;
        board.playerRouteLength = 9;
    }
    Board board;
    Frame frame;
    DrawingSurface surface;
};

TEST_F(StatusPanel, ModeLineInEveryModeAndTheGameLineOnlyInGameMode) {
    frame.mode = AppMode::Generator;
    board.cityCount = 8;
    draw();
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_EQ(texts()[0], "Генератор:    Городов  8    Сетка 11x11    Решение НЕизвестно");
    EXPECT_EQ(fake::pictureLog.texts[0].x, 8);
    EXPECT_EQ(fake::pictureLog.texts[0].y, 12);
    EXPECT_EQ(fake::pictureLog.texts[0].colour, kStrong);

    frame.mode = AppMode::Editor;
    board.cityCount = 0;
    draw();
    EXPECT_EQ(texts(), std::vector<std::string>{"Редактор:    Городов  0    Сетка 11x11    Решение НЕизвестно"});

    frame.mode = AppMode::Game;
    board.cityCount = 4;
    board.solved = 1;
    board.spectrum.count = 0;
    draw(421);
    ASSERT_EQ(texts().size(), isProfi() ? 3u : 2u);  // Profi: the (empty) spectrum's header
    EXPECT_EQ(texts()[0], "Игра:    Городов  4    Сетка 11x11    Решение известно");
    EXPECT_EQ(fake::pictureLog.texts.back().x, 8);
    EXPECT_EQ(fake::pictureLog.texts.back().y, 397);
    EXPECT_EQ(fake::pictureLog.texts.back().colour, kStrong);
}

TEST_F(StatusPanel, GameLineVerdictsOfTheEdition) {
    closedGame(true);
    draw();
    if constexpr (isProfi()) {
        EXPECT_EQ(texts().back(), "Время  37 сек    Городов в пути  8    Суммарный путь 103");
    } else {
        EXPECT_EQ(texts().back(), "Время  37 сек    Городов в пути  8    Результат в пределах 105 % от решения ЗК");
    }

    closedGame(false);
    draw();
    if constexpr (isProfi()) {
        // Without an optimum the Profi line shows the scaled length itself.
        EXPECT_EQ(texts().back(), "Время  37 сек    Городов в пути  8    Суммарный путь 51.5");
    } else {
        EXPECT_EQ(texts().back(), "Время  37 сек    Городов в пути  8    Результат оценить невозможно");
    }

    for (const bool solved : {false, true}) {
        closedGame(solved);
        frame.routeClosed = false;
        frame.elapsedSeconds = 1234;
        board.playerRouteLength = 101;
        draw();
        if constexpr (isProfi()) {
            EXPECT_EQ(texts().back(), solved ? "Время 1234 сек    Городов в пути 100    Суммарный путь 103"
                                             : "Время 1234 сек    Городов в пути 100    Суммарный путь 51.5");
        } else {
            EXPECT_EQ(texts().back(), "Время 1234 сек    Городов в пути 100    Путь не замкнут");
        }
    }
}

// The desktop may set a numeric locale that writes a decimal comma; the
// program's texts keep the point.
TEST_F(StatusPanel, NumbersKeepThePointUnderADecimalCommaLocale) {
    if constexpr (!isProfi()) GTEST_SKIP() << "only the Profi edition shows fractions";
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : {"ru_RU.UTF-8", "de_DE.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) == nullptr) {
            std::setlocale(LC_NUMERIC, previous.c_str());
            GTEST_SKIP() << name << " is not installed (scripts/install-deps.sh test generates it)";
        }
        ASSERT_TRUE(ensureSolved(board, Solve::Forced));
        closedGame(false);
        board.solved = 1;  // solved, but without an optimum: the scaled length 51.5
        draw();
        ASSERT_EQ(texts().size(), 7u) << name;
        EXPECT_EQ(texts()[4], "120.711") << name;
        EXPECT_EQ(texts().back(), "Время  37 сек    Городов в пути  8    Суммарный путь 51.5") << name;
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST_F(StatusPanel, SpectrumListOnlyInProfiAndOnlyWhenSolved) {
    frame.mode = AppMode::Editor;
    draw();
    EXPECT_EQ(texts().size(), 1u);  // not solved: no list in either edition

    ASSERT_TRUE(ensureSolved(board, Solve::Forced));
    draw();
    if constexpr (!isProfi()) {
        EXPECT_EQ(texts().size(), 1u);
        return;
    }
    // The tour around the square, met once in each direction, and the two
    // crossed tours, each met twice.
    ASSERT_EQ(texts().size(), 6u);
    const auto& t = fake::pictureLog.texts;
    EXPECT_EQ(texts()[1], "Спектр путей");
    EXPECT_EQ(t[1].x, 8);
    EXPECT_EQ(t[1].y, 40);
    EXPECT_EQ(t[1].colour, kDim);
    EXPECT_EQ(texts()[2], "100");
    EXPECT_EQ(t[2].x, 8);
    EXPECT_EQ(t[2].y, 56);
    EXPECT_EQ(t[2].colour, kStrong);
    EXPECT_EQ(texts()[3], "2");
    EXPECT_EQ(t[3].x, 72);
    EXPECT_EQ(t[3].y, 56);
    EXPECT_EQ(t[3].colour, kDim);
    EXPECT_EQ(texts()[4], "120.711");
    EXPECT_EQ(t[4].y, 72);
    EXPECT_EQ(texts()[5], "4");
    EXPECT_EQ(t[5].x, 72);
    EXPECT_EQ(t[5].y, 72);
    EXPECT_EQ(t[5].colour, kStrong);

    // Two cities: one row whose count 1 is drawn strong.
    board.removeCity(3);
    board.removeCity(2);
    ASSERT_TRUE(ensureSolved(board, Solve::Forced));
    draw();
    ASSERT_EQ(texts().size(), 4u);
    EXPECT_EQ(texts()[2], "100");
    EXPECT_EQ(texts()[3], "1");
    EXPECT_EQ(t[3].colour, kStrong);

    // A damaged count lists at most 20 rows, the last at y 360.
    board.spectrum.count = 1000;
    draw();
    EXPECT_EQ(texts().size(), 2u + 2u * 20u);
    EXPECT_EQ(t.back().y, 360);
}

// Long counts are shortened to fit between their column and the board's frame;
// a count at the top of the range says it is a lower bound in every form.
TEST_F(StatusPanel, CountsFitTheirCellAndTheTopOfTheRangeIsALowerBound) {
    if constexpr (!isProfi()) GTEST_SKIP() << "only the Profi edition lists the spectrum";
    board.solved = 1;
    board.spectrum.count = 4;
    const std::int32_t counts[] = {std::numeric_limits<std::int32_t>::max(), 123456789, 2,
                                   std::numeric_limits<std::int32_t>::min()};
    for (std::int32_t i = 0; i < 4; ++i) {
        board.spectrum.lengths[i] = 1.0 + i;
        board.spectrum.counts[i] = counts[i];
    }
    const auto countsDrawn = [&](const PanelLayout& layout) {
        fake::pictureLog.texts.clear();
        drawStatusPanel(frame, surface, layout);
        std::vector<std::string> drawn;
        for (const auto& text : fake::pictureLog.texts) {
            if (text.x != layout.spectrumCountX) continue;
            EXPECT_LE(text.x + platform::textWidth(surface, text.text.c_str()), layout.columnRight) << text.text;
            drawn.push_back(test::utf8(text.text));
        }
        return drawn;
    };
    fake::textAdvance = 8;
    PanelLayout wide = layoutPanel(640, 480);
    EXPECT_EQ(countsDrawn(wide), (std::vector<std::string>{"2147483647+", "123456789", "2", "-2147483648"}));

    wide.columnRight = wide.spectrumCountX + 72;
    EXPECT_EQ(countsDrawn(wide), (std::vector<std::string>{"2147 млн+", "123456789", "2", "-2147 млн"}));

    // The default window, 7 pixels a character: the cell ends short of the frame.
    fake::textAdvance = 7;
    const FrameLayout window = layoutFrame(board, 640, 459);
    EXPECT_LT(window.panel.columnRight, window.board.originX - 6);
    EXPECT_EQ(countsDrawn(window.panel), (std::vector<std::string>{"2 млрд+", "123 млн", "2", "-2 млрд"}));
    // A board's counts keep their values: only the text is shorter.
    EXPECT_EQ(board.spectrum.counts[0], std::numeric_limits<std::int32_t>::max());
}

// Where the board leaves room for the texts: the leftmost pixel drawn (the
// fake draws no text into the pixels, so every pixel drawn is the board's).
std::int32_t boardLeftEdge(const OffscreenPicture& picture) {
    for (std::int32_t x = 0; x < picture.pictureWidth; ++x)
        for (std::int32_t y = 0; y < picture.pictureHeight; ++y)
            if (pixelAt(picture, x, y) != colours::background) return x;
    return picture.pictureWidth;
}

// The solve's progress, three rows left of the board: each row whole in the
// picture, clear of the board's frame and of every other text; where the font
// is too wide for the column, the rows take their short forms. At a screen
// scale of 1.5 line boxes and fonts are half as large again.
TEST_F(StatusPanel, ProgressRowsStayWholeApartAndOffTheBoard) {
    frame.mode = AppMode::Game;
    frame.solving = true;
    frame.solveProgress = 0.4567;
    frame.solveSeconds = 12;
    const std::vector<std::string> full{"Поиск решения…", "45.67 %, 12 сек", "Esc — прервать"};
    const std::vector<std::string> shortened{"Поиск…", "45 %, 12 с", "Esc — стоп"};
    const struct {
        double scale;
        std::int32_t advance;
        const std::vector<std::string>& rows;
    } cases[] = {{1.0, 7, full}, {1.0, 8, shortened}, {1.5, 11, full}, {1.5, 12, shortened}};
    for (const auto& c : cases) {
        fake::textAdvance = c.advance;
        fake::pictureLog.texts.clear();
        const auto w = static_cast<std::int32_t>(640 * c.scale), h = static_cast<std::int32_t>(480 * c.scale);
        const FrameLayout layout = layoutFrameAtScale(board, w, h, c.scale);
        OffscreenPicture picture;
        ASSERT_TRUE(createPicture(picture, w, h));
        ASSERT_EQ(paintPicture(picture, &frame, layout), &picture);
        const std::int32_t boardLeft = boardLeftEdge(picture);
        platform::releasePictureSurface(picture);

        const auto& drawn = fake::pictureLog.texts;
        ASSERT_EQ(drawn.size(), 5u) << "the mode line, three rows, the game line";
        const auto lineBox = static_cast<std::int32_t>(16 * c.scale);
        std::vector<std::string> rows;
        for (std::size_t i = 1; i <= 3; ++i) {
            const std::string row = test::utf8(drawn[i].text);
            rows.push_back(row);
            const fake::TextBox box = fake::boxOf(drawn[i], lineBox);
            EXPECT_GE(box.left, 0) << row;
            EXPECT_GE(box.top, 0) << row;
            EXPECT_LE(box.bottom, h) << row;
            EXPECT_LE(box.right, boardLeft) << row << " runs over the board at scale " << c.scale;
            for (std::size_t j = 0; j < drawn.size(); ++j)
                EXPECT_TRUE(j == i || !fake::overlap(box, fake::boxOf(drawn[j], lineBox)))
                    << row << " overlaps " << test::utf8(drawn[j].text) << " at scale " << c.scale;
        }
        EXPECT_EQ(rows, c.rows) << "scale " << c.scale << ", " << c.advance << " pixels a character";
    }
}

// A frame and a layout built by hand draw with no global set: the panel and the
// board read nothing else.
TEST(Frame, BuiltByHandDrawsWithNoGlobalSet) {
    fake::resetPictureFakes();
    Board board;
    std::int32_t w = 11, h = 11, n = 0;
    board.configureBoard(w, h, n);
    for (const City c : {City{0, 0}, City{4, 0}, City{4, 4}}) board.addCity(c.x, c.y);
    board.extendPlayerRoute(1);
    board.measurePlayerRoute();

    Frame frame;
    frame.board = &board;
    frame.mode = AppMode::Game;
    frame.elapsedSeconds = 42;
    frame.solving = true;
    frame.solveProgress = 0.125;
    frame.solveSeconds = 7;
    FrameLayout layout = layoutFrame(board, 300, 200);
    layout.panel.gameLineY = 150;
    layout.panel.columnRight = 300;  // room for the progress in full

    OffscreenPicture picture;
    ASSERT_TRUE(createPicture(picture, 300, 200));
    ASSERT_EQ(paintPicture(picture, &frame, layout), &picture);
    const auto strings = texts();
    ASSERT_GE(strings.size(), 5u);
    EXPECT_EQ(strings[0], "Игра:    Городов  3    Сетка 11x11    Решение НЕизвестно");
    EXPECT_EQ(strings[1], "Поиск решения…");
    EXPECT_EQ(strings[2], "12.50 %, 7 сек");
    EXPECT_EQ(strings[3], "Esc — прервать");
    EXPECT_EQ(strings.back(), isProfi() ? "Время  42 сек    Городов в пути  1    Суммарный путь 20"
                                        : "Время  42 сек    Городов в пути  1    Путь не замкнут");
    EXPECT_EQ(fake::pictureLog.texts.back().y, 150);
    // City 0 is the start (filled), city 1 the last pick (filled in the marker
    // colour); the route runs through their centres.
    const WindowPoint start = gridToWindow(layout.board, 0, 0);
    const WindowPoint last = gridToWindow(layout.board, 4, 0);
    EXPECT_EQ(pixelAt(picture, start.x, start.y - 1), colours::visited);
    EXPECT_EQ(pixelAt(picture, last.x, last.y - 1), colours::marker);
    platform::releasePictureSurface(picture);
}

TEST(Grade, SmallestMultipleOfFiveAboveTheRatioNeverBelow105) {
    const std::pair<double, std::int32_t> table[] = {
        {100, 105}, {103, 105}, {105, 110}, {112, 115}, {120, 125}, {150, 155}, {99.99999999, 105},
    };
    for (const auto& [ratio, grade] : table) EXPECT_EQ(gradePercent(ratio), grade) << ratio;
}

TEST(Grade, HugeOrMeaninglessRatiosAreHeldWithinInt32) {
    const std::int32_t top = std::numeric_limits<std::int32_t>::max() / 5 * 5;
    EXPECT_EQ(gradePercent(1e12), top);
    EXPECT_EQ(gradePercent(std::numeric_limits<double>::infinity()), top);
    EXPECT_EQ(gradePercent(std::numeric_limits<double>::max()), top);
    EXPECT_EQ(gradePercent(-1e12), std::numeric_limits<std::int32_t>::min() / 5 * 5);
    EXPECT_EQ(gradePercent(std::nan("")), 105);
    EXPECT_EQ(gradePercent(1.0e9), 5 * (21 + 199999980));
}

TEST(LengthRatio, PercentOfTheOptimumOrTheLengthItself) {
    Board b;
    b.playerLength = 60.0;
    b.solutionLength = 48.0;
    EXPECT_DOUBLE_EQ(lengthRatio(b), 125.0);
    b.solutionLength = 0.0;
    EXPECT_DOUBLE_EQ(lengthRatio(b), 60.0);
    b.solutionLength = -3.0;
    EXPECT_DOUBLE_EQ(lengthRatio(b), 60.0);
}

}  // namespace
}  // namespace orvanta
