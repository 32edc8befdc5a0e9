#include "app/draw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orvanta {

namespace {

bool hasPixels(const OffscreenPicture& picture) {
    return picture.pixels != nullptr && picture.pictureWidth > 0 && picture.pictureHeight > 0;
}

void writePixel(std::uint8_t* row, std::int64_t x, Colour colour) {
    std::uint8_t* p = row + 4 * x;
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
    p[3] = 0;
}

// Fills [left, right) x [top, bottom), clipped to the picture.
void fillSpan(OffscreenPicture& picture, Colour colour, std::int64_t left, std::int64_t top, std::int64_t right,
              std::int64_t bottom) {
    if (!hasPixels(picture)) return;
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, picture.pictureWidth);
    bottom = std::min<std::int64_t>(bottom, picture.pictureHeight);
    for (std::int64_t y = top; y < bottom; ++y) {
        std::uint8_t* row = pictureRow(picture, static_cast<std::int32_t>(y));
        for (std::int64_t x = left; x < right; ++x) writePixel(row, x, colour);
    }
}

// A 1-pixel outline inside [left, right) x [top, bottom).
void frameSpan(OffscreenPicture& picture, Colour colour, std::int64_t left, std::int64_t top, std::int64_t right,
               std::int64_t bottom) {
    if (right <= left || bottom <= top) return;
    fillSpan(picture, colour, left, top, right, top + 1);
    fillSpan(picture, colour, left, bottom - 1, right, bottom);
    fillSpan(picture, colour, left, top + 1, left + 1, bottom - 1);
    fillSpan(picture, colour, right - 1, top + 1, right, bottom - 1);
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {  // b > 0
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

}  // namespace

std::int32_t toWindowCoordinate(double value) {
    if (std::isnan(value)) return 0;
    const double limit = kWindowCoordinateLimit;
    if (value > limit) return kWindowCoordinateLimit;
    if (value < -limit) return -kWindowCoordinateLimit;
    return static_cast<std::int32_t>(value);  // truncates toward zero
}

void clearPicture(OffscreenPicture& picture, std::uint8_t value) {
    if (!hasPixels(picture)) return;
    const std::int64_t stride = picture.rowStride < 0 ? -static_cast<std::int64_t>(picture.rowStride) : picture.rowStride;
    std::memset(picture.pixels, value, static_cast<std::size_t>(stride * picture.pictureHeight));
}

Colour pixelAt(const OffscreenPicture& picture, std::int32_t x, std::int32_t y) {
    const std::uint8_t* p = pictureRow(picture, y) + 4 * static_cast<std::int64_t>(x);
    return Colour{p[2], p[1], p[0]};
}

void setPixel(OffscreenPicture& picture, std::int32_t x, std::int32_t y, Colour colour) {
    if (!hasPixels(picture) || x < 0 || y < 0 || x >= picture.pictureWidth || y >= picture.pictureHeight) return;
    writePixel(pictureRow(picture, y), x, colour);
}

bool fillCentredRect(DrawingSurface& surface, Colour colour, std::int32_t cx, std::int32_t cy, std::int32_t width,
                     std::int32_t height) {
    if (width <= 0 || height <= 0 || surface.picture == nullptr) return false;
    const std::int64_t left = static_cast<std::int64_t>(cx) - width / 2;
    const std::int64_t top = static_cast<std::int64_t>(cy) - height / 2;
    fillSpan(*surface.picture, colour, left, top, left + width, top + height);
    return true;
}

bool frameCentredRect(DrawingSurface& surface, Colour colour, std::int32_t cx, std::int32_t cy, std::int32_t width,
                      std::int32_t height) {
    if (width <= 0 || height <= 0 || surface.picture == nullptr) return false;
    const std::int64_t left = static_cast<std::int64_t>(cx) - width / 2;
    const std::int64_t top = static_cast<std::int64_t>(cy) - height / 2;
    frameSpan(*surface.picture, colour, left, top, left + width, top + height);
    return true;
}

void frameCornerRect(DrawingSurface& surface, Colour colour, std::int32_t xa, std::int32_t xb, std::int32_t ya,
                     std::int32_t yb) {
    if (surface.picture == nullptr) return;
    const std::int64_t left = std::min(xa, xb);
    const std::int64_t right = static_cast<std::int64_t>(std::max(xa, xb)) + 1;
    const std::int64_t top = std::min(ya, yb);
    const std::int64_t bottom = static_cast<std::int64_t>(std::max(ya, yb)) + 1;
    frameSpan(*surface.picture, colour, left, top, right, bottom);
}

Pen selectPen(DrawingSurface& surface, const Pen& pen) {
    const Pen previous = surface.pen;
    surface.pen = pen;
    return previous;
}

// Bresenham's line without its end point. The pixel k steps along the major
// axis from the start lies round(k * minor / major) steps along the minor axis
// (halves rounded away from the start). Only the steps whose major coordinate
// falls within the picture (widened by the pen) are visited, so a line between
// far-away points costs no more than one across the picture.
void drawLine(DrawingSurface& surface, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    if (surface.picture == nullptr || !hasPixels(*surface.picture)) return;
    OffscreenPicture& picture = *surface.picture;
    const Pen pen = surface.pen;
    const std::int64_t penWidth = std::max<std::int32_t>(pen.width, 1);
    const std::int64_t sx0 = clampWindowCoordinate(x0), sy0 = clampWindowCoordinate(y0);
    const std::int64_t dx = clampWindowCoordinate(x1) - sx0, dy = clampWindowCoordinate(y1) - sy0;
    if (dx == 0 && dy == 0) return;

    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const std::int64_t major = xMajor ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
    const std::int64_t minor = xMajor ? (dy < 0 ? -dy : dy) : (dx < 0 ? -dx : dx);
    const std::int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t majorStart = xMajor ? sx0 : sy0;
    const std::int64_t minorStart = xMajor ? sy0 : sx0;
    const std::int64_t majorExtent = xMajor ? picture.pictureWidth : picture.pictureHeight;

    // Steps k in [kFirst, kEnd) whose major coordinate lies in the widened picture.
    const std::int64_t low = -penWidth, high = majorExtent + penWidth;  // coordinate range [low, high)
    std::int64_t kFirst = 0, kEnd = major;
    if (majorStep > 0) {
        kFirst = std::max(kFirst, low - majorStart);
        kEnd = std::min(kEnd, high - majorStart);
    } else {
        kFirst = std::max(kFirst, majorStart - (high - 1));
        kEnd = std::min(kEnd, majorStart - low + 1);
    }
    if (kFirst >= kEnd) return;

    const std::int64_t half = penWidth / 2;
    // m(k) = floor((2 k minor + major) / (2 major)); the error term tracks the remainder.
    std::int64_t m = floorDiv(2 * kFirst * minor + major, 2 * major);
    std::int64_t error = 2 * kFirst * minor + major - m * 2 * major;  // in [0, 2 major)
    for (std::int64_t k = kFirst; k < kEnd; ++k) {
        const bool on = pen.style != PenStyle::Dotted || (k % 6) < 3;
        if (on) {
            const std::int64_t a = majorStart + majorStep * k;
            const std::int64_t b = minorStart + minorStep * m;
            const std::int64_t px = xMajor ? a : b, py = xMajor ? b : a;
            if (penWidth == 1) {
                if (px >= 0 && py >= 0 && px < picture.pictureWidth && py < picture.pictureHeight)
                    writePixel(pictureRow(picture, static_cast<std::int32_t>(py)), px, pen.colour);
            } else {
                fillSpan(picture, pen.colour, px - half, py - half, px - half + penWidth, py - half + penWidth);
            }
        }
        error += 2 * minor;
        if (error >= 2 * major) {
            error -= 2 * major;
            ++m;
        }
    }
}

}  // namespace orvanta
