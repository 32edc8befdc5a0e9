#include <string>

#include "files_fixture.h"

namespace orvanta::testing {
namespace {

using Documents = FilesTest;

TEST_F(Documents, ProgramDirectoryIsCutAfterTheLastSeparatorOfEitherKind) {
    fake::modulePath = "C:\\Games\\Tours\\game.exe";
    EXPECT_STREQ(programDirectory(), "C:\\Games\\Tours\\");
    EXPECT_STREQ(programFilePath("help.txt"), "C:\\Games\\Tours\\help.txt");
    fake::modulePath = "/opt/orvanta/bin/orvanta-public";
    EXPECT_STREQ(programDirectory(), "/opt/orvanta/bin/");
    // One buffer: the second path overwrites the first.
    const char* first = programFilePath("help.txt");
    const char* second = programFilePath("user.txt");
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "/opt/orvanta/bin/user.txt");

    // No name, a name without a directory, or one that does not fit 260
    // characters: bare names, looked for in the current directory.
    for (const std::string& module : {std::string(), std::string("game.exe"), "/" + std::string(300, 'p')}) {
        fake::modulePath = module;
        EXPECT_STREQ(programDirectory(), "") << module;
        EXPECT_STREQ(programFilePath("help.txt"), "help.txt") << module;
    }
    // The longest module name that fits still leaves room for the names used.
    fake::modulePath = std::string(257, 'q') + "/x";
    EXPECT_EQ(std::string(programFilePath("help.txt")), std::string(257, 'q') + "/help.txt");
    EXPECT_STREQ(programFilePath(std::string(400, 'n').c_str()), "");
}

TEST_F(Documents, HelpCommandsHandTheShellTheProgramDirectoryPaths) {
    fake::modulePath = dir.file("orvanta");
    fake::shellAccepts = false;
    openManual();
    openUserFile();
    ASSERT_EQ(fake::shellOpened.size(), 2u);
    EXPECT_EQ(fake::shellOpened[0], dir.file("help.txt"));
    EXPECT_EQ(fake::shellOpened[1], dir.file("user.txt"));
    EXPECT_FALSE(openWithShell(""));
    EXPECT_EQ(fake::shellOpened.size(), 2u);
}

TEST_F(Documents, PersonalNumberIsReadLikePercentI) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"  42", 42},          {"-7", -7},          {"0x1F", 31},        {"0X1f\n", 31},     {"010", 8},
        {"abc", 0},            {"", 0},             {"\t\r\n +15 16", 15}, {"08", 0},        {"0x", 0},
        {"0xg", 0},            {"- 5", 0},          {"12abc", 12},       {"\xEF\xBB\xBF" "77", 77},
        {"2147483647", 2147483647},                 {"-2147483648", -2147483647 - 1},
        {"-0x80000000", -2147483647 - 1},           {"017777777777", 2147483647},
        // Numbers outside 32 bits are no personal number at all.
        {"2147483648", 0},     {"-2147483649", 0},  {"0xFFFFFFFF", 0},   {"99999999999999999999999", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parsePersonalNumber(c.text, static_cast<std::int32_t>(std::strlen(c.text))), c.value) << c.text;
    }
    // Only the given length is read.
    EXPECT_EQ(parsePersonalNumber("123456", 3), 123);
}

TEST_F(Documents, PersonalNumberComesFromUserFileBesideTheProgram) {
    fake::modulePath = dir.file("orvanta");
    EXPECT_EQ(readPersonalNumber(), 0);  // missing
    writeBytes(dir.file("user.txt"), {' ', ' ', '4', '2', '\r', '\n'});
    EXPECT_EQ(readPersonalNumber(), 42);
    writeBytes(dir.file("user.txt"), {});
    EXPECT_EQ(readPersonalNumber(), 0);
}

}  // namespace
}  // namespace orvanta::testing
