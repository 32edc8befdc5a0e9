#include "app/layout.h"

#include <cmath>
#include <limits>

#include "app/draw.h"
#include "core/clamp.h"

namespace orvanta {

namespace {

// The board centred in the client area at `scale` pixels per grid unit.
BoardLayout centredBoard(double spanX, double spanY, double w, double h, double scale) {
    BoardLayout layout;
    layout.scale = scale;
    layout.originX = toWindowCoordinate((w - spanX * layout.scale) * 0.5);
    layout.originY = toWindowCoordinate((h + spanY * layout.scale) * 0.5);
    layout.farX = toWindowCoordinate(layout.originX + spanX * layout.scale);
    layout.farY = toWindowCoordinate(layout.originY - spanY * layout.scale);
    return layout;
}

// configureBoard keeps both sides at 2 or more; hold them there anyway so a
// damaged board cannot divide by zero.
double spanOf(std::int32_t side) { return (side < 2 ? 2.0 : static_cast<double>(side)) - 1.0; }

// Room around a small screen's board: the half of a city marker that lies
// outside the outline, and room for a finger to tap a city at the edge
// without touching the screen's rim.
constexpr double kSmallScreenMargin = 12.0;

// The texts left of the board end this many pixels short of its frame.
constexpr std::int32_t kColumnGap = 3;

// Rounds half away from zero and holds the result within int32.
std::int32_t roundHalfAway(double v) {
    if (std::isnan(v)) return 0;
    const double r = v >= 0.0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5);
    if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
    if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

}  // namespace

std::int32_t scaledPixels(const BoardLayout& layout, std::int32_t pixels) {
    return static_cast<std::int32_t>(std::lround(pixels * layout.pixelScale));
}

WindowPoint gridToWindow(const BoardLayout& layout, std::int32_t gx, std::int32_t gy) {
    return WindowPoint{toWindowCoordinate(layout.originX + gx * layout.scale),
                       toWindowCoordinate(layout.originY - gy * layout.scale)};
}

City windowToGrid(const BoardLayout& layout, std::int32_t x, std::int32_t y) {
    const double dx = static_cast<double>(static_cast<std::int64_t>(x) - layout.originX);
    const double dy = static_cast<double>(static_cast<std::int64_t>(layout.originY) - y);
    return City{roundHalfAway(dx / layout.scale), roundHalfAway(dy / layout.scale)};
}

BoardLayout layoutBoard(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight) {
    const double spanX = spanOf(board.gridWidth), spanY = spanOf(board.gridHeight);
    const double w = clientWidth, h = clientHeight;
    const double a = w / spanX;
    const double b = h / spanY;
    const double m = a < b ? a : b;
    return centredBoard(spanX, spanY, w, h, 0.8 * m);
}

PanelLayout layoutPanel(std::int32_t clientWidth, std::int32_t clientHeight) {
    return layoutPanelAtScale(clientWidth, clientHeight, 1.0);
}

PanelLayout layoutPanelAtScale(std::int32_t /*clientWidth*/, std::int32_t clientHeight, double pixelScale) {
    const double s = pixelScale > 0.0 ? pixelScale : 1.0;
    const auto scaled = [s](std::int32_t pixels) { return static_cast<std::int32_t>(std::lround(pixels * s)); };
    PanelLayout layout;
    layout.left = scaled(layout.left);
    layout.modeLineY = scaled(layout.modeLineY);
    layout.progressY = scaled(layout.progressY);
    layout.spectrumHeaderY = scaled(layout.spectrumHeaderY);
    layout.spectrumRowHeight = scaled(layout.spectrumRowHeight);
    layout.spectrumCountX = scaled(layout.spectrumCountX);
    layout.gameLineY = clampToInt32(static_cast<std::int64_t>(clientHeight) - scaled(24));
    return layout;
}

FrameLayout layoutFrame(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight) {
    return layoutFrameAtScale(board, clientWidth, clientHeight, 1.0);
}

FrameLayout layoutFrameAtScale(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight,
                               double pixelScale) {
    FrameLayout layout;
    layout.board = layoutBoard(board, clientWidth, clientHeight);
    layout.board.pixelScale = pixelScale > 0.0 ? pixelScale : 1.0;
    layout.panel = layoutPanelAtScale(clientWidth, clientHeight, layout.board.pixelScale);
    layout.panel.columnRight = layout.board.originX - scaledPixels(layout.board, kBoardFrameMargin + kColumnGap);
    return layout;
}

FrameLayout layoutSmallScreen(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight) {
    const double spanX = spanOf(board.gridWidth), spanY = spanOf(board.gridHeight);
    const double w = clientWidth, h = clientHeight;
    const double a = (w - 2 * kSmallScreenMargin) / spanX;
    const double b = (h - 2 * kSmallScreenMargin) / spanY;
    const double m = a < b ? a : b;
    FrameLayout layout;
    layout.board = centredBoard(spanX, spanY, w, h, m > 0.0 ? m : 0.0);
    layout.panel = layoutPanel(clientWidth, clientHeight);
    return layout;
}

}  // namespace orvanta
