// File names on a desktop whose names are UTF-8 bytes, carried by the program
// as Windows-1251 text. A path the code page cannot spell (a folder named in
// Chinese, a file named with a German umlaut) travels as its narrow form, with
// '?' for each UTF-16 unit the code page lacks; the real path is remembered
// beside it and every file service maps narrow paths back before use.
#pragma once

#include <QString>

#include <string>

namespace orvanta::qt {

// Where a remembered path came from: the file dialogs keep the last few
// choices; the program's own file name and the user's configuration folder
// keep one place each.
enum class PathSource { Dialog, Program, Config };

// The narrow form of a path, remembering the real one when they differ.
std::string narrowPath(const QString& realPath, PathSource source);

// The real path behind a narrow one: the remembered path that shares the
// longest start with it supplies that start, the rest is plain Windows-1251.
// So the file itself, a temporary file beside it, a sibling in its folder and
// the document name (the path without its extension) all map back.
QString realPath(const char* narrow);

// realPath as the file system's own bytes.
QByteArray localPath(const char* narrow);

// Forgets every remembered path (for tests).
void forgetPaths();

}  // namespace orvanta::qt
