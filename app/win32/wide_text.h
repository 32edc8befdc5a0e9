// Text at the edge of the Windows front end. The program keeps its texts and
// paths as Windows-1251 strings; everything shown or handed to the system goes
// through the wide-character calls, so it reads the same whatever the
// system's code page.
#pragma once

#include <string>

namespace orvanta::win32 {

// A Windows-1251 text as UTF-16 (null gives "").
std::wstring widen(const char* cp1251);

// A UTF-16 text as Windows-1251; characters the code page lacks become '?'
// (one per UTF-16 unit, so the length stays the same).
std::string narrow(const wchar_t* utf16);

// Whether every character of the UTF-16 text has a Windows-1251 byte.
bool fitsCodePage(const wchar_t* utf16);

// Paths: the system hands out UTF-16 paths (dialog choices, the program's
// own file name) that the program then carries as Windows-1251 text. When such
// a path has characters the code page lacks, its narrow form is remembered
// with the real path, and widenPath maps any narrow path that shares a start
// holding a stand-in '?' with it (the file itself, a temporary file or a
// sibling beside it, the document name without the extension) back to the
// real one.
// `slot` keeps one path per source: a later path from the same source
// replaces the earlier one.
enum class PathSource { Dialog = 0, Module = 1 };
void rememberPath(PathSource slot, const std::wstring& realPath);

// The real UTF-16 path behind a Windows-1251 path (see rememberPath).
std::wstring widenPath(const char* cp1251);

}  // namespace orvanta::win32
