// Conversions between the program's Windows-1251 texts and Qt's strings.
#pragma once

#include <QString>

#include <string>

namespace orvanta::qt {

// A terminated Windows-1251 text as a QString.
QString fromCp1251(const char* text);

// Installs Qt's own translations (file dialogs, the overwrite question) for
// the user's locale, when the system has them. Returns whether any was loaded.
bool loadQtTranslations();

}  // namespace orvanta::qt
