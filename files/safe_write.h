// Saving without ever losing the previous file.
#pragma once

#include <cstdint>

#include "files/file_services.h"

namespace orvanta {

// Writes all count bytes to the open file, flushes and closes it. False when
// any of that failed; the file is closed either way.
bool writeAllAndClose(platform::FileHandle file, const unsigned char* bytes, std::int32_t count);

// Writes the whole record to a temporary file beside path and then replaces
// path with it in one step. On any failure returns false, leaves a previous
// file at path untouched and removes the temporary file.
bool writeFileReplacing(const char* path, const unsigned char* bytes, std::int32_t count);

}  // namespace orvanta
