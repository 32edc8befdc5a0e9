// Saving without ever losing the previous file.
#pragma once

#include <cstdint>

namespace orvanta {

// Writes the whole record to a temporary file beside path and then replaces
// path with it in one step. On any failure returns false, leaves a previous
// file at path untouched and removes the temporary file.
bool writeFileReplacing(const char* path, const unsigned char* bytes, std::int32_t count);

}  // namespace orvanta
