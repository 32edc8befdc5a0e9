#include "files/file_dialogs.h"

#include "files/current_document.h"
#include "files/safe_write.h"

namespace orvanta {

bool saveWithDialog(const unsigned char* bytes, std::int32_t count, const char* title, char* fileName,
                    const char* defaultExtension, const platform::FileFilter* filters, std::int32_t filterCount,
                    std::int32_t* bytesWritten, const char* initialDirectory) {
    if (!platform::showSaveDialog(title, filters, filterCount, defaultExtension, initialDirectory, fileName,
                                  kDocumentNameCapacity))
        return false;
    fileName[kDocumentNameCapacity - 1] = '\0';
    if (fileName[0] == '\0') return false;
    if (!writeFileReplacing(fileName, bytes, count)) return false;
    if (bytesWritten != nullptr) *bytesWritten = count;
    return true;
}

bool openWithDialog(unsigned char* bytes, std::int32_t count, const char* title, char* fileName,
                    const platform::FileFilter* filters, std::int32_t filterCount, std::int32_t* bytesRead,
                    const char* initialDirectory) {
    fileName[0] = '\0';
    if (!platform::showOpenDialog(title, filters, filterCount, initialDirectory, fileName, kDocumentNameCapacity))
        return false;
    fileName[kDocumentNameCapacity - 1] = '\0';
    if (fileName[0] == '\0') return false;
    std::int32_t got = 0;
    if (!platform::readFileStart(fileName, bytes, count, got)) return false;
    if (got < 0 || got > count) return false;
    if (bytesRead != nullptr) *bytesRead = got;
    return true;
}

}  // namespace orvanta
