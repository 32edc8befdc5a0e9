// Checks of the Windows front end that need Windows itself (run under Wine):
// the resources compiled into the executables, the file services with the
// replace-by-rename save, paths the Windows-1251 code page cannot spell, and
// text drawn by GDI into the bottom-up picture.
// Usage: orvanta-win32-tests.exe EXECUTABLE...   (each is checked for its resources)
//        orvanta-win32-tests.exe --game-lines WIDTH HEIGHT PREFIX TEXT...
//   draws each text as the game line of a client area of that size and writes
//   the line's 16 rows as PREFIX-<n>.ppm (n from 0), for the smoke test to
//   read the program's game line by comparing pictures.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/menu_table.h"
#include "core/catalogue.h"
#include "app/startup.h"
#include "app/window_texts.h"
#include "app/win32/main_window.h"
#include "app/share_services.h"
#include "app/win32/picture_services.h"
#include "app/win32/resource_ids.h"
#include "app/win32/wide_text.h"
#include "core/text1251.h"
#include "files/file_services.h"
#include "files/manual_and_number.h"
#include "files/safe_write.h"
#include "support/spectrum_cells.h"

namespace {

int passed = 0;
int failed = 0;

void check(bool ok, const char* what, int line) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAILED line %d: %s\n", line, what);
    }
}
#define CHECK(condition) check((condition), #condition, __LINE__)

using namespace orvanta;

// ---- Resources --------------------------------------------------------------

constexpr WORD kRussian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::wstring menuText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

const BYTE* rawResource(HMODULE module, LPCWSTR type, WORD id, WORD language, DWORD* size) {
    HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
    if (found == nullptr) return nullptr;
    *size = SizeofResource(module, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

// Reads a dialog template string or ordinal (ordinals come back as "#n").
std::wstring templateText(const WORD*& p) {
    if (*p == 0xFFFF) {
        const std::wstring ordinal = L"#" + std::to_wstring(p[1]);
        p += 2;
        return ordinal;
    }
    std::wstring text;
    while (*p != 0) text.push_back(static_cast<wchar_t>(*p++));
    ++p;
    return text;
}

struct DialogItem {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::wstring className;
    std::wstring text;
};

void checkResources(const wchar_t* path) {
    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    CHECK(module != nullptr);
    if (module == nullptr) return;

    // The resources hold the program's own texts, in the source language.
    text::setLanguage(text::kSourceLanguage);
    wchar_t text[64] = {};
    LoadStringW(module, IDS_APP_TITLE, text, 64);
    CHECK(std::wstring(text) == win32::widen(baseWindowTitle()));
    LoadStringW(module, IDS_CLASS_NAME, text, 64);
    CHECK(std::wstring(text) == L"ROVNA");

    DWORD size = 0;
    // The menu bar is built at run time, not kept as a resource.
    CHECK(FindResourceW(module, MAKEINTRESOURCEW(IDR_ACCELERATORS), MAKEINTRESOURCEW(4)) == nullptr);  // RT_MENU

    // The accelerators hold the table's character keys: characters (no
    // virtual key), no-invert, in order, the last one ending the table.
    const BYTE* accel = rawResource(module, MAKEINTRESOURCEW(9), IDR_ACCELERATORS, kEnglishUs, &size);  // RT_ACCELERATOR
    CHECK(accel != nullptr && size == 8u * static_cast<DWORD>(kCharacterKeyCount));
    if (accel != nullptr && size == 8u * static_cast<DWORD>(kCharacterKeyCount)) {
        const WORD* entry = reinterpret_cast<const WORD*>(accel);
        for (std::int32_t k = 0; k < kCharacterKeyCount; ++k, entry += 4) {
            const WORD flags = k + 1 == kCharacterKeyCount ? (FNOINVERT | 0x80) : FNOINVERT;
            CHECK(entry[0] == flags && entry[1] == static_cast<WORD>(kCharacterKeys[k].character) &&
                  entry[2] == kCharacterKeys[k].commandId);
        }
    }

    // The About box: its caption and its line are the program's own texts (the
    // caption in the source language, which the box shows translated).
    const BYTE* dialog = rawResource(module, MAKEINTRESOURCEW(5), IDD_ABOUTBOX, kRussian, &size);  // RT_DIALOG
    CHECK(dialog != nullptr);
    if (dialog != nullptr) {
        const auto* head = reinterpret_cast<const DLGTEMPLATE*>(dialog);
        CHECK(head->style == (DS_MODALFRAME | WS_CAPTION | WS_SYSMENU | DS_SETFONT));
        CHECK(head->dwExtendedStyle == 0 && head->cdit == 2);
        CHECK(head->x == 22 && head->y == 17 && head->cx == 157 && head->cy == 56);
        const WORD* p = reinterpret_cast<const WORD*>(head + 1);
        CHECK(templateText(p).empty());  // no menu
        CHECK(templateText(p).empty());  // the system's dialog class
        CHECK(templateText(p) == win32::widen(aboutCaption()));
        CHECK(*p++ == 8);
        CHECK(templateText(p) == L"System");
        DialogItem items[2];
        for (DialogItem& item : items) {
            p = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR{3});
            const auto* raw = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
            item = DialogItem{raw->style, raw->x, raw->y, raw->cx, raw->cy, raw->id, {}, {}};
            p = reinterpret_cast<const WORD*>(raw + 1);
            item.className = templateText(p);
            item.text = templateText(p);
            p += 1 + *p / sizeof(WORD);  // creation data
        }
        CHECK(items[0].style == (SS_CENTER | SS_NOPREFIX | WS_CHILD | WS_VISIBLE | WS_GROUP));
        CHECK(items[0].x == 13 && items[0].y == 8 && items[0].cx == 132 && items[0].cy == 8);
        CHECK(items[0].id == 0xFFFF && items[0].className == L"#130" && items[0].text == win32::widen(programName()));
        CHECK(items[1].style == (BS_DEFPUSHBUTTON | WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP));
        CHECK(items[1].x == 55 && items[1].y == 35 && items[1].cx == 46 && items[1].cy == 13);
        CHECK(items[1].id == IDOK && items[1].className == L"#128" && items[1].text == L"OK");
    }

    // The icon: seven true-colour images from 16 to 256 pixels (0 stands for 256).
    const BYTE* group = rawResource(module, MAKEINTRESOURCEW(14), IDI_APPLICATION_ICON, kEnglishUs, &size);  // RT_GROUP_ICON
    CHECK(group != nullptr && size == 6 + 7 * 14);
    if (group != nullptr && size == 6 + 7 * 14) {
        const WORD* header = reinterpret_cast<const WORD*>(group);
        CHECK(header[1] == 1 && header[2] == 7);
        const int sides[] = {16, 24, 32, 48, 64, 128, 0};
        for (int i = 0; i < 7; ++i) {
            const BYTE* entry = group + 6 + 14 * i;
            CHECK(entry[0] == sides[i] && entry[1] == sides[i] && entry[2] == 0);
            CHECK(reinterpret_cast<const WORD*>(entry)[3] == 32);
        }
    }
    // The version (read back in detail by scripts/test-packages-windows.sh) and the
    // application manifest.
    CHECK(rawResource(module, MAKEINTRESOURCEW(16), 1, kRussian, &size) != nullptr);  // RT_VERSION
    const BYTE* manifest = rawResource(module, MAKEINTRESOURCEW(24), 1, kEnglishUs, &size);  // RT_MANIFEST
    CHECK(manifest != nullptr);
    if (manifest != nullptr) {
        const std::string xml(reinterpret_cast<const char*>(manifest), size);
        CHECK(xml.find("PerMonitorV2") != std::string::npos);
        CHECK(xml.find("Microsoft.Windows.Common-Controls") != std::string::npos);
    }
    FreeLibrary(module);
}

// ---- File services ------------------------------------------------------------

std::wstring testDirectory;

std::string narrowPath(const std::wstring& path) { return win32::narrow(path.c_str()); }

std::vector<unsigned char> readAll(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    unsigned char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    CloseHandle(file);
    return bytes;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int filesIn(const std::wstring& directory) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++count;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

std::vector<unsigned char> pattern(std::size_t size, unsigned char seed) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(seed + i * 7);
    return bytes;
}

void checkFileServices() {
    const std::wstring first = testDirectory + L"\\first.bin";
    const std::string firstNarrow = narrowPath(first);

    // A new file is made only where nothing exists yet.
    platform::FileHandle file = platform::createNewFile(firstNarrow.c_str());
    CHECK(file != platform::kNoFile);
    const std::vector<unsigned char> bytes = pattern(600, 3);
    CHECK(platform::writeToFile(file, bytes.data(), 600) == 600);
    CHECK(platform::flushFile(file));
    CHECK(platform::closeFile(file));
    CHECK(platform::createNewFile(firstNarrow.c_str()) == platform::kNoFile);
    CHECK(readAll(first) == bytes);

    // Reading stops at the capacity, or at the end of a shorter file.
    std::vector<unsigned char> buffer(1000, 0xEE);
    std::int32_t got = -1;
    CHECK(platform::readFileStart(firstNarrow.c_str(), buffer.data(), 512, got) && got == 512);
    CHECK(std::equal(buffer.begin(), buffer.begin() + 512, bytes.begin()) && buffer[512] == 0xEE);
    CHECK(platform::readFileStart(firstNarrow.c_str(), buffer.data(), 1000, got) && got == 600);
    const std::string missing = narrowPath(testDirectory + L"\\missing.bin");
    CHECK(!platform::readFileStart(missing.c_str(), buffer.data(), 512, got) && got == 0);

    // The rename replaces an existing target in one step.
    const std::wstring second = testDirectory + L"\\second.bin";
    file = platform::createNewFile(narrowPath(second).c_str());
    const std::vector<unsigned char> other = pattern(512, 90);
    CHECK(platform::writeToFile(file, other.data(), 512) == 512);
    CHECK(platform::closeFile(file));
    CHECK(platform::replaceFile(narrowPath(second).c_str(), firstNarrow.c_str()));
    CHECK(!exists(second) && readAll(first) == other);
    CHECK(!platform::replaceFile(narrowPath(second).c_str(), firstNarrow.c_str()));
    CHECK(platform::removeFile(firstNarrow.c_str()) && !exists(first));
    CHECK(!platform::removeFile(firstNarrow.c_str()));

    // The whole save: over an existing file, with nothing left beside it.
    const std::wstring map = testDirectory + L"\\map.rva";
    CHECK(writeFileReplacing(narrowPath(map).c_str(), bytes.data(), 512));
    CHECK(writeFileReplacing(narrowPath(map).c_str(), other.data(), 512));
    CHECK(readAll(map) == other && filesIn(testDirectory) == 1);
    // Into a folder that does not exist: refused, and nothing is made.
    const std::string lost = narrowPath(testDirectory + L"\\no such folder\\map.rva");
    CHECK(!writeFileReplacing(lost.c_str(), bytes.data(), 512));
    CHECK(filesIn(testDirectory) == 1);
}

// A folder whose name has no Windows-1251 spelling: the narrow path the
// program carries still reaches the real file once the dialog handed it out.
void checkPathsOutsideTheCodePage() {
    const std::wstring folder = testDirectory + L"\\\u5730\u56FE \u03C7\u03AC\u03C1\u03C4\u03B7\u03C2 карты";
    CHECK(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring chosen = folder + L"\\\u03C7\u03AC\u03C1\u03C4\u03B7\u03C2.rva";
    CHECK(!win32::fitsCodePage(chosen.c_str()) && win32::fitsCodePage(L"C:\\Карты\\тур.rva"));
    const std::string narrowChosen = narrowPath(chosen);
    CHECK(narrowChosen.size() == chosen.size() && narrowChosen.find('?') != std::string::npos);
    CHECK(narrowChosen.find("\xEA\xE0\xF0\xF2\xFB") != std::string::npos);  // "карты" in Windows-1251

    win32::rememberPath(win32::PathSource::Dialog, chosen);
    CHECK(win32::widenPath(narrowChosen.c_str()) == chosen);
    const std::vector<unsigned char> bytes = pattern(512, 41);
    CHECK(writeFileReplacing(narrowChosen.c_str(), bytes.data(), 512));
    CHECK(readAll(chosen) == bytes && filesIn(folder) == 1);
    std::vector<unsigned char> back(512);
    std::int32_t got = 0;
    CHECK(platform::readFileStart(narrowChosen.c_str(), back.data(), 512, got) && got == 512 && back == bytes);

    // A sibling in the same folder maps through the folder; other paths stay as they are.
    const std::string sibling = narrowPath(folder + L"\\other.rvb");
    CHECK(win32::widenPath(sibling.c_str()) == folder + L"\\other.rvb");
    CHECK(win32::widenPath("C:\\\xCA\xE0\xF0\xF2\xFB\\a.rva") == L"C:\\Карты\\a.rva");
    // The document name, the path without its extension, maps back as well.
    CHECK(win32::widenPath(narrowChosen.substr(0, narrowChosen.size() - 4).c_str()) ==
          chosen.substr(0, chosen.size() - 4));
    // A path that fits the code page forgets the earlier one.
    win32::rememberPath(win32::PathSource::Dialog, L"C:\\maps\\a.rva");
    CHECK(win32::widenPath(narrowChosen.c_str()) == win32::widen(narrowChosen.c_str()));
}

void checkModulePath() {
    wchar_t wide[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, wide, MAX_PATH);
    char name[260] = {};
    const std::int32_t length = platform::moduleFileName(name, 260);
    CHECK(length > 0 && std::string(name) == narrowPath(wide));
    char tiny[8] = {'x'};
    CHECK(platform::moduleFileName(tiny, 8) == 0 && tiny[0] == '\0');
    const std::string directory = programDirectory();
    CHECK(!directory.empty() && directory.back() == '\\' && std::string(name).rfind(directory, 0) == 0);

    // The program's folder is the user's (a per-user installation or an
    // unpacked zip), and there is no second folder for the personal number.
    CHECK(platform::canWriteDirectory(directory.c_str()));
    CHECK(!platform::canWriteDirectory((directory + "no-such-folder\\").c_str()));
    char config[260] = {'x'};
    CHECK(platform::userConfigDirectory(config, 260, true) == 0 && config[0] == '\0');
}

// ---- Text and the picture ---------------------------------------------------------

void checkTextInPicture() {
    OffscreenPicture picture;
    CHECK(createPicture(picture, 200, 60));
    if (picture.pixels == nullptr) return;
    CHECK(picture.rowStride == -800);
    std::memset(picture.pixels, 176, 200 * 60 * 4);
    DrawingSurface surface;
    surface.picture = &picture;
    CHECK(platform::beginPictureDrawing(surface));

    // The status texts need the default font's line box to be at most 16
    // pixels (rows are 16 apart) and the widest tour length of the spectrum
    // list, six digits and a point, to end before its count 64 pixels on.
    HDC dc = surface.context != nullptr ? surface.context->dc : nullptr;
    TEXTMETRICW metrics = {};
    CHECK(GetTextMetricsW(dc, &metrics) && metrics.tmHeight <= 16);
    LONG widestDigit = 0;
    for (const wchar_t* c = L"0123456789"; *c != L'\0'; ++c) {
        SIZE extent = {};
        GetTextExtentPoint32W(dc, c, 1, &extent);
        widestDigit = std::max(widestDigit, extent.cx);
    }
    SIZE point = {};
    GetTextExtentPoint32W(dc, L".", 1, &point);
    CHECK(widestDigit > 0 && 6 * widestDigit + point.cx < 64);

    platform::drawText(surface, 20, 10, Colour{80, 80, 80}, "\xC8\xE3\xF0\xE0 12");  // "Игра 12"
    platform::endPictureDrawing(surface);
    CHECK(surface.context == nullptr);

    // The text lies in its line box below (x, y), measured from the top row:
    // the bottom-up memory is addressed the right way round, and the
    // background around the text is untouched.
    int textPixels = 0;
    int outside = 0;
    for (std::int32_t y = 0; y < 60; ++y) {
        const std::uint8_t* row = pictureRow(picture, y);
        for (std::int32_t x = 0; x < 200; ++x) {
            const std::uint8_t* px = row + 4 * x;
            if (px[0] == 176 && px[1] == 176 && px[2] == 176) continue;
            ++textPixels;
            if (y < 10 || y >= 10 + metrics.tmHeight || x < 20) ++outside;
        }
    }
    CHECK(textPixels > 20 && outside == 0);
    platform::releasePictureSurface(picture);
    CHECK(picture.pixels == nullptr && picture.store == nullptr);
}

// The longest counts of a row board stay in their cells, left of the board's
// frame, in the window's first size: GDI's default font is wider than the
// column's ten digits.
void checkSpectrumCells() {
    RECT outer = {0, 0, 0, 0};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, TRUE, 0);
    const std::int32_t width = 640 - (outer.right - outer.left), height = 480 - (outer.bottom - outer.top);
    const Board board = test::rowWithLongCounts();
    Frame frame;
    frame.board = &board;
    const FrameLayout layout = layoutFrame(board, width, height);
    OffscreenPicture picture;
    CHECK(createPicture(picture, width, height));
    if (picture.pixels == nullptr) return;
    CHECK(paintPicture(picture, &frame, layout) == &picture);
    const test::CountPixels pixels = test::countPixels(picture, layout);
    std::printf("spectrum counts: %d pixels in their cells, %d past them (client %dx%d)\n", pixels.inCells,
                pixels.pastCells, width, height);
    CHECK(pixels.inCells > 100);
    CHECK(pixels.pastCells == 0);
    platform::releasePictureSurface(picture);
}

void checkTitle() {
    win32::MainWindow& window = win32::theMainWindow;
    window.windowHandle = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
    CHECK(window.windowHandle != nullptr);
    std::strcpy(window.baseTitle, "\"Orvanta\"");
    CHECK(std::string(editionTitleText()) == " Profi Release 11");

    wchar_t shown[400] = {};
    win32::setWindowTitle(window, true, " - \xC8\xE3\xF0\xE0 ", "C:\\\xF2\xF3\xF0");  // " - Игра ", "C:\тур"
    GetWindowTextW(window.windowHandle, shown, 400);
    CHECK(std::wstring(shown) == L"\"Orvanta\" - Игра C:\\тур");
    // A document whose name the code page cannot spell shows its real name:
    // a folder in Chinese, a German umlaut, a character outside the basic plane.
    const std::wstring chosen = L"Z:\\tmp\\\u4E2D\u6587w\\\u00FC\U0001D11E.rva";
    win32::rememberPath(win32::PathSource::Dialog, chosen);
    const std::string narrowChosen = narrowPath(chosen);
    const std::string documentName = narrowChosen.substr(0, narrowChosen.size() - 4);
    CHECK(documentName == "Z:\\tmp\\??w\\???");
    win32::setWindowTitle(window, true, " - \xCA\xE0\xF0\xF2\xE0 ", documentName.c_str());  // " - Карта "
    GetWindowTextW(window.windowHandle, shown, 400);
    CHECK(std::wstring(shown) == L"\"Orvanta\" - Карта Z:\\tmp\\\u4E2D\u6587w\\\u00FC\U0001D11E");
    win32::rememberPath(win32::PathSource::Dialog, L"C:\\maps\\a.rva");
    // A title longer than the buffer is cut at 323 characters.
    const std::string longName(400, 'n');
    win32::setWindowTitle(window, true, " - ", longName.c_str());
    CHECK(GetWindowTextW(window.windowHandle, shown, 400) == 323);
    DestroyWindow(window.windowHandle);
    window.windowHandle = nullptr;
}

// ---- Passing a map on ------------------------------------------------------------

// The dialog of the given title, once it shows, for a timer callback to act in.
HWND shownDialog(const wchar_t* title) { return FindWindowW(L"#32770", title); }

std::wstring clipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::wstring shownText;
std::wstring shownMessage;

// A code shown in the share dialog goes to the clipboard with its button and
// comes back into the code dialog with its paste button, as a user passes it
// on. The dialogs come from the program's resources; timer callbacks, which
// the dialogs' own message loops run, press their buttons.
void checkMapCodeThroughTheClipboard(const wchar_t* program) {
    HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    CHECK(module != nullptr);
    if (module == nullptr) return;
    const HINSTANCE previous = win32::moduleInstance;
    win32::moduleInstance = module;
    const char* code = "48GC5GVQJ8RZ31R61";

    const UINT_PTR share = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = shownDialog(L"Поделиться картой");
        if (dialog == nullptr) return;
        KillTimer(nullptr, id);
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, IDC_SHARE_TEXT, text, 256);
        shownText = text;
        SendDlgItemMessageW(dialog, IDC_COPY, BM_CLICK, 0, 0);
        SendDlgItemMessageW(dialog, IDCANCEL, BM_CLICK, 0, 0);
    });
    platform::showShareDialog(RU("Поделиться картой").c_str(), RU("Код этой карты:").c_str(), code);
    KillTimer(nullptr, share);
    CHECK(shownText == L"48GC5GVQJ8RZ31R61");
    CHECK(clipboardText() == L"48GC5GVQJ8RZ31R61");

    const UINT_PTR ask = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = shownDialog(L"Открыть код карты");
        if (dialog == nullptr) return;
        KillTimer(nullptr, id);
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, IDC_MAP_CODE_MESSAGE, text, 256);
        shownMessage = text;
        SendDlgItemMessageW(dialog, IDC_PASTE, BM_CLICK, 0, 0);
        SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
    });
    char entry[64] = "old entry";
    const bool opened = platform::askForMapCode(RU("Открыть код карты").c_str(), RU("Код карты обрезан.").c_str(), entry, 64);
    KillTimer(nullptr, ask);
    CHECK(opened);
    CHECK(std::strcmp(entry, code) == 0);
    CHECK(shownMessage == L"Код карты обрезан.");

    win32::moduleInstance = previous;
    FreeLibrary(module);
}

// The game line as the status panel places it: at x 8, 24 pixels above the
// bottom, in the strong text colour, on the grey background.
int drawGameLines(int count, LPWSTR* args) {
    if (count < 4) return 2;
    const std::int32_t width = _wtoi(args[0]), height = _wtoi(args[1]);
    const std::int32_t top = height - 24;
    if (width <= 0 || top < 0) return 2;
    for (int i = 3; i < count; ++i) {
        OffscreenPicture picture;
        if (!createPicture(picture, width, height)) return 1;
        std::memset(picture.pixels, 176, static_cast<std::size_t>(width) * height * 4);
        DrawingSurface surface;
        surface.picture = &picture;
        if (platform::beginPictureDrawing(surface)) {
            platform::drawText(surface, 8, top, Colour{80, 80, 80}, win32::narrow(args[i]).c_str());
            platform::endPictureDrawing(surface);
        }
        const std::wstring path = std::wstring(args[2]) + L"-" + std::to_wstring(i - 3) + L".ppm";
        FILE* out = _wfopen(path.c_str(), L"wb");
        if (out == nullptr) return 1;
        std::fprintf(out, "P6\n%d 16\n255\n", width);
        for (std::int32_t y = top; y < top + 16 && y < height; ++y) {
            const std::uint8_t* row = pictureRow(picture, y);
            for (std::int32_t x = 0; x < width; ++x) {
                const std::uint8_t rgb[3] = {row[4 * x + 2], row[4 * x + 1], row[4 * x]};
                std::fwrite(rgb, 1, 3, out);
            }
        }
        std::fclose(out);
        platform::releasePictureSurface(picture);
    }
    return 0;
}

}  // namespace

// The menu bar in every language: the menu table's captions in that
// language's catalogue, its ids and separators in order, and a check mark on
// the language in use alone.
void checkMenuBars() {
    for (std::int32_t language = 0; language < text::languageCount(); ++language) {
        text::setLanguage(language);
        HMENU menu = win32::buildMenuBar();
        CHECK(menu != nullptr && GetMenuItemCount(menu) == kMenuCount);
        if (menu == nullptr) continue;
        for (std::int32_t m = 0; m < kMenuCount && m < GetMenuItemCount(menu); ++m) {
            CHECK(menuText(menu, static_cast<UINT>(m)) == win32::widen(text::tr(kMenuBar[m].caption)));
            HMENU sub = GetSubMenu(menu, m);
            CHECK(sub != nullptr && GetMenuItemCount(sub) == kMenuBar[m].itemCount);
            const int count = sub != nullptr ? std::min(GetMenuItemCount(sub), kMenuBar[m].itemCount) : 0;
            for (int i = 0; i < count; ++i) {
                const MenuItem& expected = kMenuBar[m].items[i];
                const UINT state = GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION);
                if (expected.caption == nullptr) {
                    CHECK((state & MF_SEPARATOR) != 0);
                    continue;
                }
                CHECK(menuText(sub, static_cast<UINT>(i)) == win32::widen(shownCaption(expected)));
                CHECK(GetMenuItemID(sub, i) == static_cast<UINT>(expected.commandId));
                CHECK((state & (MF_GRAYED | MF_DISABLED)) == 0);
                CHECK(((state & MF_CHECKED) != 0) == (languageOfCommand(expected.commandId) == language));
            }
        }
        DestroyMenu(menu);
    }
    text::setLanguage(text::languageOfCode("en"));
    HMENU english = win32::buildMenuBar();
    CHECK(english != nullptr && menuText(english, 0) == L"&File");
    if (english != nullptr) DestroyMenu(english);
    text::setLanguage(text::kSourceLanguage);
}

int main() {
    // --ui-language CODE: only the language Windows' UI language starts in.
    int argumentCount = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
    if (argumentCount == 3 && std::wstring(arguments[1]) == L"--ui-language") {
        const std::string want = win32::narrow(arguments[2]);
        const std::string locale = win32::uiLocaleName();
        win32::chooseStartLanguage();  // no choice kept beside the tests
        CHECK(std::string(text::languageCode(text::currentLanguage())) == want);
        // The menu bar it builds: every caption as that catalogue has it.
        HMENU bar = win32::buildMenuBar();
        CHECK(bar != nullptr && GetMenuItemCount(bar) == kMenuCount);
        for (std::int32_t m = 0; bar != nullptr && m < kMenuCount; ++m)
            CHECK(menuText(bar, static_cast<UINT>(m)) == win32::widen(text::tr(kMenuBar[m].caption)));
        CHECK(bar == nullptr || menuText(bar, 0) == (want == "ru" ? L"&Файл" : L"&File"));
        if (bar != nullptr) DestroyMenu(bar);
        std::printf("win32 tests: Windows' UI language %s starts in %s (%d failed)\n", locale.c_str(), want.c_str(), failed);
        LocalFree(arguments);
        return failed == 0 ? 0 : 1;
    }
    LocalFree(arguments);

    {
        int count = 0;
        LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
        if (count > 1 && std::wstring(args[1]) == L"--game-lines") {
            const int result = drawGameLines(count - 2, args + 2);
            LocalFree(args);
            return result;
        }
        LocalFree(args);
    }
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    testDirectory = std::wstring(temp) + L"orvanta-win32-tests-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(testDirectory.c_str(), nullptr);

    int wideCount = 0;
    LPWSTR* wideArgs = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    for (int i = 1; i < wideCount; ++i) checkResources(wideArgs[i]);
    CHECK(wideCount > 1);
    if (wideCount > 1) checkMapCodeThroughTheClipboard(wideArgs[1]);
    LocalFree(wideArgs);

    checkMenuBars();
    checkFileServices();
    checkPathsOutsideTheCodePage();
    checkModulePath();
    checkTextInPicture();
    checkSpectrumCells();
    checkTitle();

    // Leave nothing behind.
    SHFILEOPSTRUCTW remove = {};
    const std::wstring doubleTerminated = testDirectory + L'\0';
    remove.wFunc = FO_DELETE;
    remove.pFrom = doubleTerminated.c_str();
    remove.fFlags = FOF_NO_UI;
    SHFileOperationW(&remove);

    std::printf("win32 tests: %d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
