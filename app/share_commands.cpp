#include "app/share_commands.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "app/controller.h"
#include "app/forced_solve.h"
#include "app/share_services.h"
#include "app/window_services.h"
#include "core/game_clock.h"
#include "core/platform.h"
#include "core/catalogue.h"
#include "core/text1251.h"
#include "files/current_document.h"
#include "files/daily_map.h"
#include "files/map_code.h"

namespace orvanta {

namespace {

constexpr auto kShareMapTitle = RU("Поделиться картой");
constexpr auto kShareMapCaption = RU("Код этой карты: его можно продиктовать, набрать или вставить, чтобы открыть эту карту.");
constexpr auto kShareLinkCaption = RU("Ссылка на эту карту (код карты стоит после знака #):");
constexpr auto kOpenCodeTitle = RU("Открыть код карты");
constexpr auto kOpenCodePrompt = RU("Вставьте или наберите код карты или ссылку на неё:");
constexpr auto kShareResultTitle = RU("Поделиться результатом");
constexpr auto kShareResultCaption = RU("Результат на карте дня, без маршрута и без решения:");
constexpr auto kResultLine = RU("Orvanta %s: %s %% за %s");
constexpr auto kMapTitle = RU(" - Карта ");
constexpr auto kDailyTitle = RU(" - Карта дня ");

// Room for a typed code or a pasted link or result line.
constexpr std::int32_t kEntryCapacity = 2048;
// Room for the page's address with a code after it.
constexpr std::int32_t kLinkCapacity = 4096;
// Characters of the code that name a map opened from it.
constexpr std::size_t kCodeNameLength = 10;

// The code's link where the front end has one, else "#" and the code, which
// the open dialog reads as well.
std::string linkOf(const std::string& code) {
    char link[kLinkCapacity];
    if (platform::mapCodeLink(code.c_str(), link, kLinkCapacity) > 0) return link;
    return "#" + code;
}

// What an opened map file also does after its record is installed.
void arrivedAsOpenedMap(const char* titleText, const char* name) {
    stopForcedSolve();
    setDocumentName(name, kDocumentNameCapacity);
    platform::setWindowTitle(titleText, document.name);
    session.mode = AppMode::Game;
    requestRepaint();
}

bool openEntry(Board& board, const char* entry, MapCodeStatus& status) {
    status = openMapCode(board, entry);
    if (status != MapCodeStatus::Ok) return false;
    const std::string code = mapCodeOfBoard(board);
    arrivedAsOpenedMap(::orvanta::text::tr(kMapTitle), code.substr(0, kCodeNameLength).c_str());
    return true;
}

void askUntilOpened(Board& board, const char* firstEntry, const char* firstMessage) {
    char entry[kEntryCapacity];
    std::snprintf(entry, sizeof entry, "%s", firstEntry);
    const char* message = firstMessage;
    while (platform::askForMapCode(::orvanta::text::tr(kOpenCodeTitle), message, entry, kEntryCapacity)) {
        entry[kEntryCapacity - 1] = '\0';
        MapCodeStatus status = MapCodeStatus::Ok;
        if (openEntry(board, entry, status)) return;
        message = mapCodeMessage(status);
    }
}

std::string clockText(std::int32_t seconds) {
    if (seconds < 0) seconds = 0;
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

}  // namespace

void shareMapCommand(const Board& board) {
    const std::string code = mapCodeOfBoard(board);
    char link[kLinkCapacity];
    if (platform::mapCodeLink(code.c_str(), link, kLinkCapacity) > 0)
        platform::showShareDialog(::orvanta::text::tr(kShareMapTitle), ::orvanta::text::tr(kShareLinkCaption), link);
    else
        platform::showShareDialog(::orvanta::text::tr(kShareMapTitle), ::orvanta::text::tr(kShareMapCaption), code.c_str());
}

void openMapCodeCommand(Board& board) { askUntilOpened(board, "", ::orvanta::text::tr(kOpenCodePrompt)); }

bool openStartingCode(Board& board, const char* text) {
    MapCodeStatus status = MapCodeStatus::Ok;
    if (openEntry(board, text, status)) return true;
    askUntilOpened(board, text, mapCodeMessage(status));
    return false;
}

bool openStartingCode(const char* text) { return openStartingCode(theBoard, text); }

void dailyMapCommand(Board& board) {
    const CalendarDate today = utcDateOf(platform::clockSeconds());
    char date[16];
    formatDate(today, date, sizeof date);
    generateDailyMap(board, today);
    session.dailyCode = mapCodeOfBoard(board);
    session.dailyDate = date;
    arrivedAsOpenedMap(::orvanta::text::tr(kDailyTitle), date);
}

std::string resultLine(const std::string& date, double percentOfShortest, std::int32_t seconds) {
    // Tenths of a per cent, written with a point whatever the locale.
    const double held = std::isfinite(percentOfShortest) ? std::fmin(std::fmax(percentOfShortest, 0.0), 1e9) : 0.0;
    const long long tenths = std::llround(held * 10.0);
    char percent[48];
    std::snprintf(percent, sizeof percent, "%lld.%lld", tenths / 10, tenths % 10);
    char line[160];
    std::snprintf(line, sizeof line, ::orvanta::text::tr(kResultLine), date.c_str(), percent, clockText(seconds).c_str());
    return line;
}

void shareResultCommand(const Board& board) {
    const std::string code = mapCodeOfBoard(board);
    const bool closedOnDailyMap = !session.dailyCode.empty() && code == session.dailyCode &&
                                  session.closedTripCode == code && gameClock.routeClosed;
    if (!closedOnDailyMap || !board.solved || !(board.solutionLength > 0.0)) {
        platform::refusalBeep();
        return;
    }
    const double percent = session.closedTripLength * 100.0 / board.solutionLength;
    const std::string line =
        resultLine(session.dailyDate, percent, gameClock.elapsedSeconds) + " " + linkOf(session.dailyCode);
    platform::showShareDialog(::orvanta::text::tr(kShareResultTitle), ::orvanta::text::tr(kShareResultCaption), line.c_str());
}

}  // namespace orvanta
