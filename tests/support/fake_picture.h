// Test stand-ins for the picture memory, the drawing surface and the text
// primitive: plain buffers, and a recorder of every text drawn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/picture.h"

namespace orvanta {

// A picture's pixels in the tests: a plain buffer. Text is only recorded, so
// no drawing context is ever made.
struct PictureStore {
    std::vector<std::uint8_t> memory;
};

}  // namespace orvanta

namespace orvanta::fake {

struct DrawnText {
    std::int32_t x;
    std::int32_t y;
    Colour colour;
    std::string text;  // Windows-1251, as passed
};

struct PictureLog {
    std::vector<DrawnText> texts;    // since the last reset
    std::int32_t creations = 0;      // successful createPictureSurface calls
    std::int32_t releases = 0;
    std::int32_t surfaces = 0;       // successful beginPictureDrawing calls
    std::int32_t openSurfaces = 0;   // begun and not yet ended
};

extern PictureLog pictureLog;

// How the next pictures are made: bottom-up like a Windows DIB (the default) or
// top-down, with extra bytes at the end of every row.
extern bool pictureBottomUp;
extern std::int32_t rowPaddingBytes;
// Failure injection for the next createPictureSurface / beginPictureDrawing calls.
extern bool failPictureCreation;
extern bool failDrawingSurface;
// textWidth's answer: this many pixels per character (7 by default, about
// the desktops' fonts; the layout allows digits up to 8).
extern std::int32_t textAdvance;

// Clears the log and the settings above; the picture itself is left alone.
void resetPictureFakes();

// The box a recorded text covers: as wide as textWidth says, a line box of
// `lineBox` pixels tall (16 at the scale of 1, the tallest the layout allows).
// Right and bottom are excluded.
struct TextBox {
    std::int32_t left, top, right, bottom;
};
TextBox boxOf(const DrawnText& text, std::int32_t lineBox = 16);
bool overlap(const TextBox& a, const TextBox& b);

}  // namespace orvanta::fake
