#include "files/current_document.h"

#include <cstring>

#include "core/edition.h"

namespace orvanta {

Document document;

namespace {

// The Profi edition's mark in every file it writes.
constexpr std::int32_t kProfiStampWords[kStampWordCount] = {0x4F52564E, 0x50524F46, 11, 1};

std::int32_t boundedLength(const char* text, std::int32_t capacity) {
    std::int32_t n = 0;
    while (n < capacity && text[n] != '\0') ++n;
    return n;
}

}  // namespace

void setEditionStampWords() {
    if constexpr (isProfi())
        for (std::int32_t i = 0; i < kStampWordCount; ++i) document.stampWords[i] = kProfiStampWords[i];
}

void setDocumentName(const char* path, std::int32_t capacity) {
    if (path == nullptr) return;
    if (capacity > kDocumentNameCapacity) capacity = kDocumentNameCapacity;
    if (capacity < 1) capacity = 1;
    const std::int32_t n = boundedLength(path, capacity - 1);
    std::memcpy(document.name, path, static_cast<std::size_t>(n));
    document.name[n] = '\0';
    if (char* dot = std::strrchr(document.name, '.')) *dot = '\0';
}

void composeDefaultName(char* out, std::int32_t capacity, const char* extension) {
    if (out == nullptr || capacity < 1) return;
    out[0] = '\0';
    const std::int32_t extLength = boundedLength(extension, capacity);
    const std::int32_t room = capacity - 2 - extLength;  // for the name, after '.', ext and terminator
    if (room < 0) return;
    const std::int32_t nameLength = boundedLength(document.name, room);
    std::memcpy(out, document.name, static_cast<std::size_t>(nameLength));
    out[nameLength] = '.';
    std::memcpy(out + nameLength + 1, extension, static_cast<std::size_t>(extLength));
    out[nameLength + 1 + extLength] = '\0';
}

}  // namespace orvanta
