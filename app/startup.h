// What the program does once its window is shown and the first map drawn, the
// same on every desktop.
#pragma once

namespace orvanta {

// The edition words that follow the base title at start: " Public Version 11"
// or " Profi Release 11" (Windows-1251). Static buffer.
const char* editionTitleText();

// Sets the title with the edition words, reads the personal number and, in
// the Profi edition, sets the stamp words.
void initApplication();

}  // namespace orvanta
