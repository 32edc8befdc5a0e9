#include "files/safe_write.h"

#include <cstdio>

#include "files/current_document.h"
#include "files/file_services.h"

namespace orvanta {

bool writeAllAndClose(platform::FileHandle file, const unsigned char* bytes, std::int32_t count) {
    bool ok = true;
    std::int32_t offset = 0;
    while (ok && offset < count) {
        const std::int32_t wrote = platform::writeToFile(file, bytes + offset, count - offset);
        if (wrote <= 0 || wrote > count - offset)
            ok = false;
        else
            offset += wrote;
    }
    ok = ok && platform::flushFile(file);
    ok = platform::closeFile(file) && ok;
    return ok;
}

bool writeFileReplacing(const char* path, const unsigned char* bytes, std::int32_t count) {
    if (path == nullptr || path[0] == '\0' || count < 0) return false;
    // "<target>.~N" beside the target, so that the final rename stays on one
    // volume; N moves on past names that are already taken.
    char temp[kDocumentNameCapacity + 8];
    platform::FileHandle file = platform::kNoFile;
    for (int n = 0; n < 10 && file == platform::kNoFile; ++n) {
        const int made = std::snprintf(temp, sizeof temp, "%s.~%d", path, n);
        if (made < 0 || static_cast<std::size_t>(made) >= sizeof temp) return false;
        file = platform::createNewFile(temp);
    }
    if (file == platform::kNoFile) return false;

    bool ok = writeAllAndClose(file, bytes, count);
    ok = ok && platform::replaceFile(temp, path);
    if (!ok) platform::removeFile(temp);
    return ok;
}

}  // namespace orvanta
