// Test stand-ins for the file dialogs, the shell and the module name. Files are
// real (tests use a temporary directory); writes can be made to fail at any
// byte, and every other step of a save can be made to fail on its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvanta::fake {

// What one dialog was shown with.
struct DialogCall {
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters;
    std::optional<std::string> defaultExtension;  // save dialog only
    std::optional<std::string> initialDirectory;
    std::string proposedName;  // the file-name buffer on entry
    std::int32_t capacity = 0;
};

extern std::vector<DialogCall> saveDialogCalls;
extern std::vector<DialogCall> openDialogCalls;
// The path each dialog answers with; nullopt makes it report a cancel.
extern std::optional<std::string> savePath;
extern std::optional<std::string> openPath;

// Save failures. failWriteAtByte >= 0: a file accepts that many bytes in all,
// after which a write reports an error (or writes nothing and reports 0 when
// failWriteWithZero is set). writeChunk > 0 caps the bytes one write takes.
extern std::int64_t failWriteAtByte;
extern bool failWriteWithZero;
extern std::int32_t writeChunk;
extern bool failCreate;
extern bool failFlush;
extern bool failClose;
extern bool failReplace;
extern std::int32_t writeCalls;
extern std::int32_t flushCalls;

// Shell: the paths handed to it, and whether it accepts them.
extern std::vector<std::string> shellOpened;
extern bool shellAccepts;

// The running program's full name; empty means it cannot be obtained.
extern std::string modulePath;

// Whether canWriteDirectory says yes (to every folder), and the user's
// configuration folder with its trailing separator ("" for none). The folder
// is really made when asked for.
extern bool directoriesWritable;
extern std::string configDirectory;

void resetFileServices();

}  // namespace orvanta::fake
