// The off-screen picture as plain memory. Texts go to the shell, which draws
// them with the canvas's own text over the picture once it is on the canvas,
// at the screen's full resolution; so the picture's memory holds everything
// but the texts, and the shell keeps the texts of the last redraw.
#include "app/web/picture_services.h"

#include <emscripten.h>

#include <cstring>

#include "core/text1251.h"

namespace {

EM_JS(void, js_texts_begin, (), { Module.web.textsBegin(); });
EM_JS(void, js_text, (int x, int y, int red, int green, int blue, const char* utf8),
      { Module.web.text(x, y, red, green, blue, UTF8ToString(utf8)); });
EM_JS(int, js_text_width, (const char* utf8), { return Module.web.textWidth(UTF8ToString(utf8)); });

orvanta::PictureContext theContext;

}  // namespace

namespace orvanta::platform {

bool createPictureSurface(OffscreenPicture& picture, std::int32_t width, std::int32_t height) {
    picture.store = nullptr;
    picture.pixels = nullptr;
    picture.rowStride = 0;
    if (width <= 0 || height <= 0) return false;
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    auto* store = new PictureStore;
    store->pixels.assign(bytes, 0);
    store->rgba.assign(bytes, 0xFF);
    picture.store = store;
    picture.pixels = store->pixels.data();
    picture.rowStride = width * 4;
    return true;
}

void releasePictureSurface(OffscreenPicture& picture) {
    delete picture.store;
    picture.store = nullptr;
    picture.pixels = nullptr;
}

bool beginPictureDrawing(DrawingSurface& surface) {
    surface.context = nullptr;
    if (surface.picture == nullptr || surface.picture->store == nullptr) return false;
    // A redraw draws all its texts anew; a repaint keeps the last ones.
    if (surface.redraw) js_texts_begin();
    surface.context = &theContext;
    return true;
}

void endPictureDrawing(DrawingSurface& surface) {
    surface.context = nullptr;
    OffscreenPicture* picture = surface.picture;
    if (picture == nullptr || picture->store == nullptr || !surface.redraw) return;
    const std::uint8_t* from = picture->store->pixels.data();
    std::uint8_t* to = picture->store->rgba.data();
    const std::size_t count = picture->store->pixels.size() / 4;
    for (std::size_t i = 0; i < count; ++i, from += 4, to += 4) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
        to[3] = 0xFF;
    }
}

void drawText(DrawingSurface& surface, std::int32_t x, std::int32_t y, Colour colour, const char* text) {
    if (surface.context == nullptr || text == nullptr) return;
    js_text(x, y, colour.red, colour.green, colour.blue, text::toUtf8(text).c_str());
}

std::int32_t textWidth(DrawingSurface& surface, const char* text) {
    if (surface.context == nullptr || text == nullptr) return 0;
    return js_text_width(text::toUtf8(text).c_str());
}

}  // namespace orvanta::platform
