// The platform services (group 1b of app/front_end.h) that the map and game
// files and the documents beside the program need. Each front end (Qt, Win32,
// the web's in-memory files and downloads) defines these functions once, and
// the test support library defines fakes; the linker picks the one in use.
//
// Every text crossing this seam (titles, filter texts, paths) is a terminated
// Windows-1251 string; the front ends convert to and from the desktop's own
// encoding. Paths handed out by the front end must fit the given capacity
// including the terminator; a path that does not fit counts as a failure.
// All functions run on the window's thread.
#pragma once

#include <cstdint>

namespace orvanta::platform {

// One entry of a file dialog's type list: a description such as "Map Files"
// and a pattern such as "*.rva" (or "*.*"). The first entry is preselected.
struct FileFilter {
    const char* description;
    const char* pattern;
};

// The modal "save as" dialog, owned by the main window. It starts in
// initialDirectory, or in the process's current directory when that is null.
// fileName (capacity bytes, 256 for the commands) holds the proposed name on
// entry, possibly with a directory, and receives the chosen full path on
// success. A name typed without extension gets defaultExtension (no dot, e.g.
// "rva"; null for none). The dialog must ask before an existing file is
// replaced, and hides any read-only option. It need not keep the current
// directory unchanged. Returns false when cancelled or when it failed; the
// contents of fileName are then unspecified.
bool showSaveDialog(const char* title, const FileFilter* filters, std::int32_t filterCount,
                    const char* defaultExtension, const char* initialDirectory, char* fileName,
                    std::int32_t capacity);

// The modal "open" dialog, owned by the main window: as showSaveDialog, but
// only existing files in existing folders can be chosen and no extension is
// added. fileName is emptied by the caller and receives the chosen full path.
bool showOpenDialog(const char* title, const FileFilter* filters, std::int32_t filterCount,
                    const char* initialDirectory, char* fileName, std::int32_t capacity);

// A file opened for writing by createNewFile; kNoFile stands for none.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Creates a new, empty file for writing, failing (kNoFile) if anything
// already exists at path, so that no existing file is ever truncated. Nobody
// else needs to share it.
FileHandle createNewFile(const char* path);

// Writes up to count bytes at the file's current end in one system call and
// returns how many were written (may be fewer than count), or -1 on error.
std::int32_t writeToFile(FileHandle file, const unsigned char* bytes, std::int32_t count);

// Pushes everything written so far to the storage device (fsync,
// FlushFileBuffers). Returns false on failure.
bool flushFile(FileHandle file);

// Closes the file. The handle is released even when this reports false
// (a close that fails may have lost data).
bool closeFile(FileHandle file);

// Renames source to target in one step, replacing target if it exists, so
// that target is at every moment either the old file or the new one. Both
// lie in the same directory. Returns false when nothing was replaced.
bool replaceFile(const char* source, const char* target);

// Deletes a file. Returns false when it could not be deleted.
bool removeFile(const char* path);

// Opens an existing file for reading (others may read it meanwhile), reads
// from its start until capacity bytes are read or the file ends, and closes
// it. bytesRead receives the number read. Returns false when the file cannot
// be opened or read; bytesRead is then 0.
bool readFileStart(const char* path, unsigned char* buffer, std::int32_t capacity, std::int32_t& bytesRead);

// Hands a document to the program the desktop associates with it (the
// shell's "open" verb, shown normally). True when the desktop accepted it;
// failure is silent.
bool shellOpen(const char* path);

// Whether the user may create and change files in the directory (given with
// its trailing separator). A system-wide installation's folder is not.
bool canWriteDirectory(const char* directory);

// The user's own folder for the program's documents, used when the program's
// folder is not the user's to write: its path with the trailing separator
// goes into buffer (capacity bytes) and its length is returned. With create
// set, the folder and its parents are made when missing, and 0 is returned
// when that fails. 0 also when the platform keeps every document beside the
// program or the path cannot be had or does not fit (the buffer then holds "").
std::int32_t userConfigDirectory(char* buffer, std::int32_t capacity, bool create);

// Copies the full file name of the running program into buffer (capacity
// bytes) and returns its length without the terminator, or 0 when the name
// cannot be obtained or does not fit (the buffer then holds "").
std::int32_t moduleFileName(char* buffer, std::int32_t capacity);

}  // namespace orvanta::platform
