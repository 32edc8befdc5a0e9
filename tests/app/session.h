// Helpers for the application tests: a fresh program state, paints through the
// fake picture, and readable views of the texts drawn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/picture.h"
#include "app/renderer.h"
#include "support/fake_picture.h"

namespace orvanta::test {

// Every global of the program back at its start values, the fakes emptied and
// the clock set to `clock`.
void startSession(std::int32_t clock = 1000000);

// One paint request of the given client size; the texts log holds only its texts.
const OffscreenPicture* paint(std::int32_t width, std::int32_t height);

// A texts as UTF-8.
std::string utf8(const std::string& cp1251);

// The texts drawn since the last paint, as UTF-8, in order.
std::vector<std::string> texts();

// The text drawn at (x, y) since the last paint, or null.
const fake::DrawnText* textAt(std::int32_t x, std::int32_t y);

// The pixel of the program's picture at (x, y).
Colour pixel(std::int32_t x, std::int32_t y);

// The window point at which city i is drawn for a client of the given size.
WindowPoint cityPoint(std::int32_t i, std::int32_t width, std::int32_t height);

// Records a click at city i's window point and paints.
void clickCity(std::int32_t i, std::int32_t width, std::int32_t height, bool right = false);

// Replaces the board's cities (Game mode is not entered), unsolved, route 0 alone.
void placeCities(std::int32_t gridSide, const std::vector<City>& cities);

}  // namespace orvanta::test
