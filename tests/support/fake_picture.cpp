#include "support/fake_picture.h"

#include <cstring>

namespace orvanta {

namespace fake {
PictureLog pictureLog;
bool pictureBottomUp = true;
std::int32_t rowPaddingBytes = 0;
bool failPictureCreation = false;
bool failDrawingSurface = false;
std::int32_t textAdvance = 7;

void resetPictureFakes() {
    pictureLog = PictureLog{};
    pictureBottomUp = true;
    rowPaddingBytes = 0;
    failPictureCreation = false;
    failDrawingSurface = false;
    textAdvance = 7;
}

TextBox boxOf(const DrawnText& text, std::int32_t lineBox) {
    DrawingSurface surface;
    const std::int32_t width = platform::textWidth(surface, text.text.c_str());
    return TextBox{text.x, text.y, text.x + width, text.y + lineBox};
}

bool overlap(const TextBox& a, const TextBox& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
}  // namespace fake

namespace platform {

bool createPictureSurface(OffscreenPicture& picture, std::int32_t width, std::int32_t height) {
    if (fake::failPictureCreation) return false;
    const std::int32_t rowBytes = 4 * width + fake::rowPaddingBytes;
    auto* store = new PictureStore;
    store->memory.resize(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height));
    picture.store = store;
    picture.pixels = store->memory.data();
    picture.rowStride = fake::pictureBottomUp ? -rowBytes : rowBytes;
    ++fake::pictureLog.creations;
    return true;
}

void releasePictureSurface(OffscreenPicture& picture) {
    delete picture.store;
    picture.store = nullptr;
    picture.pixels = nullptr;
    ++fake::pictureLog.releases;
}

bool beginPictureDrawing(DrawingSurface& surface) {
    if (fake::failDrawingSurface || surface.picture == nullptr) return false;
    ++fake::pictureLog.surfaces;
    ++fake::pictureLog.openSurfaces;
    return true;
}

void endPictureDrawing(DrawingSurface&) { --fake::pictureLog.openSurfaces; }

void drawText(DrawingSurface&, std::int32_t x, std::int32_t y, Colour colour, const char* text) {
    fake::pictureLog.texts.push_back(fake::DrawnText{x, y, colour, text});
}

std::int32_t textWidth(DrawingSurface&, const char* text) {
    return text == nullptr ? 0 : static_cast<std::int32_t>(std::strlen(text)) * fake::textAdvance;
}

}  // namespace platform

}  // namespace orvanta
