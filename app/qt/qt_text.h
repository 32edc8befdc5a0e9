// Conversions between the program's Windows-1251 texts and Qt's strings.
#pragma once

#include <QString>

#include <string>

namespace orvanta::qt {

// A terminated Windows-1251 text as a QString.
QString fromCp1251(const char* text);

// The Windows-1251 bytes of a QString. Returns false when a character has no
// Windows-1251 byte, so that a path is never silently changed into another.
bool toCp1251(const QString& text, std::string& out);

// A Windows-1251 path as the file system's own bytes (UTF-8 here).
QByteArray localPath(const char* cp1251Path);

}  // namespace orvanta::qt
