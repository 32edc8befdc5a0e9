// Services of the main window that the controller calls. Each front end defines
// these functions once (the test support library defines recording fakes); the
// linker picks the one in use. Texts are Windows-1251; the front end converts.
#pragma once

namespace orvanta {
// Titles are composed into a buffer of this many bytes; a longer one is cut.
inline constexpr int kTitleCapacity = 324;
}  // namespace orvanta

namespace orvanta::platform {

// Marks the whole client area for repainting without erasing the background,
// and makes sure a paint request (which calls paintWindow) follows soon.
void invalidateWindow();

// Sets the window title to the front end's base title (the program's name in
// double quotes, held by the front end's window record) followed directly by
// `text` and then `name`, with nothing in between: "%s%s%s". The controller
// passes " - Карта " or " - Игра " and the document name after a save or open;
// the start-up code passes the edition words and "".
void setWindowTitle(const char* text, const char* name);

// Shows the About box modally; returns when the user has closed it.
void showAboutBox();

// Destroys the main window; the event loop then ends and the program exits 0.
void closeMainWindow();

// The system's information sound: the only feedback for a refused command.
void refusalBeep();

// The player chose another language (core/catalogue.h's currentLanguage):
// the front end shows its menus and its own texts in it at once and keeps
// the choice for the next start. The controller sets the title and repaints.
void languageChanged();

}  // namespace orvanta::platform
