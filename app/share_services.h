// Services for passing a map on: a dialog that shows a code or a result with a
// button that copies it, a dialog that asks for a code, and the address that
// opens a map where the front end has one. Each front end defines these
// functions once (the test support library defines fakes); texts are
// Windows-1251 both ways.
#pragma once

#include <cstdint>

namespace orvanta::platform {

// A modal dialog titled `title`: `caption` above `text`, which can be selected
// and which a button copies to the clipboard whole (where the system offers a
// share sheet, as a phone's browser does, another button hands it there).
// Returns when the dialog was closed (in the browser: at once).
void showShareDialog(const char* title, const char* caption, const char* text);

// A modal dialog titled `title` that asks for a map code or a link: `message`
// (a prompt, or why the last entry was refused) above a field that starts with
// `code` (capacity bytes, terminated). On OK the entry goes into code, cut to
// fit, and the result is true; false when cancelled. The browser cannot wait:
// there the entry typed before the command ran is handed out once, and a call
// with nothing to hand out shows the dialog with the message and returns false.
bool askForMapCode(const char* title, const char* message, char* code, std::int32_t capacity);

// The address that opens the map of `code` (the web page's own address with
// '#' and the code) into buffer (capacity bytes) and its length; 0 and "" where
// the front end has no address (the desktops) or it does not fit.
std::int32_t mapCodeLink(const char* code, char* buffer, std::int32_t capacity);

}  // namespace orvanta::platform
