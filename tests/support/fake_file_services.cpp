#include "support/fake_file_services.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "files/file_services.h"

namespace orvanta {

namespace fake {
std::vector<DialogCall> saveDialogCalls;
std::vector<DialogCall> openDialogCalls;
std::optional<std::string> savePath;
std::optional<std::string> openPath;
std::int64_t failWriteAtByte = -1;
bool failWriteWithZero = false;
std::int32_t writeChunk = 0;
bool failCreate = false;
bool failFlush = false;
bool failClose = false;
bool failReplace = false;
std::int32_t writeCalls = 0;
std::int32_t flushCalls = 0;
std::vector<std::string> shellOpened;
bool shellAccepts = true;
std::string modulePath = "/opt/orvanta/bin/orvanta";
bool directoriesWritable = true;
std::string configDirectory;

namespace {
// Bytes written so far to each open file.
std::map<platform::FileHandle, std::int64_t> written;

DialogCall recordCall(const char* title, const platform::FileFilter* filters, std::int32_t filterCount,
                      const char* initialDirectory, const char* fileName, std::int32_t capacity) {
    DialogCall call;
    call.title = title != nullptr ? title : "";
    for (std::int32_t i = 0; i < filterCount; ++i) call.filters.emplace_back(filters[i].description, filters[i].pattern);
    if (initialDirectory != nullptr) call.initialDirectory = initialDirectory;
    call.proposedName = fileName;
    call.capacity = capacity;
    return call;
}

bool answer(const std::optional<std::string>& path, char* fileName, std::int32_t capacity) {
    if (!path || path->size() + 1 > static_cast<std::size_t>(capacity)) return false;
    std::memcpy(fileName, path->c_str(), path->size() + 1);
    return true;
}
}  // namespace

void resetFileServices() {
    saveDialogCalls.clear();
    openDialogCalls.clear();
    savePath.reset();
    openPath.reset();
    failWriteAtByte = -1;
    failWriteWithZero = false;
    writeChunk = 0;
    failCreate = failFlush = failClose = failReplace = false;
    writeCalls = 0;
    flushCalls = 0;
    shellOpened.clear();
    shellAccepts = true;
    modulePath = "/opt/orvanta/bin/orvanta";
    directoriesWritable = true;
    configDirectory.clear();
}
}  // namespace fake

namespace platform {

bool showSaveDialog(const char* title, const FileFilter* filters, std::int32_t filterCount,
                    const char* defaultExtension, const char* initialDirectory, char* fileName,
                    std::int32_t capacity) {
    fake::DialogCall call = fake::recordCall(title, filters, filterCount, initialDirectory, fileName, capacity);
    if (defaultExtension != nullptr) call.defaultExtension = defaultExtension;
    fake::saveDialogCalls.push_back(call);
    return fake::answer(fake::savePath, fileName, capacity);
}

bool showOpenDialog(const char* title, const FileFilter* filters, std::int32_t filterCount,
                    const char* initialDirectory, char* fileName, std::int32_t capacity) {
    fake::openDialogCalls.push_back(fake::recordCall(title, filters, filterCount, initialDirectory, fileName, capacity));
    return fake::answer(fake::openPath, fileName, capacity);
}

FileHandle createNewFile(const char* path) {
    if (fake::failCreate) return kNoFile;
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return kNoFile;
    fake::written[fd] = 0;
    return fd;
}

std::int32_t writeToFile(FileHandle file, const unsigned char* bytes, std::int32_t count) {
    ++fake::writeCalls;
    std::int64_t allowed = count;
    if (fake::writeChunk > 0 && allowed > fake::writeChunk) allowed = fake::writeChunk;
    if (fake::failWriteAtByte >= 0) {
        const std::int64_t room = fake::failWriteAtByte - fake::written[file];
        if (room <= 0) return fake::failWriteWithZero ? 0 : -1;
        if (allowed > room) allowed = room;
    }
    const ssize_t done = ::write(static_cast<int>(file), bytes, static_cast<std::size_t>(allowed));
    if (done < 0) return -1;
    fake::written[file] += done;
    return static_cast<std::int32_t>(done);
}

bool flushFile(FileHandle file) {
    ++fake::flushCalls;
    if (fake::failFlush) return false;
    return ::fsync(static_cast<int>(file)) == 0;
}

bool closeFile(FileHandle file) {
    fake::written.erase(file);
    const bool closed = ::close(static_cast<int>(file)) == 0;
    return closed && !fake::failClose;
}

bool replaceFile(const char* source, const char* target) {
    if (fake::failReplace) return false;
    return std::rename(source, target) == 0;
}

bool removeFile(const char* path) { return ::unlink(path) == 0; }

bool readFileStart(const char* path, unsigned char* buffer, std::int32_t capacity, std::int32_t& bytesRead) {
    // The tests' files are small local files: the C library's buffered read
    // serves, with no interrupted calls to retry.
    bytesRead = 0;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(capacity), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return false;
    bytesRead = static_cast<std::int32_t>(got);
    return true;
}

bool shellOpen(const char* path) {
    fake::shellOpened.emplace_back(path);
    return fake::shellAccepts;
}

bool canWriteDirectory(const char*) { return fake::directoriesWritable; }

std::int32_t userConfigDirectory(char* buffer, std::int32_t capacity, bool create) {
    if (capacity > 0) buffer[0] = '\0';
    const std::string& folder = fake::configDirectory;
    if (folder.empty() || folder.size() + 1 > static_cast<std::size_t>(capacity)) return 0;
    std::error_code error;
    if (create) std::filesystem::create_directories(folder, error);
    if (error) return 0;
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<std::int32_t>(folder.size());
}

std::int32_t moduleFileName(char* buffer, std::int32_t capacity) {
    if (fake::modulePath.empty() || fake::modulePath.size() + 1 > static_cast<std::size_t>(capacity)) {
        if (capacity > 0) buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, fake::modulePath.c_str(), fake::modulePath.size() + 1);
    return static_cast<std::int32_t>(fake::modulePath.size());
}

}  // namespace platform
}  // namespace orvanta
