#include "app/win32/main_window.h"

#include <cstdio>

#include "app/front_end.h"
#include "app/menu_table.h"
#include "app/win32/picture_services.h"
#include "app/win32/wide_text.h"
#include "app/window_services.h"
#include "app/window_texts.h"
#include "core/catalogue.h"
#include "core/text1251.h"
#include "files/language_choice.h"

namespace orvanta::win32 {

namespace {

// Copies at most capacity - 1 bytes, always terminated.
void copyText(char* out, std::int32_t capacity, const char* text) {
    std::int32_t i = 0;
    for (; i + 1 < capacity && text[i] != '\0'; ++i) out[i] = text[i];
    out[i] = '\0';
}

// A string-table text, converted to the program's code page.
void loadText(UINT id, char* out, std::int32_t capacity) {
    wchar_t wide[kTitleCapacity] = {};
    LoadStringW(moduleInstance, id, wide, kTitleCapacity);
    copyText(out, capacity, narrow(wide).c_str());
}

// The keys whose press reached the window, by virtual-key code. A key acts on
// its release only if its press did too: the Esc that closes a menu, leaves
// the menu bar, or closes the About box or a file dialog is pressed there and
// released here, and must not stop a solve. Forgotten when a menu opens or
// the window loses the focus, so a press whose release went elsewhere cannot
// linger.
bool keysPressedHere[256] = {};

void forgetKeyPresses() {
    for (bool& pressed : keysPressedHere) pressed = false;
}

}  // namespace

int initMainWindow(MainWindow& window, UINT classNameId, UINT menuId, UINT acceleratorId,
                   UINT iconId, LPCWSTR cursorId, int showCommand, std::int32_t width, std::int32_t height) {
    if (moduleInstance == nullptr) return 0;
    window.width = width;
    window.height = height;
    copyText(window.baseTitle, kTitleCapacity, baseWindowTitle());
    loadText(classNameId, window.className, kTitleCapacity);
    registerMainClass(window, menuId, iconId, cursorId);
    const int created = createMainWindow(window, showCommand);
    if (created != 0) window.acceleratorTable = LoadAcceleratorsW(moduleInstance, MAKEINTRESOURCEW(acceleratorId));
    return created;
}

void registerMainClass(const MainWindow& window, UINT menuId, UINT iconId, LPCWSTR cursorId) {
    const std::wstring className = widen(window.className);
    WNDCLASSW windowClass = {};
    // The whole client area is repainted after every resize; the background is
    // never erased because every repaint covers every pixel.
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = moduleInstance;
    windowClass.hIcon = LoadIconW(moduleInstance, MAKEINTRESOURCEW(iconId));
    windowClass.hCursor = LoadCursorW(nullptr, cursorId);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszMenuName = menuId != 0 ? MAKEINTRESOURCEW(menuId) : nullptr;
    windowClass.lpszClassName = className.c_str();
    // A failure shows up as a window that cannot be created.
    RegisterClassW(&windowClass);
}

int createMainWindow(MainWindow& window, int showCommand) {
    const std::wstring className = widen(window.className);
    const std::wstring title = widen(window.baseTitle);
    window.windowHandle = CreateWindowExW(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                          window.width, window.height, nullptr, nullptr, moduleInstance, nullptr);
    if (window.windowHandle == nullptr) return 0;
    if (GetMenu(window.windowHandle) == nullptr) SetMenu(window.windowHandle, buildMenuBar());
    // Without the timer the clock only moves with other repaints; the program
    // works on regardless.
    SetTimer(window.windowHandle, kClockTimerId, kClockCheckMilliseconds, nullptr);
    ShowWindow(window.windowHandle, showCommand);
    // Paints at once: the first random map is made and drawn here.
    UpdateWindow(window.windowHandle);
    return 1;
}

void setWindowTitle(const MainWindow& window, bool withBaseTitle, const char* text, const char* name) {
    char front[kTitleCapacity];
    // A longer title is cut at kTitleCapacity - 1 characters; an encoding error leaves it empty.
    if (std::snprintf(front, sizeof front, "%s%s", withBaseTitle ? window.baseTitle : "",
                      text != nullptr ? text : "") < 0)
        front[0] = '\0';
    // The document name shows as the real file name, also where the code page
    // cannot spell it.
    std::wstring title = widen(front) + (name != nullptr ? widenPath(name) : std::wstring());
    if (title.size() > kTitleCapacity - 1) {
        title.resize(kTitleCapacity - 1);
        if (title.back() >= 0xD800 && title.back() <= 0xDBFF) title.pop_back();  // half a pair
    }
    if (window.windowHandle != nullptr) SetWindowTextW(window.windowHandle, title.c_str());
}

HMENU buildMenuBar() {
    HMENU bar = CreateMenu();
    if (bar == nullptr) return nullptr;
    for (std::int32_t m = 0; m < kMenuCount; ++m) {
        HMENU menu = CreatePopupMenu();
        if (menu == nullptr) continue;
        for (std::int32_t i = 0; i < kMenuBar[m].itemCount; ++i) {
            const MenuItem& item = kMenuBar[m].items[i];
            if (item.caption == nullptr) {
                AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            const UINT flags = MF_STRING | (isCheckedItem(item) ? MF_CHECKED : MF_UNCHECKED);
            AppendMenuW(menu, flags, static_cast<UINT_PTR>(item.commandId), widen(shownCaption(item)).c_str());
        }
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu), widen(shownCaption(kMenuBar[m])).c_str());
    }
    return bar;
}

std::string uiLocaleName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) == 0)
        return {};
    std::string out;
    for (const wchar_t* c = name; *c != L'\0'; ++c) out += *c < 0x80 ? static_cast<char>(*c) : '?';
    return out;
}

void chooseStartLanguage() {
    text::setLanguage(text::startLanguage(readLanguageChoice(), uiLocaleName().c_str()));
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(dialog, widen(aboutCaption()).c_str());
        return TRUE;  // the system focuses the OK button
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(dialog, id);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

void paintMainWindow(HWND window, HDC windowDc) {
    RECT client = {};
    GetClientRect(window, &client);
    const OffscreenPicture* picture = paintWindow(client.right, client.bottom);
    if (picture == nullptr || picture->store == nullptr || windowDc == nullptr) return;
    HDC pictureDc = CreateCompatibleDC(windowDc);
    if (pictureDc == nullptr) return;
    HGDIOBJ previous = SelectObject(pictureDc, picture->store->bitmap);
    BitBlt(windowDc, 0, 0, picture->pictureWidth, picture->pictureHeight, pictureDc, 0, 0, SRCCOPY);
    SelectObject(pictureDc, previous);
    DeleteDC(pictureDc);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint = {};
        HDC dc = BeginPaint(window, &paint);
        paintMainWindow(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam < 256) keysPressedHere[wParam] = true;
        break;
    case WM_KILLFOCUS:
    case WM_ENTERMENULOOP:
        forgetKeyPresses();
        break;
    case WM_KEYUP:
        if (wParam < 256 && keysPressedHere[wParam]) {
            keysPressedHere[wParam] = false;
            handleKeyRelease(static_cast<int>(wParam));
        }
        return 0;
    case kSolveEndedMessage:
        collectFinishedSolve();
        return 0;
    case WM_TIMER:
        if (wParam != kClockTimerId) break;
        // Only a window that can be seen needs the time brought up to date.
        if (IsWindowVisible(window) && !IsIconic(window)) tickGameClock();
        return 0;
    case WM_COMMAND:
        if (handleCommand(LOWORD(wParam))) return 0;
        break;  // not one of ours: the system's default handling
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        // The cursor's position now, not the one carried by the message.
        POINT point = {};
        if (!GetCursorPos(&point)) return 0;
        ScreenToClient(window, &point);
        recordClick(message == WM_LBUTTONDOWN ? MouseButton::Left : MouseButton::Right, point.x, point.y);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int runMessageLoop() {
    MSG message = {};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) return 0;  // a broken queue: end as a quit would
        if (got == 0) break;
        if (theMainWindow.acceleratorTable != nullptr &&
            TranslateAcceleratorW(message.hwnd, theMainWindow.acceleratorTable, &message) != 0) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace orvanta::win32
