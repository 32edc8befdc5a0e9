// The main window's services in the page: the shell (shell.js) repaints the
// canvas, shows the title and the About dialog, ends the program and beeps.
#include <emscripten.h>

#include <cstdio>
#include <string>

#include "app/web/file_services.h"
#include "app/window_services.h"
#include "app/window_texts.h"
#include "core/catalogue.h"
#include "core/text1251.h"

namespace {

EM_JS(void, js_invalidate, (), { Module.web.invalidate(); });
EM_JS(void, js_set_title, (const char* utf8), { Module.web.setTitle(UTF8ToString(utf8)); });
EM_JS(void, js_show_about, (const char* caption, const char* name),
      { Module.web.showAbout(UTF8ToString(caption), UTF8ToString(name)); });
EM_JS(void, js_close, (), { Module.web.closeProgram(); });
EM_JS(void, js_beep, (), { Module.web.beep(); });
EM_JS(void, js_language_changed, (const char* code), { Module.web.languageChanged(UTF8ToString(code)); });

}  // namespace

namespace orvanta::platform {

void invalidateWindow() { js_invalidate(); }

// The document name shows with its real characters, also those the code page
// lacks.
void setWindowTitle(const char* text, const char* name) {
    char front[kTitleCapacity];
    std::snprintf(front, sizeof front, "%s%s", baseWindowTitle(), text != nullptr ? text : "");
    js_set_title((text::toUtf8(front) + web::realName(name)).c_str());
}

// The dialog is modal in the page (it takes every input while it is open),
// but the browser cannot wait for it: this returns at once.
void showAboutBox() { js_show_about(text::toUtf8(aboutCaption()).c_str(), text::toUtf8(programName()).c_str()); }

void closeMainWindow() { js_close(); }

void refusalBeep() { js_beep(); }

// The shell rebuilds its menus, translates its own words and keeps the choice
// in the browser's local storage.
void languageChanged() { js_language_changed(text::languageCode(text::currentLanguage())); }

}  // namespace orvanta::platform
