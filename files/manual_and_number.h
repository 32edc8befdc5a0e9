// The text files beside the program: the manual "help.txt" (with its
// translations "help.<code>.txt") and the file "user.txt" holding the user's
// personal number.
#pragma once

#include <cstdint>

namespace orvanta {

// The directory of the running program with its trailing separator ('/' or
// '\\'), or "" when it cannot be found. Static buffer, overwritten by every call.
const char* programDirectory();

// programDirectory() followed by name. Static buffer, overwritten by every call.
const char* programFilePath(const char* name);

// Opens a document with the desktop's associated program; true when accepted.
bool openWithShell(const char* path);

// The manual's file name in a language: "help.txt" for Russian, the source,
// "help.<code>.txt" for the others ("help.en.txt"). Static buffer.
const char* manualFileName(std::int32_t language);

// The Help menu's commands: open the manual / "user.txt" beside the program;
// false when the desktop could not open it (the caller refuses the command).
// The manual is the one of the language in use; where that file is missing,
// the English one, and where that is missing too, "help.txt".
// Where the program's folder is not the user's to write (a system-wide
// installation), openUserFile opens the user's own copy in their
// configuration folder instead, made from the shipped file on first use.
bool openManual();
bool openUserFile();

// The integer at the start of "user.txt" (the user's own copy when there is
// one, as openUserFile makes it, else the file beside the program), read like
// "%i" (white space, sign, 0x hex, leading-0 octal, else decimal); 0 when the
// file is missing or holds no integer, or when the integer does not fit 32 bits.
std::int32_t readPersonalNumber();

// The "%i" reading of a text, as readPersonalNumber applies it to the file.
std::int32_t parsePersonalNumber(const char* text, std::int32_t length);

}  // namespace orvanta
