#include "files/manual_and_number.h"

#include <cstdio>
#include <cstring>

#include "core/catalogue.h"
#include "files/file_services.h"
#include "files/safe_write.h"

namespace orvanta {

namespace {

constexpr std::int32_t kDirectoryCapacity = 260;
constexpr std::int32_t kFilePathCapacity = 324;
// More than any personal-number file needs: the number and some white space.
constexpr std::int32_t kUserFileReadBytes = 4096;

char directoryBuffer[kDirectoryCapacity];
char filePathBuffer[kFilePathCapacity];

constexpr char kUserFileName[] = "user.txt";
constexpr std::int32_t kUserFileNameLength = sizeof kUserFileName - 1;
// The user's own copy of "user.txt": a configuration folder and the name.
constexpr std::int32_t kUserCopyCapacity = 1024;
char userCopyBuffer[kUserCopyCapacity];
// The shipped "user.txt" is a few lines; a larger one is not copied.
constexpr std::int32_t kTemplateCapacity = 64 * 1024;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The digit's value, or a value at least as large as any base when it is none.
std::int32_t digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// The user's own copy of "user.txt" when the program's folder is not theirs
// to write (a system-wide installation), in the platform's folder for the
// user's configuration; "" when the file beside the program is the user's, as
// in a build folder or a per-user installation, or when the platform has no
// such folder. With create set, the folder is made when missing. Static
// buffer, overwritten by every call.
const char* userCopyPath(bool create) {
    userCopyBuffer[0] = '\0';
    const char* directory = programDirectory();
    if (directory[0] == '\0' || platform::canWriteDirectory(directory)) return userCopyBuffer;
    const std::int32_t room = kUserCopyCapacity - kUserFileNameLength;
    const std::int32_t length = platform::userConfigDirectory(userCopyBuffer, room, create);
    if (length <= 0 || length >= room) {
        userCopyBuffer[0] = '\0';
        return userCopyBuffer;
    }
    std::memcpy(userCopyBuffer + length, kUserFileName, kUserFileNameLength + 1);
    return userCopyBuffer;
}

bool fileReadable(const char* path) {
    unsigned char byte;
    std::int32_t got = 0;
    return platform::readFileStart(path, &byte, 1, got);
}

// Makes target a copy of the small file source. An existing target is never
// replaced, so a copy the user has edited stays as it is; a copy that cannot
// be finished is removed, so that the next attempt starts afresh.
bool copySmallFile(const char* source, const char* target) {
    static unsigned char bytes[kTemplateCapacity];
    std::int32_t count = 0;
    if (!platform::readFileStart(source, bytes, kTemplateCapacity, count) || count >= kTemplateCapacity)
        return false;
    const platform::FileHandle file = platform::createNewFile(target);
    if (file == platform::kNoFile) return false;
    const bool ok = writeAllAndClose(file, bytes, count);
    if (!ok) platform::removeFile(target);
    return ok;
}

}  // namespace

const char* programDirectory() {
    const std::int32_t length = platform::moduleFileName(directoryBuffer, kDirectoryCapacity);
    if (length <= 0 || length >= kDirectoryCapacity) {
        directoryBuffer[0] = '\0';
        return directoryBuffer;
    }
    directoryBuffer[length] = '\0';
    // Either separator, so that one build serves Linux and Windows paths. A name
    // without any directory part gives the empty directory: bare names then.
    std::int32_t cut = 0;
    for (std::int32_t i = 0; i < length; ++i)
        if (directoryBuffer[i] == '/' || directoryBuffer[i] == '\\') cut = i + 1;
    directoryBuffer[cut] = '\0';
    return directoryBuffer;
}

const char* programFilePath(const char* name) {
    const char* directory = programDirectory();
    const std::size_t dirLength = std::strlen(directory);
    const std::size_t nameLength = name != nullptr ? std::strlen(name) : 0;
    // A path that does not fit would name some other file: give none instead.
    if (dirLength + nameLength + 1 > static_cast<std::size_t>(kFilePathCapacity)) {
        filePathBuffer[0] = '\0';
        return filePathBuffer;
    }
    std::memcpy(filePathBuffer, directory, dirLength);
    if (nameLength > 0) std::memcpy(filePathBuffer + dirLength, name, nameLength);
    filePathBuffer[dirLength + nameLength] = '\0';
    return filePathBuffer;
}

bool openWithShell(const char* path) {
    if (path == nullptr || path[0] == '\0') return false;
    return platform::shellOpen(path);
}

const char* manualFileName(std::int32_t language) {
    static char name[32];
    const char* code = text::languageCode(language);
    if (language == text::kSourceLanguage || code[0] == '\0') return "help.txt";
    std::snprintf(name, sizeof name, "help.%s.txt", code);
    return name;
}

bool openManual() {
    // A language without a manual of its own falls back to the English one,
    // which more of its readers read than the Russian, and that to the
    // Russian one, the source, which every installation has.
    const std::int32_t inUse = text::currentLanguage();
    if (inUse != text::kSourceLanguage) {
        const std::int32_t choices[] = {inUse, text::languageOfCode("en")};
        for (const std::int32_t language : choices) {
            if (language <= text::kSourceLanguage) continue;
            const char* path = programFilePath(manualFileName(language));
            if (path[0] != '\0' && fileReadable(path)) return openWithShell(path);
        }
    }
    return openWithShell(programFilePath(manualFileName(text::kSourceLanguage)));
}

bool openUserFile() {
    const char* copy = userCopyPath(true);
    if (copy[0] == '\0') return openWithShell(programFilePath(kUserFileName));
    // First use: the user's copy starts as the file shipped with the program.
    if (!fileReadable(copy)) copySmallFile(programFilePath(kUserFileName), copy);
    return openWithShell(copy);
}

std::int32_t parsePersonalNumber(const char* text, std::int32_t length) {
    if (text == nullptr || length <= 0) return 0;
    std::int32_t i = 0;
    // A byte-order mark, as some text editors put at the start of a file.
    if (length >= 3 && static_cast<unsigned char>(text[0]) == 0xEF && static_cast<unsigned char>(text[1]) == 0xBB &&
        static_cast<unsigned char>(text[2]) == 0xBF)
        i = 3;
    while (i < length && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int32_t base = 10;
    if (i < length && text[i] == '0') {
        if (i + 2 < length && (text[i + 1] == 'x' || text[i + 1] == 'X') && digitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        } else {
            base = 8;  // the leading 0 is itself an octal digit
        }
    }
    if (i >= length || digitValue(text[i]) >= base) return 0;
    // The magnitude of any 32-bit value fits below this; beyond it the text
    // names a number the record cannot hold.
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; i < length && digitValue(text[i]) < base; ++i) {
        magnitude = magnitude * base + digitValue(text[i]);
        if (magnitude > kLimit) return 0;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::int64_t{0x7FFFFFFF}) return 0;
    return static_cast<std::int32_t>(value);
}

std::int32_t readPersonalNumber() {
    char text[kUserFileReadBytes];
    std::int32_t got = 0;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(text);
    // The user's copy when there is one, else the file beside the program.
    const char* copy = userCopyPath(false);
    if (copy[0] == '\0' || !platform::readFileStart(copy, bytes, kUserFileReadBytes, got)) {
        if (!platform::readFileStart(programFilePath(kUserFileName), bytes, kUserFileReadBytes, got)) return 0;
    }
    return parsePersonalNumber(text, got);
}

}  // namespace orvanta
