#include "session.h"

#include <cstring>

#include "app/app_state.h"
#include "app/controller.h"
#include "app/draw.h"
#include "core/board.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "core/solver.h"
#include "core/text1251.h"
#include "files/current_document.h"
#include "files/manual_and_number.h"
#include "support/fake_clock.h"
#include "support/fake_share_services.h"
#include "support/fake_solve_services.h"
#include "support/fake_window_services.h"

namespace orvanta::test {

void startSession(std::int32_t clock) {
    resetToStartUp();
    fake::resetClock(clock);
    fake::resetWindowServices();
    fake::resetPictureFakes();
    fake::resetSolveRunner();
    fake::resetShareServices();
}

const OffscreenPicture* paint(std::int32_t width, std::int32_t height) {
    fake::pictureLog.texts.clear();
    return paintWindow(width, height);
}

std::string utf8(const std::string& cp1251) { return text::toUtf8(cp1251.c_str()); }

std::vector<std::string> texts() {
    std::vector<std::string> out;
    for (const fake::DrawnText& t : fake::pictureLog.texts) out.push_back(utf8(t.text));
    return out;
}

const fake::DrawnText* textAt(std::int32_t x, std::int32_t y) {
    for (const fake::DrawnText& t : fake::pictureLog.texts)
        if (t.x == x && t.y == y) return &t;
    return nullptr;
}

Colour pixel(std::int32_t x, std::int32_t y) { return pixelAt(thePicture, x, y); }

WindowPoint cityPoint(std::int32_t i, std::int32_t width, std::int32_t height) {
    return gridToWindow(layoutBoard(theBoard, width, height), theBoard.cities[i].x, theBoard.cities[i].y);
}

void clickCity(std::int32_t i, std::int32_t width, std::int32_t height, bool right) {
    const WindowPoint p = cityPoint(i, width, height);
    recordClick(right ? MouseButton::Right : MouseButton::Left, p.x, p.y);
    paint(width, height);
}

void placeCities(std::int32_t gridSide, const std::vector<City>& cities) {
    mapGenerator.gridSizeSetting = GridSize{gridSide, gridSide};
    mapGenerator.cityCountSetting = 0;
    resetBoard(theBoard);
    for (const City& c : cities) mapGenerator.cityCountSetting = theBoard.addCity(c.x, c.y);
}

}  // namespace orvanta::test
