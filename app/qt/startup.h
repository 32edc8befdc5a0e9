// What the program does once its window is shown and the first map drawn.
#pragma once

namespace orvanta::qt {

// The edition words that follow the base title at start: " Public Version 11"
// or " Profi Release 11" (Windows-1251).
const char* editionTitleText();

// Installs Qt's own translations (file dialogs, the overwrite question) for
// the user's locale, when the system has them. Returns whether any was loaded.
bool loadQtTranslations();

// Sets the title with the edition words, reads the personal number and, in
// the Profi edition, sets the stamp words.
void initApplication();

}  // namespace orvanta::qt
