#include "files/documents.h"

#include <cstring>

#include "files/file_services.h"

namespace orvanta {

std::int32_t personalNumber = 0;

namespace {

constexpr std::int32_t kDirectoryCapacity = 260;
constexpr std::int32_t kFilePathCapacity = 324;
// More than any personal-number file needs: the number and some white space.
constexpr std::int32_t kUserFileReadBytes = 4096;

char directoryBuffer[kDirectoryCapacity];
char filePathBuffer[kFilePathCapacity];

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The digit's value, or a value at least as large as any base when it is none.
std::int32_t digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
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

void openManual() { openWithShell(programFilePath("help.txt")); }

void openUserFile() { openWithShell(programFilePath("user.txt")); }

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
    if (!platform::readFileStart(programFilePath("user.txt"), reinterpret_cast<unsigned char*>(text),
                                 kUserFileReadBytes, got))
        return 0;
    return parsePersonalNumber(text, got);
}

}  // namespace orvanta
