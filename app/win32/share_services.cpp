// Passing a map on: the share dialog copies its text to the clipboard as
// Unicode text, the code dialog pastes from it (both from orvanta.rc).
#include <windows.h>

#include <cstring>
#include <string>

#include "app/share_services.h"
#include "app/win32/main_window.h"
#include "app/win32/resource_ids.h"
#include "app/win32/wide_text.h"
#include "core/catalogue.h"
#include "core/text1251.h"

namespace orvanta::platform {

namespace {

constexpr auto kCopy = RU("Копировать");
constexpr auto kCopied = RU("Скопировано");
constexpr auto kClose = RU("Закрыть");
constexpr auto kPaste = RU("Вставить");
constexpr auto kOpen = RU("Открыть");
constexpr auto kCancel = RU("Отмена");

struct ShareRequest {
    const char* title;
    const char* caption;
    const char* text;
};

struct CodeRequest {
    const char* title;
    const char* message;
    std::wstring entry;
};

bool copyToClipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return false;
    bool copied = false;
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    if (EmptyClipboard()) {
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* locked = GlobalLock(memory)) {
                std::memcpy(locked, text.c_str(), bytes);
                GlobalUnlock(memory);
                copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            }
            if (!copied) GlobalFree(memory);  // the clipboard owns it only once set
        }
    }
    CloseClipboard();
    return copied;
}

// An item's words in the language in use (the resource holds none).
void setItemText(HWND dialog, int id, const char* source) {
    SetDlgItemTextW(dialog, id, win32::widen(::orvanta::text::tr(source)).c_str());
}

std::wstring itemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(item, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

INT_PTR CALLBACK shareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* request = reinterpret_cast<const ShareRequest*>(lParam);
        SetWindowTextW(dialog, win32::widen(request->title).c_str());
        SetDlgItemTextW(dialog, IDC_SHARE_CAPTION, win32::widen(request->caption).c_str());
        SetDlgItemTextW(dialog, IDC_SHARE_TEXT, win32::widen(request->text).c_str());
        setItemText(dialog, IDC_COPY, kCopy);
        setItemText(dialog, IDCANCEL, kClose);
        SetFocus(GetDlgItem(dialog, IDC_COPY));
        return FALSE;  // the focus is set
    }
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (id == IDC_COPY) {
            if (copyToClipboard(dialog, itemText(dialog, IDC_SHARE_TEXT)))
                setItemText(dialog, IDC_COPY, kCopied);
            SendDlgItemMessageW(dialog, IDC_SHARE_TEXT, EM_SETSEL, 0, -1);
            return TRUE;
        }
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

INT_PTR CALLBACK codeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* request = reinterpret_cast<CodeRequest*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetWindowTextW(dialog, win32::widen(request->title).c_str());
        SetDlgItemTextW(dialog, IDC_MAP_CODE_MESSAGE, win32::widen(request->message).c_str());
        SetDlgItemTextW(dialog, IDC_MAP_CODE_ENTRY, request->entry.c_str());
        setItemText(dialog, IDC_PASTE, kPaste);
        setItemText(dialog, IDOK, kOpen);
        setItemText(dialog, IDCANCEL, kCancel);
        HWND entry = GetDlgItem(dialog, IDC_MAP_CODE_ENTRY);
        SetFocus(entry);
        SendMessageW(entry, EM_SETSEL, 0, -1);
        return FALSE;
    }
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (id == IDC_PASTE) {
            HWND entry = GetDlgItem(dialog, IDC_MAP_CODE_ENTRY);
            SetWindowTextW(entry, L"");
            SendMessageW(entry, WM_PASTE, 0, 0);
            SetFocus(entry);
            return TRUE;
        }
        if (id == IDOK) {
            auto* request = reinterpret_cast<CodeRequest*>(GetWindowLongPtrW(dialog, DWLP_USER));
            request->entry = itemText(dialog, IDC_MAP_CODE_ENTRY);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

void showShareDialog(const char* title, const char* caption, const char* text) {
    ShareRequest request{title, caption, text};
    DialogBoxParamW(win32::moduleInstance, MAKEINTRESOURCEW(IDD_SHARE), win32::theMainWindow.windowHandle,
                    shareDialogProc, reinterpret_cast<LPARAM>(&request));
}

bool askForMapCode(const char* title, const char* message, char* code, std::int32_t capacity) {
    if (code == nullptr || capacity <= 0) return false;
    CodeRequest request{title, message, win32::widen(code)};
    if (DialogBoxParamW(win32::moduleInstance, MAKEINTRESOURCEW(IDD_MAP_CODE), win32::theMainWindow.windowHandle,
                        codeDialogProc, reinterpret_cast<LPARAM>(&request)) != IDOK)
        return false;
    // Characters the code page lacks become '?', which no code has: refused.
    const std::string typed = win32::narrow(request.entry.c_str());
    const std::size_t n = typed.size() < static_cast<std::size_t>(capacity) ? typed.size() : static_cast<std::size_t>(capacity) - 1;
    std::memcpy(code, typed.data(), n);
    code[n] = '\0';
    return true;
}

std::int32_t mapCodeLink(const char* /*code*/, char* buffer, std::int32_t capacity) {
    // A desktop program has no address of its own: the code travels alone.
    if (buffer != nullptr && capacity > 0) buffer[0] = '\0';
    return 0;
}

}  // namespace orvanta::platform
