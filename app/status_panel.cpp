#include "app/status_panel.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/edition.h"
#include "core/catalogue.h"
#include "core/text1251.h"

namespace orvanta {

namespace {

constexpr auto kEditorName = RU("Редактор");
constexpr auto kGeneratorName = RU("Генератор");
constexpr auto kGameName = RU("Игра");
constexpr auto kModeLine = RU("%s:    Городов %2i    Сетка %ix%i    Решение %sизвестно");
constexpr auto kUnsolvedWord = RU("НЕ");  // "solution NOT known" while unsolved
constexpr auto kSpectrumHeader = RU("Спектр путей");
constexpr auto kGameLineGeneral = RU("Время %3i сек    Городов в пути %2i    %s");
constexpr auto kRouteOpen = RU("Путь не замкнут");
constexpr auto kCannotEvaluate = RU("Результат оценить невозможно");
constexpr auto kGameLineOpen = RU("Время %3i сек    Городов в пути %2i    Путь не замкнут");
constexpr auto kGameLineGraded = RU("Время %3i сек    Городов в пути %2i    Результат в пределах %i %% от решения ЗК");
constexpr auto kGameLineProfi = RU("Время %3i сек    Городов в пути %2i    Суммарный путь %s");
// The solve's progress in three short rows, left of the board: a single line
// would run on over it.
constexpr auto kSolving = RU("Поиск решения…");
constexpr auto kSolvingShare = RU("%i.%02i %%, %i сек");
constexpr auto kSolvingStop = RU("Esc — прервать");
// The same where the column left of the board is too narrow for them.
constexpr auto kSolvingShort = RU("Поиск…");
constexpr auto kSolvingShareShort = RU("%i %%, %i с");
constexpr auto kSolvingStopShort = RU("Esc — стоп");
// A count too wide for its cell is shortened to thousands, millions or
// billions (rounded down); a count at the top of its range is a lower bound.
constexpr auto kThousands = RU("тыс");
constexpr auto kMillions = RU("млн");
constexpr auto kBillions = RU("млрд");

const char* modeName(AppMode m) {
    switch (m) {
        case AppMode::Editor: return text::tr(kEditorName);
        case AppMode::Generator: return text::tr(kGeneratorName);
        case AppMode::Game: return text::tr(kGameName);
    }
    return "";
}

// A number as "%g" writes it in the "C" locale: six significant digits, no
// trailing zeros and always a point. printf would follow the C library's
// numeric locale, which the desktop may have set to one with a decimal comma.
struct NumberText {
    char text[32];
};

NumberText formatNumber(double value) {
    NumberText out{};
#if defined(__EMSCRIPTEN__)
    // The WebAssembly C library has no floating-point to_chars; its printf
    // always works in the "C" locale.
    std::snprintf(out.text, sizeof out.text, "%.6g", value);
#else
    const auto result = std::to_chars(out.text, out.text + sizeof out.text - 1, value, std::chars_format::general, 6);
    *result.ptr = '\0';
#endif
    return out;
}

void formatGameLine(const Frame& frame, char* line, std::size_t capacity) {
    const Board& board = *frame.board;
    const std::int32_t seconds = frame.elapsedSeconds;
    const std::int32_t picks = board.playerRouteLength - 1;
    const double ratio = lengthRatio(board);
    if constexpr (isProfi()) {
        std::snprintf(line, capacity, text::tr(kGameLineProfi), seconds, picks, formatNumber(ratio).text);
    } else if (board.solved && frame.routeClosed) {
        std::snprintf(line, capacity, text::tr(kGameLineGraded), seconds, picks, gradePercent(ratio));
    } else if (board.solved) {
        std::snprintf(line, capacity, text::tr(kGameLineOpen), seconds, picks);
    } else {
        std::snprintf(line, capacity, text::tr(kGameLineGeneral), seconds, picks,
                      frame.routeClosed ? text::tr(kCannotEvaluate) : text::tr(kRouteOpen));
    }
}

// The count as the widest of its forms that fits between x and right: the
// digits, then thousands, millions and billions. "+" marks a count at the top
// of the int32 range, where the solver stops counting. When no form fits (a
// window too narrow for the column) the shortest is drawn.
void drawCount(DrawingSurface& surface, std::int32_t x, std::int32_t right, std::int32_t y, Colour colour,
               std::int32_t count) {
    const char* atLeast = count == std::numeric_limits<std::int32_t>::max() ? "+" : "";
    const std::int64_t magnitude = count < 0 ? -static_cast<std::int64_t>(count) : count;
    const char* sign = count < 0 ? "-" : "";
    struct Unit {
        std::int64_t size;
        const char* name;
    };
    const Unit units[] = {{1000, text::tr(kThousands)}, {1000000, text::tr(kMillions)}, {1000000000, text::tr(kBillions)}};
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld%s", sign, static_cast<long long>(magnitude), atLeast);
    for (const Unit& unit : units) {
        if (x + platform::textWidth(surface, text) <= right) break;
        if (magnitude < unit.size) break;
        std::snprintf(text, sizeof text, "%s%lld %s%s", sign, static_cast<long long>(magnitude / unit.size), unit.name,
                      atLeast);
    }
    platform::drawText(surface, x, y, colour, text);
}

}  // namespace

double lengthRatio(const Board& board) {
    if (board.solutionLength > 0.0) return board.playerLength * 100.0 / board.solutionLength;
    return board.playerLength;
}

std::int32_t gradePercent(double ratio) {
    // Worked in double and held within int32: a ratio from a far-fetched board
    // would otherwise overflow the conversion and the product.
    constexpr std::int32_t kLargestGrade = std::numeric_limits<std::int32_t>::max() / 5 * 5;
    constexpr std::int32_t kSmallestGrade = std::numeric_limits<std::int32_t>::min() / 5 * 5;
    if (std::isnan(ratio)) return 105;
    const double grade = 5.0 * (21.0 - std::trunc((ratio - 100.0) * -0.2));
    if (grade >= kLargestGrade) return kLargestGrade;
    if (grade <= kSmallestGrade) return kSmallestGrade;
    return static_cast<std::int32_t>(grade);
}

void drawStatusPanel(const Frame& frame, DrawingSurface& surface, const PanelLayout& layout) {
    const Board& board = *frame.board;
    char line[kStatusLineCapacity];

    std::snprintf(line, sizeof line, text::tr(kModeLine), modeName(frame.mode), board.cityCount, board.gridWidth,
                  board.gridHeight, board.solved ? "" : text::tr(kUnsolvedWord));
    platform::drawText(surface, layout.left, layout.modeLineY, textColours::strong, line);

    if (frame.solving) {
        const auto hundredths = static_cast<std::int32_t>(frame.solveProgress * 10000.0);
        char share[kStatusLineCapacity];
        std::snprintf(share, sizeof share, text::tr(kSolvingShare), hundredths / 100, hundredths % 100, frame.solveSeconds);
        const auto fits = [&](const char* text) {
            return layout.left + platform::textWidth(surface, text) <= layout.columnRight;
        };
        const char* searching = text::tr(kSolving);
        const char* stop = text::tr(kSolvingStop);
        if (!fits(searching) || !fits(share) || !fits(stop)) {
            searching = text::tr(kSolvingShort);
            stop = text::tr(kSolvingStopShort);
            std::snprintf(share, sizeof share, text::tr(kSolvingShareShort), hundredths / 100, frame.solveSeconds);
        }
        const std::int32_t row = layout.spectrumRowHeight;
        platform::drawText(surface, layout.left, layout.progressY, textColours::strong, searching);
        platform::drawText(surface, layout.left, layout.progressY + row, textColours::strong, share);
        platform::drawText(surface, layout.left, layout.progressY + 2 * row, textColours::dim, stop);
    }

    if (isProfi() && board.solved) {
        platform::drawText(surface, layout.left, layout.spectrumHeaderY, textColours::dim, text::tr(kSpectrumHeader));
        const std::int32_t rows = board.spectrum.count < kSpectrumEntries ? board.spectrum.count : kSpectrumEntries;
        for (std::int32_t i = 0; i < rows; ++i) {
            const std::int32_t y = layout.spectrumHeaderY + layout.spectrumRowHeight * (i + 1);
            const NumberText length = formatNumber(100.0 * board.spectrum.lengths[i]);
            platform::drawText(surface, layout.left, y, textColours::strong, length.text);
            const std::int32_t count = board.spectrum.counts[i];
            drawCount(surface, layout.spectrumCountX, layout.columnRight, y,
                      count == 2 ? textColours::dim : textColours::strong, count);
        }
    }

    if (frame.mode == AppMode::Game) {
        formatGameLine(frame, line, sizeof line);
        platform::drawText(surface, layout.left, layout.gameLineY, textColours::strong, line);
    }
}

}  // namespace orvanta
