// The current document: its name, which the title and the proposed save
// names show, and the stamp words written into every record.
#pragma once

#include <cstdint>

#include "files/records.h"

namespace orvanta {

// Capacity of the document name and of the paths the dialogs hand out.
inline constexpr std::int32_t kDocumentNameCapacity = 256;

struct Document {
    // Full path of the last file saved or opened, without its extension.
    char name[kDocumentNameCapacity] = "untitled";
    // Written into every record. Public: 0, 0, 0, 0 at start, then the words
    // of every file opened. Profi: a fixed set, set at start-up.
    std::int32_t stampWords[kStampWordCount] = {0, 0, 0, 0};
    // Read from "user.txt" at start-up and written into every saved record;
    // 0 when there is none.
    std::int32_t personalNumber = 0;
};

extern Document document;

// Sets the Profi edition's fixed stamp words; does nothing in Public.
void setEditionStampWords();

// Copies at most capacity - 1 characters of path into document.name (capacity
// is clamped to the buffer) and cuts the result at its last '.', if any.
void setDocumentName(const char* path, std::int32_t capacity);

// Composes the proposed save name "<document.name>.<extension>" into out
// (capacity bytes). When it would not fit, the name part is shortened so that
// the extension stays whole.
void composeDefaultName(char* out, std::int32_t capacity, const char* extension);

}  // namespace orvanta
