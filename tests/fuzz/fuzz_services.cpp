#include "fuzz_services.h"

#include <cstring>

#include "core/platform.h"
#include "files/file_services.h"

namespace orvanta {

namespace fuzz {
std::map<std::string, std::vector<unsigned char>> files;
std::string dialogPath = "in";
std::int32_t clockNow = 1'700'000'000;

namespace {
// Files being written, by handle.
std::map<platform::FileHandle, std::string> open;
platform::FileHandle nextHandle = 1;

bool answer(char* fileName, std::int32_t capacity) {
    if (dialogPath.size() + 1 > static_cast<std::size_t>(capacity)) return false;
    std::memcpy(fileName, dialogPath.c_str(), dialogPath.size() + 1);
    return true;
}
}  // namespace
}  // namespace fuzz

namespace platform {

std::int32_t clockSeconds() { return fuzz::clockNow; }
// The solver's clock moves one millisecond each time it is read (once per
// 1024 steps of work), so a long solve still reaches its sleeps, and a run
// takes the same path whatever the speed of the machine: a real clock made
// the fuzzer's coverage, and with it the inputs it goes on to, depend on it.
std::int64_t monotonicMilliseconds() {
    static std::int64_t now = 0;
    return ++now;
}
void sleepMilliseconds(std::int32_t) {}

bool showSaveDialog(const char*, const FileFilter*, std::int32_t, const char*, const char*, char* fileName,
                    std::int32_t capacity) {
    return fuzz::answer(fileName, capacity);
}

bool showOpenDialog(const char*, const FileFilter*, std::int32_t, const char*, char* fileName, std::int32_t capacity) {
    return fuzz::answer(fileName, capacity);
}

FileHandle createNewFile(const char* path) {
    if (fuzz::files.count(path) != 0) return kNoFile;
    fuzz::files[path];
    fuzz::open[fuzz::nextHandle] = path;
    return fuzz::nextHandle++;
}

std::int32_t writeToFile(FileHandle file, const unsigned char* bytes, std::int32_t count) {
    auto& content = fuzz::files[fuzz::open.at(file)];
    content.insert(content.end(), bytes, bytes + count);
    return count;
}

bool flushFile(FileHandle) { return true; }

bool closeFile(FileHandle file) { return fuzz::open.erase(file) == 1; }

bool replaceFile(const char* source, const char* target) {
    auto found = fuzz::files.find(source);
    if (found == fuzz::files.end()) return false;
    std::vector<unsigned char> content = std::move(found->second);
    fuzz::files.erase(found);
    fuzz::files[target] = std::move(content);
    return true;
}

bool removeFile(const char* path) { return fuzz::files.erase(path) == 1; }

bool readFileStart(const char* path, unsigned char* buffer, std::int32_t capacity, std::int32_t& bytesRead) {
    bytesRead = 0;
    auto found = fuzz::files.find(path);
    if (found == fuzz::files.end()) return false;
    const std::size_t n = found->second.size() < static_cast<std::size_t>(capacity) ? found->second.size()
                                                                                       : static_cast<std::size_t>(capacity);
    if (n > 0) std::memcpy(buffer, found->second.data(), n);
    bytesRead = static_cast<std::int32_t>(n);
    return true;
}

bool shellOpen(const char*) { return false; }

std::int32_t moduleFileName(char* buffer, std::int32_t capacity) {
    if (capacity > 0) buffer[0] = '\0';
    return 0;
}

// The in-memory files take writes anywhere, so the documents stay beside
// the program.
bool canWriteDirectory(const char*) { return true; }

std::int32_t userConfigDirectory(char* buffer, std::int32_t capacity, bool) {
    if (capacity > 0) buffer[0] = '\0';
    return 0;
}

}  // namespace platform
}  // namespace orvanta
