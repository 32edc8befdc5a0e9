// Test stand-ins for the main window's services: they record what was asked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta::fake {

struct WindowLog {
    std::int32_t invalidations = 0;
    std::int32_t beeps = 0;
    std::int32_t aboutBoxes = 0;
    std::int32_t closes = 0;
    std::int32_t languageChanges = 0;
    // Every title set, as text followed by name (Windows-1251), base title left out.
    std::vector<std::string> titles;
};

extern WindowLog windowLog;

void resetWindowServices();

}  // namespace orvanta::fake
