// The page's entry points: shell.js calls these for start-up, every repaint,
// the keys, the menu commands, the clicks, the clock's timer and a picked file.
#include <emscripten.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/front_end.h"
#include "app/web/file_services.h"
#include "app/web/picture_services.h"
#include "app/web/share_services.h"
#include "app/web/web_board_transfer.h"
#include "core/catalogue.h"
#include "core/text1251.h"

namespace {

// What the page hands in: a picked file, the share text or the language choice.
std::vector<std::uint8_t> bytesFromPage;
// The last copy of the board handed to the page's tests.
orvanta::web::FlatBoard boardForTests{};
// The layout of the last repaint.
orvanta::LayoutChoice layoutChoice = orvanta::layoutFrame;
// The board's outline (origin and far corner), the count of the cities, then
// each city's window point.
std::int32_t boardPoints[5 + 2 * orvanta::kMaxCities];

}  // namespace

extern "C" {

// The language to start in, before orvanta_start: the player's remembered
// choice (or the page's ?lang=), else the browser's language, by the rules
// the desktops follow (core/catalogue.h). Returns the language's index.
EMSCRIPTEN_KEEPALIVE int orvanta_choose_language(const char* remembered, const char* locale) {
    orvanta::text::setLanguage(orvanta::text::startLanguage(remembered, locale));
    return orvanta::text::currentLanguage();
}

// As the desktops start: the first map is made and drawn for the client size,
// then the title, the personal number and the stamp words are set.
EMSCRIPTEN_KEEPALIVE void orvanta_start(int width, int height) {
    orvanta::resetToStartUp();
    orvanta::paintWindow(width, height);
    orvanta::initApplication();
}

// The picture for the client size, in the canvas's byte order, or null; its
// size comes from orvanta_picture_width and orvanta_picture_height. On a small
// screen (the page shows the status texts around the picture) the board fills
// the picture.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* orvanta_paint(int width, int height, int smallScreen) {
    layoutChoice = smallScreen != 0 ? orvanta::layoutSmallScreen : orvanta::layoutFrame;
    const orvanta::OffscreenPicture* picture = orvanta::paintWindow(width, height, layoutChoice);
    if (picture == nullptr || picture->store == nullptr) return nullptr;
    return picture->store->rgba.data();
}

EMSCRIPTEN_KEEPALIVE int orvanta_picture_width() { return orvanta::currentPictureSize().width; }
EMSCRIPTEN_KEEPALIVE int orvanta_picture_height() { return orvanta::currentPictureSize().height; }

// Where the board and its cities lie in the picture now, for the page to find
// the city a finger meant.
EMSCRIPTEN_KEEPALIVE const std::int32_t* orvanta_board_points() {
    const orvanta::BoardInPicture placed = orvanta::boardInPicture(layoutChoice);
    boardPoints[0] = placed.layout.originX;
    boardPoints[1] = placed.layout.originY;
    boardPoints[2] = placed.layout.farX;
    boardPoints[3] = placed.layout.farY;
    boardPoints[4] = placed.cityCount;
    for (std::int32_t i = 0; i < placed.cityCount; ++i) {
        boardPoints[5 + 2 * i] = placed.cities[i].x;
        boardPoints[6 + 2 * i] = placed.cities[i].y;
    }
    return boardPoints;
}

EMSCRIPTEN_KEEPALIVE void orvanta_key_release(int virtualKey) { orvanta::handleKeyRelease(virtualKey); }

EMSCRIPTEN_KEEPALIVE int orvanta_command(int commandId) { return orvanta::handleCommand(commandId) ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE void orvanta_click(int right, int x, int y) {
    orvanta::recordClick(right != 0 ? orvanta::MouseButton::Right : orvanta::MouseButton::Left, x, y);
}

EMSCRIPTEN_KEEPALIVE int orvanta_tick() { return orvanta::handleTimerTick() ? 1 : 0; }

// Room for what the page hands in (a picked file is its UTF-8 name, a
// terminator, then its bytes), zeroed, with a terminator to spare.
EMSCRIPTEN_KEEPALIVE std::uint8_t* orvanta_room_for_bytes(int bytes) {
    bytesFromPage.assign(static_cast<std::size_t>(bytes > 0 ? bytes : 0) + 1, 0);
    return bytesFromPage.data();
}

// Runs an open command on the staged file: the same checks as on the desktops.
EMSCRIPTEN_KEEPALIVE int orvanta_open_picked(int nameBytes, int dataBytes, int commandId) {
    if (nameBytes < 0 || dataBytes < 0 || static_cast<std::size_t>(nameBytes) + 1 + dataBytes > bytesFromPage.size())
        return 0;
    const std::string name(reinterpret_cast<const char*>(bytesFromPage.data()), static_cast<std::size_t>(nameBytes));
    orvanta::web::offerPickedFile(name, bytesFromPage.data() + nameBytes + 1, dataBytes);
    const int handled = orvanta::handleCommand(commandId) ? 1 : 0;
    orvanta::web::forgetPickedFile();
    return handled;
}

// A code or link typed into the page's code dialog (UTF-8): the open command
// runs with it, and a refused one comes back in the dialog with the reason.
EMSCRIPTEN_KEEPALIVE void orvanta_open_code(const char* utf8) {
    orvanta::web::offerTypedCode(utf8 != nullptr ? utf8 : "");
    orvanta::handleCommand(orvanta::command::openMapCode);
    orvanta::web::forgetTypedCode();
}

// The page's address when it holds a '#': its map opens before anything else
// happens; a refused one shows the reason and leaves the first map.
EMSCRIPTEN_KEEPALIVE int orvanta_open_starting_code(const char* utf8) {
    const std::string entry = orvanta::text::fromUtf8(utf8 != nullptr ? utf8 : "");
    return orvanta::openStartingCode(entry.c_str()) ? 1 : 0;
}

// The block through which boards go to and from the solve worker.
EMSCRIPTEN_KEEPALIVE void* orvanta_transfer_block() { return &orvanta::web::transferBlock(); }
EMSCRIPTEN_KEEPALIVE int orvanta_transfer_bytes() { return static_cast<int>(sizeof(orvanta::web::FlatBoard)); }

// A copy of the program's board and its mode, for the page's tests to read.
EMSCRIPTEN_KEEPALIVE const void* orvanta_inspect_board() {
    boardForTests = orvanta::web::flatten(orvanta::currentBoard());
    return &boardForTests;
}
EMSCRIPTEN_KEEPALIVE int orvanta_mode() { return static_cast<int>(orvanta::currentMode()); }

// Whether a solve runs beside the window: its progress rows then follow the
// mode line in the status texts.
EMSCRIPTEN_KEEPALIVE int orvanta_solving() { return orvanta::forcedSolveRunning() ? 1 : 0; }

}  // extern "C"
