#include <filesystem>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "files/language_choice.h"
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
    EXPECT_FALSE(openManual());
    EXPECT_FALSE(openUserFile());
    ASSERT_EQ(fake::shellOpened.size(), 2u);
    EXPECT_EQ(fake::shellOpened[0], dir.file("help.txt"));
    EXPECT_EQ(fake::shellOpened[1], dir.file("user.txt"));
    EXPECT_FALSE(openWithShell(""));
    EXPECT_EQ(fake::shellOpened.size(), 2u);
}

// The manual of the language in use where it is installed, else the
// Russian one, which every installation has.
TEST_F(Documents, TheManualIsTheOneOfTheLanguageInUseWhereItIsInstalled) {
    fake::modulePath = dir.file("orvanta");
    const std::int32_t english = text::languageOfCode("en");
    ASSERT_GT(english, 0);
    text::setLanguage(english);
    EXPECT_TRUE(openManual());
    writeBytes(dir.file("help.en.txt"), {'M'});
    EXPECT_TRUE(openManual());
    text::setLanguage(text::kSourceLanguage);
    EXPECT_TRUE(openManual());
    EXPECT_EQ(fake::shellOpened, (std::vector<std::string>{dir.file("help.txt"), dir.file("help.en.txt"),
                                                            dir.file("help.txt")}));
    EXPECT_STREQ(manualFileName(english), "help.en.txt");
    EXPECT_STREQ(manualFileName(text::languageCount()), "help.txt") << "no such language";
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

// A system-wide installation: the program's folder is not the user's to
// write, so the personal number lives in a copy in the configuration folder.
TEST_F(Documents, UserCopyOfThePersonalNumberWhenTheProgramFolderIsNotWritable) {
    fake::modulePath = dir.file("orvanta");
    fake::directoriesWritable = false;
    fake::configDirectory = dir.file("home/.config/orvanta/");
    const std::string shipped = dir.file("user.txt");
    const std::string copy = fake::configDirectory + "user.txt";
    writeBytes(shipped, {'4', '2', '\n', 'x'});

    // Start-up reads the shipped file and makes nothing.
    EXPECT_EQ(readPersonalNumber(), 42);
    EXPECT_FALSE(std::filesystem::exists(dir.file("home")));

    // The first "personal number" command makes the copy, folders and all,
    // and opens it; a failing opener changes nothing.
    fake::shellAccepts = false;
    openUserFile();
    ASSERT_EQ(fake::shellOpened, std::vector<std::string>{copy});
    EXPECT_EQ(readBytes(copy), readBytes(shipped));

    // The user's edit counts from now on and is never overwritten.
    writeBytes(copy, {'-', '7'});
    writeBytes(shipped, {'9', '9'});
    EXPECT_EQ(readPersonalNumber(), -7);
    openUserFile();
    EXPECT_EQ(fake::shellOpened.size(), 2u);
    EXPECT_EQ(fake::shellOpened[1], copy);
    EXPECT_EQ(readBytes(copy), (std::vector<unsigned char>{'-', '7'}));
    // The manual stays beside the program.
    openManual();
    EXPECT_EQ(fake::shellOpened.back(), dir.file("help.txt"));

    // A copy the user removed comes back from the shipped file.
    std::filesystem::remove(copy);
    EXPECT_EQ(readPersonalNumber(), 99);
    openUserFile();
    EXPECT_EQ(readBytes(copy), (std::vector<unsigned char>{'9', '9'}));
}

TEST_F(Documents, UserCopyIsNotMadeHalfOrWithoutAShippedFile) {
    fake::modulePath = dir.file("orvanta");
    fake::directoriesWritable = false;
    fake::configDirectory = dir.file("config/orvanta/");
    const std::string copy = fake::configDirectory + "user.txt";

    // No shipped file: nothing to copy, and the open fails silently.
    openUserFile();
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(readPersonalNumber(), 0);

    // A copy that breaks off is removed, and the next attempt succeeds.
    writeBytes(dir.file("user.txt"), {'1', '2', '3', '4'});
    fake::failWriteAtByte = 2;
    openUserFile();
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(readPersonalNumber(), 1234);
    fake::failWriteAtByte = -1;
    fake::writeChunk = 1;
    openUserFile();
    EXPECT_EQ(readBytes(copy), (std::vector<unsigned char>{'1', '2', '3', '4'}));
    EXPECT_EQ(fake::shellOpened.back(), copy);

    // Without a configuration folder (the Windows front end installs per
    // user), the file beside the program is used even when it is read-only.
    fake::configDirectory.clear();
    openUserFile();
    EXPECT_EQ(fake::shellOpened.back(), dir.file("user.txt"));
    // A writable program folder never looks at the configuration folder.
    fake::configDirectory = dir.file("elsewhere/");
    fake::directoriesWritable = true;
    openUserFile();
    EXPECT_EQ(fake::shellOpened.back(), dir.file("user.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("elsewhere")));
}

// The language the player chose: in the configuration folder where the
// platform has one (made when missing), else beside the program.
TEST_F(Documents, LanguageChoiceIsKeptInTheConfigurationFolderOrBesideTheProgram) {
    fake::modulePath = dir.file("orvanta");
    fake::configDirectory = dir.file("config/orvanta/");
    EXPECT_STREQ(readLanguageChoice(), "");
    ASSERT_TRUE(writeLanguageChoice("en"));
    EXPECT_EQ(readBytes(dir.file("config/orvanta/language.txt")), (std::vector<unsigned char>{'e', 'n', '\n'}));
    EXPECT_STREQ(readLanguageChoice(), "en");
    ASSERT_TRUE(writeLanguageChoice("ru"));
    EXPECT_STREQ(readLanguageChoice(), "ru");
    EXPECT_FALSE(std::filesystem::exists(dir.file("language.txt")));

    fake::configDirectory.clear();
    EXPECT_STREQ(readLanguageChoice(), "") << "the folder beside the program holds none yet";
    ASSERT_TRUE(writeLanguageChoice("en"));
    EXPECT_STREQ(readLanguageChoice(), "en");
    EXPECT_TRUE(std::filesystem::exists(dir.file("language.txt")));

    // A file someone else wrote gives its leading code, or none.
    writeBytes(dir.file("language.txt"), {'d', 'e', '_', 'D', 'E', ' ', 'x'});
    EXPECT_STREQ(readLanguageChoice(), "de_DE");
    writeBytes(dir.file("language.txt"), {0xC0, 'e', 'n'});
    EXPECT_STREQ(readLanguageChoice(), "");
    EXPECT_FALSE(writeLanguageChoice(""));
    EXPECT_FALSE(writeLanguageChoice("a-code-far-too-long"));
    EXPECT_STREQ(readLanguageChoice(), "");
}

}  // namespace
}  // namespace orvanta::testing
