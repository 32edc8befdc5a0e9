// Map codes: every map comes back whole through its code and its link, a
// damaged code is refused and never read as another map, and the map of the
// day is one map per UTC date.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "files/daily_map.h"
#include "files/map_code.h"
#include "files_fixture.h"
#include "support/boards.h"

namespace orvanta::testing {
namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";

MapCodeContent randomMap(std::mt19937& random, std::int32_t width, std::int32_t height, std::int32_t count) {
    MapCodeContent m{width, height, {}};
    for (std::int32_t i = 0; i < count; ++i)
        m.cities.push_back(City{static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(width)),
                                static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(height))});
    return m;
}

void expectSameContent(const MapCodeContent& a, const MapCodeContent& b) {
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    ASSERT_EQ(a.cities.size(), b.cities.size());
    for (std::size_t i = 0; i < a.cities.size(); ++i) {
        EXPECT_EQ(a.cities[i].x, b.cities[i].x) << i;
        EXPECT_EQ(a.cities[i].y, b.cities[i].y) << i;
    }
}

MapCodeStatus decode(const std::string& text) {
    MapCodeContent ignored;
    return decodeMapCode(text, ignored);
}

using MapCode = FilesTest;

TEST_F(MapCode, EveryGridAndCountComesBackWholeThroughCodeAndLink) {
    std::mt19937 random(7);
    const std::pair<std::int32_t, std::int32_t> grids[] = {{11, 11}, {41, 41}, {10000, 10000}, {2, 2},
                                                           {20, 50}, {10000, 3}, {9999, 10000}};
    for (const auto& [w, h] : grids) {
        const std::int32_t most = std::min<std::int32_t>(kMaxCities, w * h);
        for (std::int32_t count = 0; count <= most; ++count) {
            const MapCodeContent map = randomMap(random, w, h, count);
            const std::string code = encodeMapCode(map);
            ASSERT_EQ(code.find_first_not_of(kAlphabet), std::string::npos) << code;
            for (const std::string& text : {code, "https://example.org/orvanta/public.html#" + code,
                                            "  " + code.substr(0, 4) + "-" + code.substr(4) + "\n"}) {
                MapCodeContent back;
                ASSERT_EQ(decodeMapCode(text, back), MapCodeStatus::Ok) << w << "x" << h << " " << count << " " << text;
                expectSameContent(map, back);
            }
        }
    }
    // The corners and the edges of the grid, and several cities on one point,
    // as only a file places them.
    const MapCodeContent crafted{10000, 10000, {{0, 0}, {9999, 9999}, {0, 9999}, {9999, 0}, {5, 5}, {5, 5}, {0, 0}}};
    MapCodeContent back;
    ASSERT_EQ(decodeMapCode(encodeMapCode(crafted), back), MapCodeStatus::Ok);
    expectSameContent(crafted, back);
}

TEST_F(MapCode, IsShortAndForgivesCaseAndLookAlikeLetters) {
    std::mt19937 random(11);
    EXPECT_LE(encodeMapCode(randomMap(random, 10000, 10000, kMaxCities)).size(), 101u);
    EXPECT_LE(encodeMapCode(randomMap(random, 11, 11, kMaxCities)).size(), 31u);
    const MapCodeContent map = randomMap(random, 41, 41, 12);
    std::string code = encodeMapCode(map);
    std::string typed;
    for (char c : code) typed.push_back(c == '0' ? 'o' : c == '1' ? 'l' : static_cast<char>(std::tolower(c)));
    MapCodeContent back;
    ASSERT_EQ(decodeMapCode(typed, back), MapCodeStatus::Ok) << typed;
    expectSameContent(map, back);
}

TEST_F(MapCode, EveryMistypedCharacterAndEveryCutIsRefused) {
    std::mt19937 random(3);
    const MapCodeContent maps[] = {randomMap(random, 11, 11, 8), randomMap(random, 41, 41, 18),
                                   randomMap(random, 10000, 10000, 18), randomMap(random, 20, 50, 5),
                                   randomMap(random, 10000, 10000, 1)};
    for (const MapCodeContent& map : maps) {
        const std::string code = encodeMapCode(map);
        for (std::size_t at = 0; at < code.size(); ++at) {
            for (const char* c = kAlphabet; *c != '\0'; ++c) {
                if (*c == code[at]) continue;
                std::string typo = code;
                typo[at] = *c;
                EXPECT_NE(decode(typo), MapCodeStatus::Ok) << code << " at " << at << " " << *c;
            }
            EXPECT_NE(decode(code.substr(0, at)), MapCodeStatus::Ok) << code << " cut at " << at;
            EXPECT_NE(decode(code.substr(at + 1)), MapCodeStatus::Ok) << code << " without its start " << at;
            EXPECT_NE(decode(code.substr(0, at) + code.substr(at + 1)), MapCodeStatus::Ok) << code << " less " << at;
        }
        EXPECT_NE(decode(code + "0"), MapCodeStatus::Ok) << code;
    }
}

TEST_F(MapCode, BadInputIsNamedForWhatItIs) {
    const std::string code = encodeMapCode(MapCodeContent{11, 11, {{1, 2}, {3, 4}, {5, 6}}});
    EXPECT_EQ(decode(""), MapCodeStatus::Empty);
    EXPECT_EQ(decode(" \n\t"), MapCodeStatus::Empty);
    EXPECT_EQ(decode("https://example.org/public.html#"), MapCodeStatus::NoCodeInLink);
    EXPECT_EQ(decode("https://example.org/public.html"), MapCodeStatus::NotACode);
    EXPECT_EQ(decode("https://example.org/public.html#" + code + "?x=1"), MapCodeStatus::NotACode);
    EXPECT_EQ(decode("Карта!"), MapCodeStatus::NotACode);
    // A later version's first character: three version bits above 1.
    EXPECT_EQ(decode("8" + code.substr(1)), MapCodeStatus::NewerVersion);
    EXPECT_EQ(decode("Z" + code.substr(1)), MapCodeStatus::NewerVersion);
    // Sound codes, made on purpose, of more cities than a board holds.
    std::vector<City> many(19, City{1, 1});
    EXPECT_EQ(decode(encodeMapCode(MapCodeContent{11, 11, many})), MapCodeStatus::TooManyCities);
    EXPECT_EQ(decode(encodeMapCode(MapCodeContent{2, 2, {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 0}}})),
              MapCodeStatus::TooManyCities);
    for (MapCodeStatus s : {MapCodeStatus::Empty, MapCodeStatus::NoCodeInLink, MapCodeStatus::NotACode,
                            MapCodeStatus::Damaged, MapCodeStatus::NewerVersion, MapCodeStatus::TooManyCities})
        EXPECT_GT(std::strlen(mapCodeMessage(s)), 10u);
}

TEST_F(MapCode, OpensAsAMapFileOpensAndARefusedOneChangesNothing) {
    const Board solved = solvedBoard();
    const std::string code = mapCodeOfBoard(solved);
    Board board = test::boardWith(41, {{3, 3}, {7, 7}, {30, 2}});
    mapGenerator.cityCountSetting = 3;
    const Board before = board;
    for (const char* bad : {"", "#", "0000", "hello"}) {
        EXPECT_NE(openMapCode(board, bad), MapCodeStatus::Ok);
        expectSameMap(before, board);
        EXPECT_EQ(mapGenerator.cityCountSetting, 3);
    }
    gameClock.gameFinished = 1;
    ASSERT_EQ(openMapCode(board, code), MapCodeStatus::Ok);
    EXPECT_EQ(board.gridWidth, 11);
    EXPECT_EQ(board.cityCount, solved.cityCount);
    for (std::int32_t i = 0; i < solved.cityCount; ++i) {
        EXPECT_EQ(board.cities[i].x, solved.cities[i].x);
        EXPECT_EQ(board.cities[i].y, solved.cities[i].y);
    }
    // Unsolved, with a fresh route and clock; the settings follow the map.
    EXPECT_EQ(board.solved, 0);
    EXPECT_EQ(board.spectrum.count, 0);
    EXPECT_EQ(board.playerRouteLength, 1);
    EXPECT_EQ(gameClock.gameFinished, 0);
    EXPECT_EQ(gameClock.gameStartTime, 1'700'000'000);
    EXPECT_EQ(mapGenerator.gridSizeSetting.width, 11);
    EXPECT_EQ(mapGenerator.cityCountSetting, solved.cityCount);
    EXPECT_EQ(mapCodeOfBoard(board), code);
}

TEST_F(MapCode, UtcDatesOfTheClock) {
    char text[16];
    const std::pair<std::int32_t, const char*> dates[] = {
        {0, "1970-01-01"},          {-1, "1969-12-31"},         {951'782'400, "2000-02-29"},
        {1'000'000'000, "2001-09-09"}, {1'796'860'799, "2026-12-09"}, {1'796'860'800, "2026-12-10"},
        {2'147'483'647, "2038-01-19"}, {-2'147'483'647 - 1, "1901-12-13"}};
    for (const auto& [clock, expected] : dates) {
        formatDate(utcDateOf(clock), text, sizeof text);
        EXPECT_STREQ(text, expected) << clock;
    }
    EXPECT_EQ(dailySeed(CalendarDate{2026, 12, 10}), 20261210u);
}

TEST_F(MapCode, MapOfTheDayIsOneMapPerDate) {
    // Pinned: the desktops and the web page must show these very cities.
    const std::pair<CalendarDate, const char*> pinned[] = {
        {{2026, 12, 10}, "6FD7G2GVDRFTFV7H92RKR05XNJYHKC6ZW8NQ6VDR1NX1RYERZD1RHST84ZNFV2SMWHFK22N66RZGH7JFMD6C1"},
        {{2026, 12, 11}, "6F2QSYYVMY56549FB6PDTZTF9R9GA73WV2H6VD8JEJEYNA5ESQSB91V8JXS3GNBBV5MHGXHTC5W8T9RPPMRGE"},
        {{2030, 1, 1}, "6FMRFGE49KQCZA33B8DSG3D4811ZJJP391VTTKJEW3NTQS6BPGT5XAREJWYQRDMARB466CJ9Y6ZT0NQ2MHP6R"},
    };
    for (const auto& [date, code] : pinned) {
        Board board;
        generateDailyMap(board, date);
        EXPECT_EQ(board.gridWidth, kDailyGridSide);
        EXPECT_EQ(board.cityCount, kDailyCityCount);
        EXPECT_EQ(board.solved, 0);
        EXPECT_EQ(mapCodeOfBoard(board), code);
        // The same again, whatever the generator drew in between.
        mapGenerator.random.state = 12345;
        Board again;
        generateDailyMap(again, date);
        EXPECT_EQ(mapCodeOfBoard(again), mapCodeOfBoard(board));
    }
}

}  // namespace
}  // namespace orvanta::testing
