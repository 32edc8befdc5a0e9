// The desktop's side of the browser tests: plays a sequence of inputs on the
// portable program with the tests' fake services, repainting after each, and
// writes what a desktop would show at the end: the picture (text is left to
// the front ends, so the fake draws none) as a PPM file, the cities with
// their window points, the status texts with their positions, the title and
// the mode. Files are saved through the real save commands.
//
// web_reference WIDTH HEIGHT CLOCK OUT.ppm [STEP]...
//   click:X,Y  right:X,Y  key:VK  command:ID  solve  clock:SECONDS
//   personal:NUMBER  save-map:PATH  save-game:PATH  open-map:PATH  open-game:PATH
//   board:SIDE:X,Y;X,Y;...
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/controller.h"
#include "app/picture.h"
#include "app/renderer.h"
#include "app/startup.h"
#include "core/text1251.h"
#include "files/current_document.h"
#include "support/boards.h"
#include "support/fake_clock.h"
#include "support/fake_file_services.h"
#include "support/fake_picture.h"
#include "support/fake_solve_services.h"
#include "support/fake_window_services.h"

namespace {

using namespace orvanta;

int width = 0;
int height = 0;

void repaint() { paintWindow(width, height); }

bool startsWith(const std::string& text, const char* prefix, std::string& rest) {
    const std::size_t n = std::strlen(prefix);
    if (text.compare(0, n, prefix) != 0) return false;
    rest = text.substr(n);
    return true;
}

std::vector<City> citiesOf(const std::string& list) {
    std::vector<City> cities;
    std::size_t at = 0;
    while (at < list.size()) {
        City c{};
        if (std::sscanf(list.c_str() + at, "%d,%d", &c.x, &c.y) != 2) break;
        cities.push_back(c);
        const std::size_t next = list.find(';', at);
        if (next == std::string::npos) break;
        at = next + 1;
    }
    return cities;
}

bool play(const std::string& step) {
    std::string rest;
    int a = 0, b = 0;
    if (startsWith(step, "click:", rest) && std::sscanf(rest.c_str(), "%d,%d", &a, &b) == 2) {
        recordClick(MouseButton::Left, a, b);
    } else if (startsWith(step, "right:", rest) && std::sscanf(rest.c_str(), "%d,%d", &a, &b) == 2) {
        recordClick(MouseButton::Right, a, b);
    } else if (startsWith(step, "key:", rest)) {
        handleKeyRelease(std::atoi(rest.c_str()));
    } else if (startsWith(step, "command:", rest)) {
        handleCommand(std::atoi(rest.c_str()));
    } else if (step == "solve") {
        fake::endRunningSolve();
    } else if (startsWith(step, "clock:", rest)) {
        fake::clockNow = std::atoi(rest.c_str());
    } else if (startsWith(step, "personal:", rest)) {
        document.personalNumber = std::atoi(rest.c_str());
    } else if (startsWith(step, "save-map:", rest)) {
        fake::savePath = rest;
        handleCommand(command::saveMap);
    } else if (startsWith(step, "save-game:", rest)) {
        fake::savePath = rest;
        handleCommand(command::saveGame);
    } else if (startsWith(step, "open-map:", rest)) {
        fake::openPath = rest;
        handleCommand(command::openMap);
    } else if (startsWith(step, "open-game:", rest)) {
        fake::openPath = rest;
        handleCommand(command::openGame);
    } else if (startsWith(step, "board:", rest)) {
        const std::size_t colon = rest.find(':');
        if (colon == std::string::npos) return false;
        theBoard = test::boardOf(std::atoi(rest.c_str()), citiesOf(rest.substr(colon + 1)));
        requestRepaint();
    } else {
        return false;
    }
    repaint();
    return true;
}

bool writePicture(const char* path) {
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) return false;
    std::fprintf(out, "P6\n%d %d\n255\n", thePicture.pictureWidth, thePicture.pictureHeight);
    for (int y = 0; y < thePicture.pictureHeight; ++y) {
        const std::uint8_t* row = pictureRow(thePicture, y);
        for (int x = 0; x < thePicture.pictureWidth; ++x) {
            const unsigned char rgb[3] = {row[4 * x + 2], row[4 * x + 1], row[4 * x]};
            std::fwrite(rgb, 1, 3, out);
        }
    }
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT CLOCK OUT.ppm [STEP]...\n", argv[0]);
        return 2;
    }
    width = std::atoi(argv[1]);
    height = std::atoi(argv[2]);
    fake::resetClock(std::atoi(argv[3]));
    fake::resetFileServices();
    fake::resetWindowServices();
    fake::resetSolveRunner();
    fake::resetPictureFakes();
    resetToStartUp();
    repaint();
    initApplication();
    for (int i = 5; i < argc; ++i) {
        if (!play(argv[i])) {
            std::fprintf(stderr, "cannot play step %s\n", argv[i]);
            return 2;
        }
    }
    fake::pictureLog.texts.clear();
    requestRepaint();
    repaint();
    if (!writePicture(argv[4])) return 1;

    const BoardLayout layout = layoutBoard(theBoard, width, height);
    std::printf("mode %d\n", static_cast<int>(windowState.mode));
    for (std::int32_t i = 0; i < theBoard.cityCount && i < kMaxCities; ++i) {
        const WindowPoint at = gridToWindow(layout, theBoard.cities[i].x, theBoard.cities[i].y);
        std::printf("city %d %d %d %d\n", theBoard.cities[i].x, theBoard.cities[i].y, at.x, at.y);
    }
    for (const fake::DrawnText& text : fake::pictureLog.texts)
        std::printf("text %d %d %s\n", text.x, text.y, text::toUtf8(text.text.c_str()).c_str());
    const std::string title = fake::windowLog.titles.empty() ? "" : fake::windowLog.titles.back();
    std::printf("title %s\n", text::toUtf8(title.c_str()).c_str());
    std::printf("beeps %d\n", fake::windowLog.beeps);
    return 0;
}
