// The window services the controller calls, carried out on the main window.
#include "app/window_services.h"

#include "app/win32/main_window.h"
#include "app/win32/resource_ids.h"
#include "core/catalogue.h"
#include "files/language_choice.h"

namespace orvanta::platform {

void invalidateWindow() {
    HWND window = win32::theMainWindow.windowHandle;
    if (window == nullptr) return;  // a null window would invalidate every window
    InvalidateRect(window, nullptr, FALSE);
    // Posted paint messages come before the system's own, so the repaint
    // follows at once even while the queue holds other input.
    PostMessageW(window, WM_PAINT, 0, 0);
}

void setWindowTitle(const char* text, const char* name) {
    win32::setWindowTitle(win32::theMainWindow, true, text, name);
}

void showAboutBox() {
    DialogBoxParamW(win32::moduleInstance, MAKEINTRESOURCEW(IDD_ABOUTBOX), win32::theMainWindow.windowHandle,
                    win32::aboutDialogProc, 0);
}

void closeMainWindow() {
    if (win32::theMainWindow.windowHandle != nullptr) DestroyWindow(win32::theMainWindow.windowHandle);
}

void refusalBeep() { MessageBeep(MB_ICONASTERISK); }

void languageChanged() {
    HWND window = win32::theMainWindow.windowHandle;
    if (window != nullptr) {
        // The menu that chose the language has closed before its command came.
        HMENU old = GetMenu(window);
        SetMenu(window, win32::buildMenuBar());
        if (old != nullptr) DestroyMenu(old);
        DrawMenuBar(window);
    }
    // A choice that cannot be kept still holds for this run.
    writeLanguageChoice(text::languageCode(text::currentLanguage()));
}

}  // namespace orvanta::platform
