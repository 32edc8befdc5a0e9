// The file services on Windows: the common file dialogs, whole-file reads and
// the temporary-file-and-rename save, the shell and the program's own path.
// Paths cross the seam as Windows-1251 text and are handed to the wide-
// character calls (see wide_text.h for paths the code page cannot spell).
#include "files/file_services.h"

// windows.h (through main_window.h) must come before the dialog headers.
#include "app/win32/main_window.h"

#include <commdlg.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/win32/wide_text.h"

namespace orvanta::platform {

namespace {

// Save: ask before replacing a file, no read-only box. Open: the same box
// hidden, and only existing files in existing folders.
constexpr DWORD kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
constexpr DWORD kOpenFlags = OFN_READONLY | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
static_assert(kSaveFlags == 6 && kOpenFlags == 6149, "dialog flags");

// The buffer for the current directory the dialogs start in.
constexpr DWORD kDirectoryCapacity = 512;

HANDLE toHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// "description\0pattern\0...\0\0" as the dialog expects it.
std::wstring filterList(const FileFilter* filters, std::int32_t filterCount) {
    std::wstring list;
    for (std::int32_t i = 0; filters != nullptr && i < filterCount; ++i) {
        list += win32::widen(filters[i].description);
        list.push_back(L'\0');
        list += win32::widen(filters[i].pattern);
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

bool runFileDialog(bool save, const char* title, const FileFilter* filters, std::int32_t filterCount,
                   const char* defaultExtension, const char* initialDirectory, char* fileName,
                   std::int32_t capacity) {
    using win32::widen;
    if (fileName == nullptr || capacity < 2) return false;

    std::vector<wchar_t> file(static_cast<std::size_t>(capacity), L'\0');
    if (save) {
        const std::wstring proposed = win32::widenPath(fileName);
        proposed.copy(file.data(), file.size() - 1);
    }

    std::wstring directory;
    if (initialDirectory != nullptr) {
        directory = win32::widenPath(initialDirectory);
    } else {
        wchar_t current[kDirectoryCapacity] = {};
        const DWORD length = GetCurrentDirectoryW(kDirectoryCapacity, current);
        if (length > 0 && length < kDirectoryCapacity) directory = current;
    }

    const std::wstring filter = filterList(filters, filterCount);
    const std::wstring dialogTitle = widen(title);
    const std::wstring extension = widen(defaultExtension);

    OPENFILENAMEW dialog = {};
    // The classic form of the structure, without the later extension fields.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    dialog.hwndOwner = win32::theMainWindow.windowHandle;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(capacity);
    dialog.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    dialog.lpstrTitle = dialogTitle.c_str();
    dialog.lpstrDefExt = save && defaultExtension != nullptr ? extension.c_str() : nullptr;
    dialog.Flags = save ? kSaveFlags : kOpenFlags;

    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    file.back() = L'\0';
    if (!chosen || file[0] == L'\0') return false;

    const std::wstring path(file.data());
    const std::string narrowPath = win32::narrow(path.c_str());
    if (narrowPath.size() + 1 > static_cast<std::size_t>(capacity)) return false;
    narrowPath.copy(fileName, narrowPath.size());
    fileName[narrowPath.size()] = '\0';
    win32::rememberPath(win32::PathSource::Dialog, path);
    return true;
}

}  // namespace

bool showSaveDialog(const char* title, const FileFilter* filters, std::int32_t filterCount,
                    const char* defaultExtension, const char* initialDirectory, char* fileName,
                    std::int32_t capacity) {
    return runFileDialog(true, title, filters, filterCount, defaultExtension, initialDirectory, fileName, capacity);
}

bool showOpenDialog(const char* title, const FileFilter* filters, std::int32_t filterCount,
                    const char* initialDirectory, char* fileName, std::int32_t capacity) {
    return runFileDialog(false, title, filters, filterCount, nullptr, initialDirectory, fileName, capacity);
}

FileHandle createNewFile(const char* path) {
    if (path == nullptr || path[0] == '\0') return kNoFile;
    HANDLE file = CreateFileW(win32::widenPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kNoFile;
    return reinterpret_cast<FileHandle>(file);
}

std::int32_t writeToFile(FileHandle file, const unsigned char* bytes, std::int32_t count) {
    if (file == kNoFile || count < 0 || (bytes == nullptr && count > 0)) return -1;
    DWORD written = 0;
    if (!WriteFile(toHandle(file), bytes, static_cast<DWORD>(count), &written, nullptr)) return -1;
    return static_cast<std::int32_t>(written);
}

bool flushFile(FileHandle file) { return file != kNoFile && FlushFileBuffers(toHandle(file)) != 0; }

bool closeFile(FileHandle file) { return file != kNoFile && CloseHandle(toHandle(file)) != 0; }

bool replaceFile(const char* source, const char* target) {
    if (source == nullptr || target == nullptr) return false;
    return MoveFileExW(win32::widenPath(source).c_str(), win32::widenPath(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool removeFile(const char* path) { return path != nullptr && DeleteFileW(win32::widenPath(path).c_str()) != 0; }

bool readFileStart(const char* path, unsigned char* buffer, std::int32_t capacity, std::int32_t& bytesRead) {
    bytesRead = 0;
    if (path == nullptr || path[0] == '\0' || buffer == nullptr || capacity < 0) return false;
    HANDLE file = CreateFileW(win32::widenPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::int32_t total = 0;
    bool ok = true;
    while (total < capacity) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + total, static_cast<DWORD>(capacity - total), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;  // end of file
        total += static_cast<std::int32_t>(got);
    }
    CloseHandle(file);
    if (!ok) return false;
    bytesRead = total;
    return true;
}

bool shellOpen(const char* path) {
    if (path == nullptr) return false;
    HINSTANCE result =
        ShellExecuteW(nullptr, L"open", win32::widenPath(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool canWriteDirectory(const char* directory) {
    if (directory == nullptr || directory[0] == '\0') return false;
    const DWORD attributes = GetFileAttributesW(win32::widenPath(directory).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

// The program is installed per user (or unpacked from the portable zip), so
// the documents beside it are the user's own: there is no second folder.
std::int32_t userConfigDirectory(char* buffer, std::int32_t capacity, bool) {
    if (buffer != nullptr && capacity > 0) buffer[0] = '\0';
    return 0;
}

std::int32_t moduleFileName(char* buffer, std::int32_t capacity) {
    if (buffer == nullptr || capacity < 1) return 0;
    buffer[0] = '\0';
    // Long enough for any path the system can give.
    std::vector<wchar_t> wide(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
    if (length == 0 || length >= wide.size()) return 0;
    const std::wstring name(wide.data(), length);
    const std::string narrowName = win32::narrow(name.c_str());
    if (narrowName.size() + 1 > static_cast<std::size_t>(capacity)) return 0;
    narrowName.copy(buffer, narrowName.size());
    buffer[narrowName.size()] = '\0';
    win32::rememberPath(win32::PathSource::Module, name);
    return static_cast<std::int32_t>(narrowName.size());
}

}  // namespace orvanta::platform
