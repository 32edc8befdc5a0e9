// Conversions between the program's Windows-1251 texts and Qt's strings.
#pragma once

#include <QString>

#include <string>

namespace orvanta::qt {

// A terminated Windows-1251 text as a QString.
QString fromCp1251(const char* text);

// Installs Qt's own translations (file dialogs, the overwrite question) for
// the language in use (core/catalogue.h), in place of those installed
// before, when the system has them. Returns whether any was loaded.
bool loadQtTranslations();

// The name of the locale for messages as the C library chooses it from the
// environment (LC_ALL, then LC_MESSAGES, then LANG); "" when none is set.
const char* messagesLocaleName();

// The language to start in: the player's remembered choice, else the one of
// the messages locale (core/catalogue.h's startLanguage).
void chooseStartLanguage();

}  // namespace orvanta::qt
