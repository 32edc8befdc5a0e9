#include <set>
#include <string>
#include <vector>

#include "files_fixture.h"

namespace orvanta::testing {
namespace {

using SaveFile = FilesTest;

TEST_F(SaveFile, RecordIsTakenWhenTheCommandStartsAndReplacesTheOldFile) {
    Board board = solvedBoard();
    document.personalNumber = -77;
    fake::savePath = dir.file("m.rva");
    writeBytes(dir.file("m.rva"), std::vector<unsigned char>(3000, 0x11));  // a longer old file
    ASSERT_TRUE(saveMap(board));
    const std::vector<unsigned char> bytes = readBytes(dir.file("m.rva"));
    ASSERT_EQ(bytes.size(), 512u);
    EXPECT_EQ(intAt(bytes, 0), 2);
    EXPECT_EQ(intAt(bytes, 4), -77);
    EXPECT_EQ(intAt(bytes, 8), fake::clockNow);
    EXPECT_EQ(intAt(bytes, 292 + 8 * 1), 9);  // city 1 at (9, 2)
    EXPECT_EQ(intAt(bytes, 296 + 8 * 1), 2);
    EXPECT_EQ(dir.names(), std::set<std::string>{"m.rva"});
    EXPECT_STREQ(document.name, dir.file("m").c_str());
    EXPECT_GE(fake::flushCalls, 1);

    std::int32_t written = 0;
    const unsigned char record[3] = {1, 2, 3};
    char name[256] = "x";
    ASSERT_TRUE(saveWithDialog(record, 3, "t", name, "rva", nullptr, 0, &written));
    EXPECT_EQ(written, 3);
}

TEST_F(SaveFile, ShortWritesAreCompletedNotTakenForTheWhole) {
    Board board = solvedBoard();
    fake::writeChunk = 7;
    fake::savePath = dir.file("g.rvb");
    ASSERT_TRUE(saveGame(board));
    EXPECT_EQ(readBytes(dir.file("g.rvb")).size(), 600u);
    EXPECT_EQ(fake::writeCalls, (600 + 6) / 7);
}

// A failure at any step leaves the previous file byte for byte, no temporary
// file, and the document name as it was.
TEST_F(SaveFile, EveryFailedSaveKeepsThePreviousFile) {
    Board board = solvedBoard();
    const std::vector<unsigned char> previous(600, 0x5A);
    const std::string target = dir.file("keep.rvb");
    fake::savePath = target;
    auto expectKept = [&](const std::string& what) {
        EXPECT_EQ(readBytes(target), previous) << what;
        EXPECT_EQ(dir.names(), std::set<std::string>{"keep.rvb"}) << what;
        EXPECT_STREQ(document.name, "untitled") << what;
    };

    writeBytes(target, previous);
    for (std::int64_t at = 0; at < kGameFileBytes; ++at) {
        fake::failWriteAtByte = at;
        fake::failWriteWithZero = at % 2 == 1;
        EXPECT_FALSE(saveGame(board)) << at;
        expectKept("write failing at byte " + std::to_string(at));
    }
    fake::resetFileServices();
    fake::savePath = target;

    bool* steps[] = {&fake::failCreate, &fake::failFlush, &fake::failClose, &fake::failReplace};
    for (bool* step : steps) {
        *step = true;
        EXPECT_FALSE(saveGame(board));
        EXPECT_FALSE(saveMap(board));
        expectKept("failing step");
        *step = false;
    }
    fake::savePath.reset();  // cancelled
    EXPECT_FALSE(saveGame(board));
    fake::savePath = "";  // an empty name
    EXPECT_FALSE(saveGame(board));
    expectKept("cancel");

    // Without a previous file, a failed save leaves no file at all.
    fake::savePath = dir.file("new.rva");
    fake::failWriteAtByte = 100;
    EXPECT_FALSE(saveMap(board));
    expectKept("new file");
}

TEST_F(SaveFile, TemporaryNamesAlreadyTakenAreLeftAlone) {
    Board board;
    const std::string target = dir.file("t.rva");
    const std::vector<unsigned char> someoneElses = {'m', 'i', 'n', 'e'};
    writeBytes(target + ".~0", someoneElses);
    fake::savePath = target;
    ASSERT_TRUE(saveMap(board));
    EXPECT_EQ(readBytes(target + ".~0"), someoneElses);
    EXPECT_EQ(readBytes(target).size(), 512u);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"t.rva", "t.rva.~0"}));

    for (int n = 1; n < 10; ++n) writeBytes(target + ".~" + std::to_string(n), someoneElses);
    EXPECT_FALSE(saveMap(board));
    EXPECT_EQ(dir.names().size(), 11u);
}

}  // namespace
}  // namespace orvanta::testing
