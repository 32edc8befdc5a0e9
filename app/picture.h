// The off-screen picture that holds the whole client area between repaints
// and the platform services behind it. The program's one picture is
// thePicture, which the paint handler owns (controller.h); the drawing into it
// is the renderer's (renderer.h).
//
// Pixels are 32 bits, bytes in memory: blue, green, red, then one byte that
// carries no colour (the clear writes 176 into it, the rasteriser 0; front ends
// must ignore it). On Windows the memory is a bottom-up DIB section so that GDI
// can draw text into it; on Qt it is the memory of a QImage in Format_RGB32
// (top-down); in the tests a plain buffer of either orientation.
#pragma once

#include <cstdint>

namespace orvanta {

// An RGB triple. The Windows colour value is RGB(red, green, blue).
struct Colour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};
constexpr bool operator==(Colour a, Colour b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }
constexpr bool operator!=(Colour a, Colour b) { return !(a == b); }

// The front end's objects behind a picture and behind one redraw. Each front
// end (and the tests' fakes) defines them in its own folder; the portable code
// only passes pointers to them along.
struct PictureStore;    // owns the pixel memory (a DIB section, a QImage, ...)
struct PictureContext;  // draws text into it for one redraw (a memory DC, a QPainter, ...)

struct OffscreenPicture {
    // The front end's store of the pixels; null when there is no picture.
    PictureStore* store = nullptr;
    // Lowest address of the pixel memory; null when there is no picture.
    std::uint8_t* pixels = nullptr;
    // The client size the picture was made for (recorded even when making it failed).
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;
    // Bytes from one window row to the next one below it: positive when the top
    // row comes first in memory, negative for a bottom-up picture. |rowStride| is
    // at least 4 * pictureWidth; the memory spans |rowStride| * pictureHeight bytes.
    std::int32_t rowStride = 0;
};

// The line a pen draws. Dotted lines are 3 pixels on, 3 off, counted from the
// line's start point; the gaps are left untouched (transparent background).
enum class PenStyle : std::int32_t { Solid = 0, Dotted = 1 };

struct Pen {
    PenStyle style = PenStyle::Solid;
    std::int32_t width = 1;
    Colour colour{0, 0, 0};
};

// A drawing surface on the picture for the duration of one redraw: the pen of
// the line primitives and the front end's drawing context for text.
struct DrawingSurface {
    OffscreenPicture* picture = nullptr;
    // The front end's context; null in tests.
    PictureContext* context = nullptr;
    Pen pen{};
    // This repaint redraws the picture (it was dirty); without it the picture
    // keeps its last contents and is only shown again. The front end's
    // beginPictureDrawing and endPictureDrawing read it.
    bool redraw = false;
};

// Pointer to the first pixel of window row y (0 at the top) of a picture with
// pixel memory; y must lie in 0..pictureHeight-1.
inline std::uint8_t* pictureRow(const OffscreenPicture& picture, std::int32_t y) {
    const std::int64_t stride = picture.rowStride;
    const std::int64_t offset =
        stride >= 0 ? stride * y : -stride * (static_cast<std::int64_t>(picture.pictureHeight) - 1 - y);
    return picture.pixels + offset;
}

// Makes a picture of the given size through createPictureSurface, after
// refusing an empty size or one whose byte count does not fit 31 bits. Fills
// pictureWidth/pictureHeight with the size asked for, also on failure, when
// `pixels` stays null. Returns whether there is pixel memory.
bool createPicture(OffscreenPicture& picture, std::int32_t width, std::int32_t height);

// Remakes the picture when the client size differs from the one it was made
// for (a negative size counts as 0); returns whether it did, and the picture
// then needs a redraw.
bool fitPicture(OffscreenPicture& picture, std::int32_t clientWidth, std::int32_t clientHeight);

namespace platform {

// Makes the front end's picture for width x height pixels (both positive):
// sets picture.store, picture.pixels and picture.rowStride. Returns false and
// leaves pixels null when it cannot. The pixel contents may be anything.
bool createPictureSurface(OffscreenPicture& picture, std::int32_t width, std::int32_t height);

// Releases what createPictureSurface made and nulls store and pixels.
void releasePictureSurface(OffscreenPicture& picture);

// Opens a drawing surface on the picture for one redraw (on Windows a memory DC
// with the DIB selected; on Qt a QPainter on the image) with a transparent text
// background: surface.picture is already set and surface.context is the front
// end's to fill. Returns false when no surface can be made; nothing is then
// drawn or copied in that repaint.
bool beginPictureDrawing(DrawingSurface& surface);

// Closes the surface opened by beginPictureDrawing; the picture stays. All text
// must be in the pixel memory when this returns.
void endPictureDrawing(DrawingSurface& surface);

// Draws a Windows-1251 text in one colour, whole, on a transparent background.
// (x, y) is the top-left corner of the text's line box: the top of the cell
// (ascent plus descent, internal leading included; GDI's default TA_TOP|TA_LEFT
// alignment) and the left edge of the first character's advance. On Qt the
// baseline therefore lies at y + QFontMetrics::ascent().
// Font: on Windows the drawing context's default font. The layout of the status
// texts assumes a line box no taller than 16 pixels (spectrum rows are 16 apart,
// the game line starts 24 pixels above the bottom) and digit and '.' advances
// of at most 8 pixels (a spectrum length such as "103.457" ends before x = 72,
// where its count starts), so a front end must pick a font within those bounds
// (times the layout's pixelScale where the picture counts device pixels).
// Pixels outside the picture are clipped.
void drawText(DrawingSurface& surface, std::int32_t x, std::int32_t y, Colour colour, const char* text);

// The width in pixels that drawText covers with the same text on this surface
// (the advance, rounded up); 0 for no text or no context.
std::int32_t textWidth(DrawingSurface& surface, const char* text);

}  // namespace platform

}  // namespace orvanta
