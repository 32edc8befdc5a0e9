// The player's choice of language, kept between runs in "language.txt": in
// the user's configuration folder where the platform has one, else beside
// the program (where a per-user installation keeps the personal number).
#pragma once

namespace orvanta {

// The remembered language code ("en"), or "" when none was chosen or the
// file cannot be read. Static buffer, overwritten by every call.
const char* readLanguageChoice();

// Keeps `code` for the next start; false when it could not be written. The
// file is replaced whole, so a failed write leaves the previous choice.
bool writeLanguageChoice(const char* code);

}  // namespace orvanta
