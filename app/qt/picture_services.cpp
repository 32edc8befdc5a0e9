// The off-screen picture as a QImage, and text drawn into it with QPainter.
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include "app/qt/picture_services.h"

#include <algorithm>
#include <cmath>

#include "app/qt/qt_text.h"

namespace orvanta {

namespace {

// Limits the status texts are laid out for: a line box of at most 16 pixels
// and digits no wider than 8 pixels.
constexpr qreal kMaxLineHeight = 16.0;
constexpr qreal kMaxDigitAdvance = 8.0;

double theScale = 1.0;

bool fontFits(const QFont& font) {
    const QFontMetricsF metrics(font);
    if (metrics.ascent() + metrics.descent() > kMaxLineHeight) return false;
    for (const QChar ch : QStringLiteral("0123456789.")) {
        if (metrics.horizontalAdvance(ch) > kMaxDigitAdvance) return false;
    }
    return true;
}

// The largest pixel size of the desktop's general font that keeps within the
// limits, times the picture's scale (rounded down, so that the texts keep
// their proportions to the layout); chosen again when the scale changes.
const QFont& statusFont() {
    static QFont font;
    static double chosenFor = 0.0;
    if (chosenFor != theScale) {
        chosenFor = theScale;
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        int pixels = 14;
        for (; pixels > 6; --pixels) {
            font.setPixelSize(pixels);
            if (fontFits(font)) break;
        }
        font.setPixelSize(std::max(1, static_cast<int>(std::floor(pixels * theScale))));
        font.setHintingPreference(QFont::PreferFullHinting);
    }
    return font;
}

}  // namespace

namespace qt {

void setPictureScale(double scale) { theScale = scale >= 1.0 ? scale : 1.0; }
double pictureScale() { return theScale; }

}  // namespace qt

namespace platform {

bool createPictureSurface(OffscreenPicture& picture, std::int32_t width, std::int32_t height) {
    picture.store = nullptr;
    picture.pixels = nullptr;
    picture.rowStride = 0;
    if (width <= 0 || height <= 0) return false;
    auto* store = new PictureStore{QImage(width, height, QImage::Format_RGB32)};
    if (store->image.isNull()) {
        delete store;
        return false;
    }
    picture.store = store;
    picture.pixels = store->image.bits();
    picture.rowStride = static_cast<std::int32_t>(store->image.bytesPerLine());
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
    auto* context = new PictureContext;
    if (!context->painter.begin(&surface.picture->store->image)) {
        delete context;
        return false;
    }
    context->painter.setFont(statusFont());
    context->painter.setBackgroundMode(Qt::TransparentMode);
    surface.context = context;
    return true;
}

void endPictureDrawing(DrawingSurface& surface) {
    if (surface.context != nullptr) {
        surface.context->painter.end();
        delete surface.context;
        surface.context = nullptr;
    }
    OffscreenPicture* picture = surface.picture;
    // Only a redraw (which clears the picture first) changes the pixels.
    if (picture == nullptr || picture->pixels == nullptr || !surface.redraw) return;
    // The clear writes grey into the fourth byte too; QImage's RGB32 wants it
    // opaque before the picture is copied anywhere.
    for (std::int32_t y = 0; y < picture->pictureHeight; ++y) {
        std::uint8_t* row = pictureRow(*picture, y);
        for (std::int32_t x = 0; x < picture->pictureWidth; ++x) row[4 * x + 3] = 0xFF;
    }
}

void drawText(DrawingSurface& surface, std::int32_t x, std::int32_t y, Colour colour, const char* text) {
    if (surface.context == nullptr || text == nullptr) return;
    QPainter& painter = surface.context->painter;
    painter.setPen(QColor(colour.red, colour.green, colour.blue));
    const QFontMetricsF metrics(painter.font());
    painter.drawText(QPointF(x, y + metrics.ascent()), qt::fromCp1251(text));
}

std::int32_t textWidth(DrawingSurface& surface, const char* text) {
    if (surface.context == nullptr || text == nullptr) return 0;
    const QFontMetricsF metrics(surface.context->painter.font());
    const QString unicode = qt::fromCp1251(text);
    // A glyph may reach past its advance (its right bearing): count its ink too.
    const qreal right = std::max(metrics.horizontalAdvance(unicode), metrics.boundingRect(unicode).right());
    return static_cast<std::int32_t>(std::ceil(right));
}

}  // namespace platform

}  // namespace orvanta
