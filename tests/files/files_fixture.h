// Shared set-up of the file tests: fresh globals, fakes and a scratch directory.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "core/board.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "core/solver.h"
#include "files/board_records.h"
#include "files/current_document.h"
#include "files/file_commands.h"
#include "files/file_dialogs.h"
#include "files/manual_and_number.h"
#include "files/records.h"
#include "files/safe_write.h"
#include "support/fake_clock.h"
#include "support/fake_file_services.h"
#include "support/temp_dir.h"

namespace orvanta::testing {

class FilesTest : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override {
        ASSERT_FALSE(dir.path.empty());
        fake::resetClock(1'700'000'000);
        fake::resetFileServices();
        // The records of the layers below the application, as the program starts.
        document = Document{};
        mapGenerator = MapGenerator{};
        gameClock = GameClock{};
    }

    // A solved 11 by 11 board with six cities, and stale coordinates in the
    // unused slots as an earlier, larger map would leave them.
    static Board solvedBoard() {
        Board b;
        for (std::int32_t i = 0; i < kMaxCities; ++i) b.cities[i] = City{100 + i, 9000 - i};
        std::int32_t w = 11, h = 11, n = 0;
        b.configureBoard(w, h, n);
        const City points[] = {{1, 1}, {9, 2}, {5, 9}, {0, 6}, {10, 10}, {3, 4}};
        for (const City& c : points) b.addCity(c.x, c.y);
        EXPECT_TRUE(ensureSolved(b, Solve::Forced));
        b.spectrum.reserved = 0x12345678;
        return b;
    }

public:
    static void expectSameMap(const Board& a, const Board& b) {
        EXPECT_EQ(a.gridWidth, b.gridWidth);
        EXPECT_EQ(a.gridHeight, b.gridHeight);
        EXPECT_EQ(a.cityCount, b.cityCount);
        EXPECT_EQ(a.solved, b.solved);
        EXPECT_DOUBLE_EQ(a.lengthScale, b.lengthScale);
        EXPECT_DOUBLE_EQ(a.solutionLength, b.solutionLength);
        for (std::int32_t i = 0; i < kMaxCities; ++i) {
            EXPECT_EQ(a.cities[i].x, b.cities[i].x) << "city " << i;
            EXPECT_EQ(a.cities[i].y, b.cities[i].y) << "city " << i;
        }
        for (std::int32_t i = 0; i < kRouteCapacity; ++i) EXPECT_EQ(a.solutionRoute[i], b.solutionRoute[i]) << i;
        EXPECT_EQ(0, std::memcmp(&a.spectrum, &b.spectrum, sizeof(PathSpectrum)));
    }
};

}  // namespace orvanta::testing
