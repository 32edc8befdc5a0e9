#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/edition.h"
#include "core/text1251.h"
#include "files_fixture.h"

namespace orvanta::testing {
namespace {

using OpenFile = FilesTest;

// The globals an open may change, to prove that a refused open changed none.
struct Snapshot {
    Board board;
    GridSize grid = mapGenerator.gridSizeSetting;
    std::int32_t count = mapGenerator.cityCountSetting;
    std::string name = document.name;
    std::vector<std::int32_t> stamps{document.stampWords, document.stampWords + 4};
    std::int32_t clock[4] = {gameClock.gameStartTime, gameClock.elapsedSeconds, gameClock.gameFinished, gameClock.routeClosed};

    explicit Snapshot(const Board& b) : board(b) {}
    void expectUnchanged(const Board& now) const {
        FilesTest::expectSameMap(board, now);
        EXPECT_EQ(now.playerRouteLength, board.playerRouteLength);
        EXPECT_EQ(mapGenerator.gridSizeSetting.width, grid.width);
        EXPECT_EQ(mapGenerator.gridSizeSetting.height, grid.height);
        EXPECT_EQ(mapGenerator.cityCountSetting, count);
        EXPECT_EQ(std::string(document.name), name);
        EXPECT_EQ(std::vector<std::int32_t>(document.stampWords, document.stampWords + 4), stamps);
        EXPECT_EQ(gameClock.gameStartTime, clock[0]);
        EXPECT_EQ(gameClock.elapsedSeconds, clock[1]);
        EXPECT_EQ(gameClock.gameFinished, clock[2]);
        EXPECT_EQ(gameClock.routeClosed, clock[3]);
    }
};

std::vector<unsigned char> mapBytes(const MapFile& r) {
    std::vector<unsigned char> b(kMapFileBytes);
    encodeMapFile(r, b.data());
    return b;
}

TEST_F(OpenFile, MapSavedAndOpenedAgainIsTheSameMap) {
    const Board saved = solvedBoard();
    Board board = saved;
    fake::savePath = dir.file("tour.rva");
    ASSERT_TRUE(saveMap(board));
    EXPECT_EQ(readBytes(dir.file("tour.rva")).size(), 512u);

    Board opened;
    mapGenerator.gridSizeSetting = GridSize{41, 41};
    fake::clockNow += 77;
    fake::openPath = dir.file("tour.rva");
    ASSERT_TRUE(openMap(opened));
    expectSameMap(saved, opened);
    EXPECT_EQ(opened.solved, 1);
    EXPECT_GT(opened.solutionLength, 0.0);
    EXPECT_EQ(opened.playerRouteLength, 1);
    EXPECT_EQ(mapGenerator.gridSizeSetting.width, 11);
    EXPECT_EQ(mapGenerator.gridSizeSetting.height, 11);
    EXPECT_EQ(mapGenerator.cityCountSetting, 6);
    EXPECT_EQ(gameClock.gameStartTime, fake::clockNow);
    EXPECT_EQ(std::string(document.name), dir.file("tour"));

    // The next save proposes the opened name with the map extension.
    fake::savePath.reset();
    EXPECT_FALSE(saveMap(opened));
    EXPECT_EQ(fake::saveDialogCalls.back().proposedName, dir.file("tour.rva"));
}

TEST_F(OpenFile, GameReopensWithItsRouteAndItsRunningOrStoppedClock) {
    Board board = solvedBoard();
    board.extendPlayerRoute(3);
    board.extendPlayerRoute(1);
    board.measurePlayerRoute();
    gameClock.elapsedSeconds = 40;
    fake::savePath = dir.file("open.rvb");
    ASSERT_TRUE(saveGame(board));

    for (std::int32_t c : {2, 4, 5}) board.extendPlayerRoute(c);
    ASSERT_EQ(board.playerRouteLength, 7);
    gameClock.elapsedSeconds = 55;
    gameClock.gameFinished = 1;
    fake::savePath = dir.file("closed.rvb");
    ASSERT_TRUE(saveGame(board));

    Board opened;
    fake::clockNow += 1000;
    fake::openPath = dir.file("open.rvb");
    ASSERT_TRUE(openGame(opened));
    EXPECT_EQ(opened.playerRouteLength, 3);
    EXPECT_EQ(opened.playerRoute[1], 3);
    EXPECT_EQ(opened.playerRoute[2], 1);
    EXPECT_DOUBLE_EQ(opened.playerLength, opened.lengthScale * (opened.cityDistance(0, 3) + opened.cityDistance(3, 1)));
    EXPECT_EQ(gameClock.routeClosed, 0);
    EXPECT_EQ(gameClock.gameFinished, 0);
    EXPECT_EQ(gameClock.elapsedSeconds, 40);
    EXPECT_EQ(gameClock.gameStartTime, fake::clockNow - 40);
    EXPECT_EQ(std::string(document.name), dir.file("open"));

    fake::openPath = dir.file("closed.rvb");
    ASSERT_TRUE(openGame(opened));
    expectSameMap(board, opened);
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) EXPECT_EQ(opened.playerRoute[i], board.playerRoute[i]);
    EXPECT_EQ(opened.playerRouteLength, 7);
    EXPECT_EQ(gameClock.routeClosed, 1);
    EXPECT_EQ(gameClock.gameFinished, 1);
    EXPECT_EQ(gameClock.elapsedSeconds, 55);
}

TEST_F(OpenFile, RefusedOpensChangeNothing) {
    Board board = solvedBoard();
    fake::savePath = dir.file("good.rva");
    ASSERT_TRUE(saveMap(board));
    std::vector<unsigned char> good = readBytes(dir.file("good.rva"));
    writeBytes(dir.file("short.rva"), std::vector<unsigned char>(good.begin(), good.end() - 1));
    std::vector<unsigned char> v3 = good;
    setIntAt(v3, 0, 3);
    v3.resize(700);
    writeBytes(dir.file("v3.rva"), v3);
    std::vector<unsigned char> wide = good;
    setIntAt(wide, 28, kMaxGridSide + 1);
    writeBytes(dir.file("wide.rva"), wide);

    Board other;
    document.stampWords[1] = 5;
    const Snapshot before(other);
    for (const char* name : {"short.rva", "v3.rva", "wide.rva", "missing.rva"}) {
        fake::openPath = dir.file(name);
        EXPECT_FALSE(openMap(other)) << name;
        EXPECT_FALSE(openGame(other)) << name;
        before.expectUnchanged(other);
    }
    fake::openPath.reset();  // cancelled
    EXPECT_FALSE(openMap(other));
    EXPECT_FALSE(openGame(other));
    before.expectUnchanged(other);
}

TEST_F(OpenFile, LongerFilesAreReadOnTheirFirstBytesSoAGameOpensAsAMap) {
    Board board = solvedBoard();
    fake::savePath = dir.file("g.rvb");
    ASSERT_TRUE(saveGame(board));
    fake::savePath = dir.file("m.rva");
    ASSERT_TRUE(saveMap(board));
    std::vector<unsigned char> padded = readBytes(dir.file("m.rva"));
    padded.resize(4096, 0xEE);
    writeBytes(dir.file("padded.rva"), padded);

    Board opened;
    fake::openPath = dir.file("padded.rva");
    ASSERT_TRUE(openMap(opened));
    expectSameMap(board, opened);

    fake::openPath = dir.file("g.rvb");
    ASSERT_TRUE(openMap(opened));
    EXPECT_EQ(opened.cityCount, 6);
    EXPECT_EQ(std::string(document.name), dir.file("g"));
    // The game's clock words now stand where a map keeps city 0: read as a
    // map, they still give cities on the grid.
    for (std::int32_t i = 0; i < opened.cityCount; ++i) {
        EXPECT_LT(opened.cities[i].x, 11);
        EXPECT_LT(opened.cities[i].y, 11);
    }
}

TEST_F(OpenFile, SizesAreClampedLikeTheBoardClampsThem) {
    MapFile r;
    r.header.gridWidth = 1;
    r.header.gridHeight = 3;
    r.header.cityCount = 50;
    writeBytes(dir.file("narrow.rva"), mapBytes(r));
    Board b;
    fake::openPath = dir.file("narrow.rva");
    ASSERT_TRUE(openMap(b));
    EXPECT_EQ(b.gridWidth, 2);
    EXPECT_EQ(b.cityCount, 6);
    EXPECT_EQ(mapGenerator.gridSizeSetting.width, 2);
    EXPECT_EQ(mapGenerator.gridSizeSetting.height, 3);
    EXPECT_EQ(mapGenerator.cityCountSetting, 6);

    r.header.gridWidth = kMaxGridSide;
    r.header.gridHeight = -5;
    r.header.cityCount = -1;
    ASSERT_TRUE(installMapFile(b, r));
    EXPECT_EQ(b.gridWidth, kMaxGridSide);
    EXPECT_EQ(b.gridHeight, 2);
    EXPECT_EQ(b.cityCount, 0);
}

TEST_F(OpenFile, UnsolvedMapCarriesTheSpectrumItHeld) {
    Board board = solvedBoard();
    board.addCity(7, 7);  // unsolves, spectrum stays
    ASSERT_EQ(board.solved, 0);
    fake::savePath = dir.file("u.rva");
    ASSERT_TRUE(saveMap(board));
    Board opened;
    fake::openPath = dir.file("u.rva");
    ASSERT_TRUE(openMap(opened));
    EXPECT_EQ(opened.solved, 0);
    EXPECT_EQ(opened.solutionLength, 0.0);
    EXPECT_EQ(0, std::memcmp(&opened.spectrum, &board.spectrum, sizeof(PathSpectrum)));
}

TEST_F(OpenFile, StampWordsFollowOpenedFilesOnlyInPublic) {
    setEditionStampWords();
    const std::vector<std::int32_t> atStart(document.stampWords, document.stampWords + 4);
    MapFile r;
    r.header.gridWidth = r.header.gridHeight = 11;
    for (std::int32_t i = 0; i < 4; ++i) r.header.stampWords[i] = 100 + i;
    Board b;
    ASSERT_TRUE(installMapFile(b, r));
    const std::vector<std::int32_t> expected = isProfi() ? atStart : std::vector<std::int32_t>{100, 101, 102, 103};
    EXPECT_EQ(std::vector<std::int32_t>(document.stampWords, document.stampWords + 4), expected);
    fake::savePath = dir.file("s.rvb");
    ASSERT_TRUE(saveGame(b));
    const std::vector<unsigned char> bytes = readBytes(dir.file("s.rvb"));
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(intAt(bytes, 12 + 4 * i), expected[i]);
}

TEST_F(OpenFile, DialogsGetTheirTitlesFiltersAndNames) {
    Board b;
    saveMap(b);
    saveGame(b);
    openMap(b);
    openGame(b);
    ASSERT_EQ(fake::saveDialogCalls.size(), 2u);
    ASSERT_EQ(fake::openDialogCalls.size(), 2u);
    const fake::DialogCall& sm = fake::saveDialogCalls[0];
    const fake::DialogCall& sg = fake::saveDialogCalls[1];
    const fake::DialogCall& om = fake::openDialogCalls[0];
    const fake::DialogCall& og = fake::openDialogCalls[1];
    EXPECT_EQ(sm.title, text::fromUtf8("Сохранить Карту в файл как"));
    EXPECT_EQ(sg.title, text::fromUtf8("Сохранить Игру в файл как"));
    EXPECT_EQ(om.title, text::fromUtf8("Открыть Карту из файла"));
    EXPECT_EQ(og.title, text::fromUtf8("Открыть Игру из файла"));
    using Filters = std::vector<std::pair<std::string, std::string>>;
    const Filters maps = {{"Map Files", "*.rva"}, {"Any Files", "*.*"}};
    const Filters games = {{"Game Files", "*.rvb"}, {"Any Files", "*.*"}};
    EXPECT_EQ(sm.filters, maps);
    EXPECT_EQ(om.filters, maps);
    EXPECT_EQ(sg.filters, games);
    EXPECT_EQ(og.filters, games);
    EXPECT_EQ(sm.defaultExtension, std::optional<std::string>("rva"));
    EXPECT_EQ(sg.defaultExtension, std::optional<std::string>("rvb"));
    EXPECT_EQ(sm.proposedName, "untitled.rva");
    EXPECT_EQ(sg.proposedName, "untitled.rvb");
    for (const fake::DialogCall* c : {&sm, &sg, &om, &og}) {
        EXPECT_FALSE(c->initialDirectory.has_value());
        EXPECT_EQ(c->capacity, 256);
    }
    EXPECT_EQ(om.proposedName, "");
    EXPECT_EQ(og.proposedName, "");
}

// Files that no run of this program writes: what each value becomes.
TEST_F(OpenFile, CitiesOffTheGridAreBroughtOntoItAndUnsolveTheMap) {
    Board saved = solvedBoard();
    MapFile r = mapFileFromBoard(saved, 0);
    r.cities[2] = City{-3, 50};
    r.cities[3] = City{12, 4};
    r.cities[10] = City{std::numeric_limits<std::int32_t>::min(), 20000};  // unused slot
    r.cities[11] = City{9999, 0};                                         // unused, in range: kept
    Board b;
    ASSERT_TRUE(installMapFile(b, r));
    EXPECT_EQ(b.cities[2].x, 0);
    EXPECT_EQ(b.cities[2].y, 10);
    EXPECT_EQ(b.cities[3].x, 10);
    EXPECT_EQ(b.cities[3].y, 4);
    EXPECT_EQ(b.cities[10].x, 0);
    EXPECT_EQ(b.cities[10].y, kMaxGridSide - 1);
    EXPECT_EQ(b.cities[11].x, 9999);
    EXPECT_EQ(b.solved, 0);
    EXPECT_EQ(b.solutionLength, 0.0);
}

TEST_F(OpenFile, SolvedFlagIsKeptOnlyWithASolutionThatFitsTheMap) {
    const Board saved = solvedBoard();
    const MapFile good = mapFileFromBoard(saved, 0);
    Board b;
    ASSERT_TRUE(installMapFile(b, good));
    ASSERT_EQ(b.solved, 1);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Spoil {
        const char* what;
        void (*apply)(MapFile&);
    };
    const Spoil spoils[] = {
        {"route leaves the cities", [](MapFile& r) { r.solutionRoute[3] = 6; }},
        {"negative index", [](MapFile& r) { r.solutionRoute[1] = -1; }},
        {"city twice", [](MapFile& r) { r.solutionRoute[2] = r.solutionRoute[1]; }},
        {"not back at the start", [](MapFile& r) { r.solutionRoute[6] = 2; }},
        {"count above 20", [](MapFile& r) { r.header.spectrum.count = 21; }},
        {"negative count", [](MapFile& r) { r.header.spectrum.count = -1; }},
        {"NaN length", [](MapFile& r) { r.header.spectrum.lengths[0] = std::numeric_limits<double>::quiet_NaN(); }},
        {"infinite length", [](MapFile& r) { r.header.spectrum.lengths[1] = std::numeric_limits<double>::infinity(); }},
        {"huge length", [](MapFile& r) { r.header.spectrum.lengths[1] = 1e300; }},
        // Fewer than two cities have no trip, whatever the route reads.
        {"negative city count", [](MapFile& r) { r.header.cityCount = -5; }},
    };
    MapFile r;
    for (const Spoil& s : spoils) {
        r = good;
        s.apply(r);
        ASSERT_TRUE(installMapFile(b, r)) << s.what;
        EXPECT_EQ(b.solved, 0) << s.what;
        EXPECT_EQ(b.solutionLength, 0.0) << s.what;
        // Nothing of the record is lost: it is carried to the next save.
        EXPECT_EQ(0, std::memcmp(&b.spectrum, &r.header.spectrum, sizeof(PathSpectrum))) << s.what;
        for (std::int32_t i = 0; i < kRouteCapacity; ++i) {
            if (r.solutionRoute[i] >= 0) {
                EXPECT_EQ(b.solutionRoute[i], r.solutionRoute[i]);
            }
        }
    }
    // Entries that are no city slot at all become city 0, and are not taken
    // for a closing city 0 either.
    r = good;
    r.solutionRoute[6] = 99;
    r.solutionRoute[18] = -7;
    r.solutionRoute[17] = 17;
    ASSERT_TRUE(installMapFile(b, r));
    EXPECT_EQ(b.solved, 0);
    EXPECT_EQ(b.solutionRoute[6], 0);
    EXPECT_EQ(b.solutionRoute[18], 0);
    EXPECT_EQ(b.solutionRoute[17], 17);
    // Entries past the count are never shown, whatever they hold.
    r = good;
    r.header.spectrum.count = 18;
    r.header.spectrum.lengths[19] = nan;
    r.header.spectrum.lengths[18] = inf;
    ASSERT_TRUE(installMapFile(b, r));
    EXPECT_EQ(b.solved, 1);
}

TEST_F(OpenFile, PlayerRouteIsCutBackToItsLongestSoundStart) {
    Board saved = solvedBoard();  // six cities
    GameFile good = gameFileFromBoard(saved, 0);
    const std::int32_t route[] = {0, 4, 2, 5, 1, 3, 0};
    for (std::int32_t i = 0; i < 7; ++i) good.playerRoute[i] = route[i];
    good.playerRouteLength = 7;

    struct Case {
        const char* what;
        std::int32_t at, value, storedLength, expectedLength;
    };
    const Case cases[] = {
        {"sound closed route", 0, 0, 7, 7},
        {"sound open route", 0, 0, 4, 4},
        {"length zero", 0, 0, 0, 1},
        {"negative length", 0, 0, std::numeric_limits<std::int32_t>::min(), 1},
        {"length past the closing entry", 0, 0, 19, 7},
        {"length past the capacity", 0, 0, 1000, 7},
        {"city out of range", 3, 6, 7, 3},
        {"negative city", 2, -1, 7, 2},
        {"city twice", 4, 4, 7, 4},
        {"start city in the middle", 2, 0, 7, 2},
        {"start is another city", 0, 3, 7, 7},
    };
    for (const Case& c : cases) {
        GameFile r = good;
        r.playerRoute[c.at] = c.value;
        r.playerRouteLength = c.storedLength;
        Board b;
        ASSERT_TRUE(installGameFile(b, r)) << c.what;
        EXPECT_EQ(b.playerRouteLength, c.expectedLength) << c.what;
        EXPECT_EQ(b.playerRoute[0], 0) << c.what;
        for (std::int32_t i = 0; i < kRouteCapacity; ++i) EXPECT_TRUE(b.playerRoute[i] >= 0 && b.playerRoute[i] < 18);
        EXPECT_EQ(gameClock.routeClosed, c.expectedLength == 7 ? 1 : 0) << c.what;
        // Picks on the restored route behave: cutting back and closing again.
        b.extendPlayerRoute(4);
        EXPECT_EQ(b.playerRouteLength, 2) << c.what;
    }
}

TEST_F(OpenFile, ExtremeClockValuesCannotOverflowTheGameClock) {
    GameFile r = gameFileFromBoard(solvedBoard(), 0);
    Board b;
    r.elapsedSeconds = std::numeric_limits<std::int32_t>::max();
    ASSERT_TRUE(installGameFile(b, r));
    EXPECT_EQ(gameClock.elapsedSeconds, 1 << 30);
    EXPECT_EQ(gameClock.gameStartTime, fake::clockNow - (1 << 30));

    r.elapsedSeconds = std::numeric_limits<std::int32_t>::min();
    ASSERT_TRUE(installGameFile(b, r));
    EXPECT_EQ(gameClock.elapsedSeconds, -(1 << 30));
    EXPECT_EQ(gameClock.gameStartTime, std::numeric_limits<std::int32_t>::max());  // now + 2^30 does not fit

    r.elapsedSeconds = -5;  // a clock that was set back while the game ran
    ASSERT_TRUE(installGameFile(b, r));
    EXPECT_EQ(gameClock.elapsedSeconds, -5);
    EXPECT_EQ(gameClock.gameStartTime, fake::clockNow + 5);
}

}  // namespace
}  // namespace orvanta::testing
