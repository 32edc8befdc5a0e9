// The window's own texts that every front end shows alike: the program's name,
// the fixed front of every window title and the About box's caption.
// Windows-1251, like every text of the seam.
#pragma once

namespace orvanta {

// "Orvanta": the same in every language (the About box's line).
const char* programName();

// The program's name in double quotation marks: every window title starts
// with it, whatever follows (setWindowTitle).
const char* baseWindowTitle();

// The About box's caption in the language in use.
const char* aboutCaption();

}  // namespace orvanta
