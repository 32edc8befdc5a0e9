#include "files/language_choice.h"

#include <cstring>

#include "files/file_services.h"
#include "files/manual_and_number.h"
#include "files/safe_write.h"

namespace orvanta {

namespace {

constexpr char kChoiceFileName[] = "language.txt";
constexpr std::int32_t kPathCapacity = 1024;
// A code and a line end; a longer file holds no code of ours.
constexpr std::int32_t kCodeCapacity = 16;

char pathBuffer[kPathCapacity];
char codeBuffer[kCodeCapacity];

// The file's path, made with its folder when `create` is set; "" when there
// is no place for it.
const char* choicePath(bool create) {
    const std::int32_t room = kPathCapacity - static_cast<std::int32_t>(sizeof kChoiceFileName);
    const std::int32_t length = platform::userConfigDirectory(pathBuffer, room, create);
    if (length > 0 && length < room) {
        std::memcpy(pathBuffer + length, kChoiceFileName, sizeof kChoiceFileName);
        return pathBuffer;
    }
    return programFilePath(kChoiceFileName);
}

bool isCodeCharacter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '-'; }

}  // namespace

const char* readLanguageChoice() {
    codeBuffer[0] = '\0';
    const char* path = choicePath(false);
    if (path[0] == '\0') return codeBuffer;
    unsigned char bytes[kCodeCapacity];
    std::int32_t got = 0;
    if (!platform::readFileStart(path, bytes, kCodeCapacity, got)) return codeBuffer;
    std::int32_t length = 0;
    while (length < got && length < kCodeCapacity - 1 && isCodeCharacter(static_cast<char>(bytes[length]))) {
        codeBuffer[length] = static_cast<char>(bytes[length]);
        ++length;
    }
    codeBuffer[length] = '\0';
    return codeBuffer;
}

bool writeLanguageChoice(const char* code) {
    if (code == nullptr) return false;
    const std::size_t length = std::strlen(code);
    if (length == 0 || length + 2 > static_cast<std::size_t>(kCodeCapacity)) return false;
    char line[kCodeCapacity];
    std::memcpy(line, code, length);
    line[length] = '\n';
    const char* path = choicePath(true);
    if (path[0] == '\0') return false;
    return writeFileReplacing(path, reinterpret_cast<const unsigned char*>(line), static_cast<std::int32_t>(length + 1));
}

}  // namespace orvanta
