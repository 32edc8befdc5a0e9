// Draws one status text the way the program draws it (the same font and text
// service) on the picture's grey, for the end-to-end checks to look for in
// screenshots of the real window: render_line OUT.png WIDTH UTF8-TEXT.
#include <QApplication>
#include <QImage>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/qt/picture_services.h"
#include "app/status_panel.h"
#include "core/text1251.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 4) return 2;
    const int width = std::atoi(argv[2]);
    const std::string text = orvanta::text::fromUtf8(argv[3]);
    orvanta::OffscreenPicture picture;
    if (width <= 0 || !orvanta::platform::createPictureSurface(picture, width, 16)) return 1;
    picture.pictureWidth = width;
    picture.pictureHeight = 16;
    std::memset(picture.pixels, 176, static_cast<std::size_t>(picture.rowStride) * 16);
    orvanta::DrawingSurface surface;
    surface.picture = &picture;
    surface.redraw = true;  // a redrawn picture: made opaque for the copy
    if (!orvanta::platform::beginPictureDrawing(surface)) return 1;
    orvanta::platform::drawText(surface, 8, 0, orvanta::textColours::strong, text.c_str());
    orvanta::platform::endPictureDrawing(surface);
    const bool saved = picture.store->image.convertToFormat(QImage::Format_RGB32).save(argv[1]);
    orvanta::platform::releasePictureSurface(picture);
    return saved ? 0 : 1;
}
