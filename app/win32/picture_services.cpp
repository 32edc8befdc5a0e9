// The off-screen picture as a 32-bit bottom-up DIB section, and text drawn into
// it by GDI in the drawing context's default font.
#include "app/win32/picture_services.h"

#include <string>

#include "app/win32/main_window.h"
#include "app/win32/wide_text.h"

namespace orvanta::platform {

bool createPictureSurface(OffscreenPicture& picture, std::int32_t width, std::int32_t height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        picture.store = nullptr;
        picture.pixels = nullptr;
        return false;
    }
    picture.store = new PictureStore{bitmap};
    picture.pixels = static_cast<std::uint8_t*>(bits);
    // The lowest address holds the bottom row; 32-bit rows need no padding.
    picture.rowStride = -4 * width;
    return true;
}

void releasePictureSurface(OffscreenPicture& picture) {
    if (picture.store != nullptr) {
        DeleteObject(picture.store->bitmap);
        delete picture.store;
    }
    picture.store = nullptr;
    picture.pixels = nullptr;
}

bool beginPictureDrawing(DrawingSurface& surface) {
    if (surface.picture == nullptr || surface.picture->store == nullptr) return false;
    HDC dc = CreateCompatibleDC(nullptr);  // compatible with the screen
    if (dc == nullptr) return false;
    HGDIOBJ previous = SelectObject(dc, surface.picture->store->bitmap);
    SetBkMode(dc, TRANSPARENT);
    surface.context = new PictureContext{dc, previous};
    return true;
}

void endPictureDrawing(DrawingSurface& surface) {
    PictureContext* context = surface.context;
    if (context == nullptr) return;
    GdiFlush();
    SelectObject(context->dc, context->previousBitmap);
    DeleteDC(context->dc);
    delete context;
    surface.context = nullptr;
}

void drawText(DrawingSurface& surface, std::int32_t x, std::int32_t y, Colour colour, const char* text) {
    if (surface.context == nullptr || text == nullptr) return;
    HDC dc = surface.context->dc;
    SetTextColor(dc, RGB(colour.red, colour.green, colour.blue));
    const std::wstring wide = win32::widen(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
    // The rest of the picture is written straight into the pixel memory, so
    // the text must be there before anything else is drawn.
    GdiFlush();
}

std::int32_t textWidth(DrawingSurface& surface, const char* text) {
    if (surface.context == nullptr || text == nullptr) return 0;
    const std::wstring wide = win32::widen(text);
    SIZE size{};
    if (!GetTextExtentPoint32W(surface.context->dc, wide.c_str(), static_cast<int>(wide.size()), &size)) return 0;
    return size.cx;
}

}  // namespace orvanta::platform
