// The one top-level window of the Windows front end: its record, start-up,
// window procedure, About box and message loop.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <string>

#include "app/window_services.h"

namespace orvanta::win32 {

inline constexpr std::int32_t kInitialWidth = 640;
inline constexpr std::int32_t kInitialHeight = 480;

// The timer that lets the game line's clock tick: looked at five times a
// second, the picture redrawn when the seconds shown fall behind.
inline constexpr UINT_PTR kClockTimerId = 1;
// Posted by the solve thread when its solve has ended.
inline constexpr UINT kSolveEndedMessage = WM_APP + 1;

struct MainWindow {
    char baseTitle[kTitleCapacity];  // baseWindowTitle(), Windows-1251: the front of every title
    char className[kTitleCapacity];  // string 109, the window class name
    HACCEL acceleratorTable;         // table 109, or null until loaded
    std::int32_t width;              // initial outer size of the window
    std::int32_t height;
    HWND windowHandle;               // the created window, or null
};

// Zero-initialised before the entry point runs; it owns nothing to release.
extern MainWindow theMainWindow;
// The program's module instance, stored by the entry point.
extern HINSTANCE moduleInstance;

// Takes the base title (window_texts.h), loads the class name, registers the class, creates and shows the window (which
// paints the first map at once) and loads the accelerators. Returns 1 when the
// window exists, else 0.
int initMainWindow(MainWindow& window, UINT classNameId, UINT menuId, UINT acceleratorId,
                   UINT iconId, LPCWSTR cursorId, int showCommand, std::int32_t width, std::int32_t height);

void registerMainClass(const MainWindow& window, UINT menuId, UINT iconId, LPCWSTR cursorId);

// Returns 1 when the window was created (and then shown and updated), else 0.
// A window whose class has no menu gets the menu bar of buildMenuBar.
int createMainWindow(MainWindow& window, int showCommand);

// The menu bar built from the menu table in the language in use, the
// language's item checked; the caller owns it (a window destroys its own).
HMENU buildMenuBar();

// The name of Windows' UI language ("ru-RU", "en-US"), "" when unknown.
std::string uiLocaleName();

// The language to start in: the player's remembered choice, else the one of
// Windows' UI language (core/catalogue.h's startLanguage).
void chooseStartLanguage();

// The title: baseTitle (when withBaseTitle), text and name (the real file
// name behind the narrow one, see widenPath), cut to 323 UTF-16 units.
void setWindowTitle(const MainWindow& window, bool withBaseTitle, const char* text, const char* name);

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs until the quit message and returns its code.
int runMessageLoop();

// Copies the repainted picture to the window; called between BeginPaint and
// EndPaint.
void paintMainWindow(HWND window, HDC windowDc);

}  // namespace orvanta::win32
