// Drawing primitives that rasterise straight into the picture's pixel memory,
// so the board is pixel-identical on every desktop. Everything is clipped to
// the picture. Rules: a fill covers its rectangle with the right and bottom
// edges excluded; a frame is a 1-pixel outline lying inside its rectangle; a
// line paints its start point but not its end point.
#pragma once

#include <cstdint>

#include "app/picture.h"

namespace orvanta {

// Window coordinates computed from grid coordinates or taken from clicks are
// held within this distance of 0, so a hostile grid or city cannot overflow an
// int conversion, and squares and products of two of them stay far inside 64
// bits. Such points lie far outside any picture and are clipped when drawn.
inline constexpr std::int32_t kWindowCoordinateLimit = 1 << 29;

// trunc(value) held within +-kWindowCoordinateLimit (NaN gives 0).
std::int32_t toWindowCoordinate(double value);

// An integer window coordinate clamped into +-kWindowCoordinateLimit.
constexpr std::int64_t clampWindowCoordinate(std::int64_t v) {
    return v > kWindowCoordinateLimit ? kWindowCoordinateLimit : (v < -kWindowCoordinateLimit ? -kWindowCoordinateLimit : v);
}

// Sets every byte of the pixel memory to `value` (the grey background is 176).
void clearPicture(OffscreenPicture& picture, std::uint8_t value);

// The colour of pixel (x, y), which must lie inside the picture.
Colour pixelAt(const OffscreenPicture& picture, std::int32_t x, std::int32_t y);

// Sets one pixel; points outside the picture are ignored.
void setPixel(OffscreenPicture& picture, std::int32_t x, std::int32_t y, Colour colour);

// Fills left = cx - width/2, top = cy - height/2 (halves truncated toward zero),
// right = left + width, bottom = top + height, right and bottom excluded.
// Returns false for an empty rectangle (nothing drawn).
bool fillCentredRect(DrawingSurface& surface, Colour colour, std::int32_t cx, std::int32_t cy,
                     std::int32_t width, std::int32_t height);

// The same rectangle as fillCentredRect, outlined 1 pixel wide inside it.
bool frameCentredRect(DrawingSurface& surface, Colour colour, std::int32_t cx, std::int32_t cy,
                      std::int32_t width, std::int32_t height);

// 1-pixel outline of the rectangle from min(xa, xb) to max(xa, xb) and from
// min(ya, yb) to max(ya, yb), both ends included. Note the order: the two x
// values, then the two y values.
void frameCornerRect(DrawingSurface& surface, Colour colour, std::int32_t xa, std::int32_t xb,
                     std::int32_t ya, std::int32_t yb);

// Makes `pen` the surface's current pen and returns the one it replaces.
Pen selectPen(DrawingSurface& surface, const Pen& pen);

// A line from (x0, y0) towards (x1, y1) with the current pen, without the end
// point. Pens wider than 1 pixel paint a width x width square centred on each
// pixel of the 1-pixel line.
void drawLine(DrawingSurface& surface, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);

}  // namespace orvanta
