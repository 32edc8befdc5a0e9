// File services in the browser. There is no file system to speak of: files
// live in memory for the few steps of a save or an open. The save dialog
// accepts the proposed name, and a record that replaced its target goes to
// the browser as a download under that name; the open dialog hands out the
// file the user picked in the page's file picker before the command ran.
#include "app/web/file_services.h"

#include <emscripten.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

#include "core/text1251.h"
#include "files/file_services.h"

namespace {

EM_JS(void, js_download, (const char* utf8Name, const unsigned char* bytes, int count),
      { Module.web.download(UTF8ToString(utf8Name), HEAPU8.slice(bytes, bytes + count)); });
EM_JS(int, js_read_user_file, (char* buffer, int capacity), { return Module.web.readUserFile(buffer, capacity); });
EM_JS(void, js_open_manual, (), { Module.web.openManual(); });
EM_JS(void, js_edit_personal_number, (), { Module.web.editPersonalNumber(); });

std::map<std::string, std::vector<std::uint8_t>> files;
std::map<orvanta::platform::FileHandle, std::string> openFiles;
orvanta::platform::FileHandle nextHandle = 1;

std::string pickedName;
bool pickedWaiting = false;

// A picked name the code page cannot spell: the narrow form the program
// carries ('?' for what it lacks) and, for each of its bytes, the real
// character in UTF-8. The last few picks are kept.
struct RealName {
    std::string narrow;
    std::vector<std::string> characters;
};
std::deque<RealName> realNames;
constexpr std::size_t kRealNames = 8;

// The characters of a UTF-8 text, each as its own bytes: one for each byte
// text::fromUtf8 makes of it.
std::vector<std::string> utf8Characters(const std::string& utf8) {
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        characters.push_back(utf8.substr(i, length));
        i += length;
    }
    return characters;
}

bool copyOut(const std::string& text, char* buffer, std::int32_t capacity) {
    if (buffer == nullptr || capacity <= 0 || text.size() + 1 > static_cast<std::size_t>(capacity)) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

// The name a download is offered under: the path's last part.
std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

namespace orvanta::web {

void offerPickedFile(const std::string& utf8Name, const std::uint8_t* bytes, std::int32_t count) {
    forgetPickedFile();
    // A name with a directory part would be taken for one of the program's own.
    const std::string realBase = baseName(utf8Name);
    pickedName = text::fromUtf8(realBase);
    if (pickedName.empty()) pickedName = "?";
    if (text::toUtf8(pickedName.c_str()) != realBase) {
        realNames.push_front(RealName{pickedName, utf8Characters(realBase)});
        if (realNames.size() > kRealNames) realNames.pop_back();
    }
    files[pickedName].assign(bytes, bytes + (count > 0 ? count : 0));
    pickedWaiting = true;
}

std::string realName(const char* narrow) {
    const std::string name = narrow != nullptr ? narrow : "";
    // The remembered name sharing the longest start with this one supplies
    // that start, when it holds a stand-in '?'; the rest is plain Windows-1251.
    // So the document name (the file's name without its extension) and a save
    // name made of it map back.
    const RealName* best = nullptr;
    std::size_t bestLength = 0;
    for (const RealName& entry : realNames) {
        const std::size_t limit = std::min({name.size(), entry.narrow.size(), entry.characters.size()});
        std::size_t shared = 0;
        while (shared < limit && name[shared] == entry.narrow[shared]) ++shared;
        if (shared > bestLength && entry.narrow.find('?') < shared) {
            best = &entry;
            bestLength = shared;
        }
    }
    std::string real;
    for (std::size_t i = 0; i < bestLength; ++i) real += best->characters[i];
    return real + text::toUtf8(name.c_str() + bestLength);
}

void forgetPickedFile() {
    if (!pickedName.empty()) files.erase(pickedName);
    pickedName.clear();
    pickedWaiting = false;
}

}  // namespace orvanta::web

namespace orvanta::platform {

bool showSaveDialog(const char* /*title*/, const FileFilter* /*filters*/, std::int32_t /*filterCount*/,
                    const char* /*defaultExtension*/, const char* /*initialDirectory*/, char* fileName,
                    std::int32_t capacity) {
    // The download is offered under the proposed name.
    return fileName != nullptr && capacity > 0 && fileName[0] != '\0';
}

bool showOpenDialog(const char* /*title*/, const FileFilter* /*filters*/, std::int32_t /*filterCount*/,
                    const char* /*initialDirectory*/, char* fileName, std::int32_t capacity) {
    if (!pickedWaiting) return false;
    pickedWaiting = false;
    return copyOut(pickedName, fileName, capacity);
}

FileHandle createNewFile(const char* path) {
    if (path == nullptr || files.count(path) != 0) return kNoFile;
    files[path];
    openFiles[nextHandle] = path;
    return nextHandle++;
}

std::int32_t writeToFile(FileHandle file, const unsigned char* bytes, std::int32_t count) {
    const auto open = openFiles.find(file);
    if (open == openFiles.end() || count < 0) return -1;
    std::vector<std::uint8_t>& content = files[open->second];
    content.insert(content.end(), bytes, bytes + count);
    return count;
}

bool flushFile(FileHandle file) { return openFiles.count(file) != 0; }

bool closeFile(FileHandle file) { return openFiles.erase(file) != 0; }

bool replaceFile(const char* source, const char* target) {
    const auto from = files.find(source);
    if (from == files.end() || target == nullptr) return false;
    std::vector<std::uint8_t> bytes = std::move(from->second);
    files.erase(from);
    js_download(web::realName(baseName(target).c_str()).c_str(), bytes.data(), static_cast<int>(bytes.size()));
    // Kept, so that a later save under the same name replaces it again.
    files[target] = std::move(bytes);
    return true;
}

bool removeFile(const char* path) { return path != nullptr && files.erase(path) != 0; }

bool readFileStart(const char* path, unsigned char* buffer, std::int32_t capacity, std::int32_t& bytesRead) {
    bytesRead = 0;
    if (path == nullptr || buffer == nullptr || capacity < 0) return false;
    if (std::strcmp(path, web::kUserFilePath) == 0) {
        const int got = js_read_user_file(reinterpret_cast<char*>(buffer), capacity);
        if (got < 0) return false;
        bytesRead = got;
        return true;
    }
    const auto file = files.find(path);
    if (file == files.end()) return false;
    const std::size_t count = std::min(file->second.size(), static_cast<std::size_t>(capacity));
    std::memcpy(buffer, file->second.data(), count);
    bytesRead = static_cast<std::int32_t>(count);
    return true;
}

bool shellOpen(const char* path) {
    if (path == nullptr) return false;
    if (std::strcmp(path, web::kManualPath) == 0) {
        js_open_manual();
        return true;
    }
    if (std::strcmp(path, web::kUserFilePath) == 0) {
        js_edit_personal_number();
        return true;
    }
    return false;
}

// The program's folder is the page's own: the personal number stays there.
bool canWriteDirectory(const char* directory) { return directory != nullptr && directory[0] != '\0'; }

std::int32_t userConfigDirectory(char* buffer, std::int32_t capacity, bool /*create*/) {
    if (buffer != nullptr && capacity > 0) buffer[0] = '\0';
    return 0;
}

std::int32_t moduleFileName(char* buffer, std::int32_t capacity) {
    if (!copyOut(web::kProgramPath, buffer, capacity)) {
        if (buffer != nullptr && capacity > 0) buffer[0] = '\0';
        return 0;
    }
    return static_cast<std::int32_t>(sizeof web::kProgramPath - 1);
}

}  // namespace orvanta::platform
