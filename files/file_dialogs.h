// The save and open dialogs with the record's write or read behind them.
#pragma once

#include <cstdint>

#include "files/file_services.h"

namespace orvanta {

// Shows the save dialog (fileName: the proposed name in, the chosen path out,
// 256 bytes) and writes the record with writeFileReplacing. bytesWritten, if
// given, receives count on success.
bool saveWithDialog(const unsigned char* bytes, std::int32_t count, const char* title, char* fileName,
                    const char* defaultExtension, const platform::FileFilter* filters, std::int32_t filterCount,
                    std::int32_t* bytesWritten = nullptr, const char* initialDirectory = nullptr);

// Shows the open dialog (fileName receives the chosen path, 256 bytes) and
// reads up to count bytes of the chosen file into bytes.
bool openWithDialog(unsigned char* bytes, std::int32_t count, const char* title, char* fileName,
                    const platform::FileFilter* filters, std::int32_t filterCount,
                    std::int32_t* bytesRead = nullptr, const char* initialDirectory = nullptr);

}  // namespace orvanta
