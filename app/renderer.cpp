#include "app/renderer.h"

#include <cmath>

#include "app/draw.h"
#include "app/status_panel.h"

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

// The board's frame lies this far outside the grid's outline; the texts left
// of it end a few pixels short of it.
constexpr std::int32_t kFrameMargin = 6;
constexpr std::int32_t kColumnGap = 3;
constexpr std::int32_t kMarkerSide = 5;

// A fixed size of the drawing in the layout's window pixels.
std::int32_t scaledPixels(const BoardLayout& layout, std::int32_t pixels) {
    return static_cast<std::int32_t>(std::lround(pixels * layout.pixelScale));
}

// A square's side: the odd number of pixels nearest to its size at the
// layout's scale, so that the square is centred on its point.
std::int32_t oddSide(const BoardLayout& layout, std::int32_t pixels) {
    const double exact = pixels * layout.pixelScale;
    auto side = static_cast<std::int32_t>(std::lround(exact));
    if (side % 2 == 0) side += exact >= side ? 1 : -1;
    return side < 1 ? 1 : side;
}

}  // namespace

BoardLayout layoutBoard(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight) {
    const double spanX = spanOf(board.gridWidth), spanY = spanOf(board.gridHeight);
    const double w = clientWidth, h = clientHeight;
    const double a = w / spanX;
    const double b = h / spanY;
    const double m = a < b ? a : b;
    return centredBoard(spanX, spanY, w, h, 0.8 * m);
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

FrameLayout layoutFrame(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight) {
    return layoutFrameAtScale(board, clientWidth, clientHeight, 1.0);
}

FrameLayout layoutFrameAtScale(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight,
                               double pixelScale) {
    FrameLayout layout;
    layout.board = layoutBoard(board, clientWidth, clientHeight);
    layout.board.pixelScale = pixelScale > 0.0 ? pixelScale : 1.0;
    layout.panel = layoutPanelAtScale(clientWidth, clientHeight, layout.board.pixelScale);
    layout.panel.columnRight = layout.board.originX - scaledPixels(layout.board, kFrameMargin + kColumnGap);
    return layout;
}

WindowPoint gridToWindow(const BoardLayout& layout, std::int32_t gx, std::int32_t gy) {
    return WindowPoint{toWindowCoordinate(layout.originX + gx * layout.scale),
                       toWindowCoordinate(layout.originY - gy * layout.scale)};
}

void drawGridLines(std::int32_t lineCount, std::int32_t gridWidth, std::int32_t gridHeight, const Pen& ordinaryPen,
                   const Pen& everyFourthPen, DrawingSurface& surface, std::int32_t originX, std::int32_t farX,
                   std::int32_t originY, std::int32_t farY, double scaleX, double scaleY) {
    if (lineCount <= 0) return;
    const double divisor = lineCount > 1 ? lineCount - 1 : 1;
    const double spanY = static_cast<double>(gridHeight) - 1.0;
    const double spanX = static_cast<double>(gridWidth) - 1.0;
    for (std::int32_t i = 0; i < lineCount; ++i) {
        selectPen(surface, i % 4 == 0 ? everyFourthPen : ordinaryPen);
        const std::int32_t y = toWindowCoordinate(originY - static_cast<double>(toWindowCoordinate(i * spanY * scaleY / divisor)));
        drawLine(surface, originX, y, farX, y);
    }
    for (std::int32_t i = 0; i < lineCount; ++i) {
        selectPen(surface, i % 4 == 0 ? everyFourthPen : ordinaryPen);
        const std::int32_t x = toWindowCoordinate(originX + static_cast<double>(toWindowCoordinate(i * spanX * scaleX / divisor)));
        drawLine(surface, x, originY, x, farY);
    }
}

void drawGrid(const Board& board, DrawingSurface& surface, std::int32_t originX, std::int32_t farX,
              std::int32_t originY, std::int32_t farY, double scaleX, double scaleY) {
    const Pen lighter{PenStyle::Dotted, 1, colours::gridLight};
    const Pen darker{PenStyle::Dotted, 1, colours::gridDark};
    const Pen previous = surface.pen;
    if (board.gridWidth < 41)
        drawGridLines(11, board.gridWidth, board.gridHeight, darker, darker, surface, originX, farX, originY, farY,
                      scaleX, scaleY);
    else
        drawGridLines(41, board.gridWidth, board.gridHeight, lighter, darker, surface, originX, farX, originY, farY,
                      scaleX, scaleY);
    selectPen(surface, previous);
}

void drawCityMarker(const Frame& frame, DrawingSurface& surface, std::int32_t cityIndex, std::int32_t x,
                    std::int32_t y, std::int32_t side) {
    const Board& board = *frame.board;
    if (frame.mode == AppMode::Editor) {
        frameCentredRect(surface, colours::marker, x, y, side, side);
        return;
    }
    if (cityIndex == 0) {
        fillCentredRect(surface, colours::visited, x, y, side, side);
        return;
    }
    // The last pick; when the route is closed its final entry is the return to city 0.
    const std::int32_t lastEntry = frame.routeClosed ? board.playerRouteLength - 2 : board.playerRouteLength - 1;
    if (lastEntry >= 0 && lastEntry < kRouteCapacity && board.playerRoute[lastEntry] == cityIndex) {
        fillCentredRect(surface, colours::marker, x, y, side, side);
    } else if (board.routeContains(cityIndex)) {
        fillCentredRect(surface, colours::visited, x, y, side, side);
        frameCentredRect(surface, colours::marker, x, y, side, side);
    } else {
        frameCentredRect(surface, colours::marker, x, y, side, side);
    }
}

void drawRouteSegment(const Board& board, DrawingSurface& surface, std::int32_t fromCity, std::int32_t toCity,
                      std::int32_t originX, std::int32_t originY, double scaleX, double scaleY, std::int32_t width) {
    // A route entry that names no city draws nothing rather than reading past the cities.
    if (fromCity < 0 || toCity < 0 || fromCity >= board.cityCount || toCity >= board.cityCount) return;
    const City& a = board.cities[fromCity];
    const City& b = board.cities[toCity];
    Pen pen = kRoutePen;
    pen.width = width;
    const Pen previous = selectPen(surface, pen);
    drawLine(surface, toWindowCoordinate(originX + a.x * scaleX), toWindowCoordinate(originY - a.y * scaleY),
             toWindowCoordinate(originX + b.x * scaleX), toWindowCoordinate(originY - b.y * scaleY));
    selectPen(surface, previous);
}

void drawKeyboardCursor(DrawingSurface& surface, const BoardLayout& layout, City point) {
    const WindowPoint p = gridToWindow(layout, point.x, point.y);
    const std::int32_t side = oddSide(layout, kCursorSide);
    frameCentredRect(surface, colours::cursor, p.x, p.y, side, side);
    frameCentredRect(surface, colours::cursor, p.x, p.y, side - 2, side - 2);
}

void drawBoard(const Frame& frame, DrawingSurface& surface, const BoardLayout& layout) {
    const Board& board = *frame.board;
    const std::int32_t margin = scaledPixels(layout, kFrameMargin);
    frameCornerRect(surface, colours::frame, layout.originX - margin, layout.farX + margin, layout.originY + margin,
                    layout.farY - margin);
    if (frame.mode == AppMode::Editor)
        drawGrid(board, surface, layout.originX, layout.farX, layout.originY, layout.farY, layout.scale, layout.scale);

    const std::int32_t cityCount = board.cityCount < kMaxCities ? board.cityCount : kMaxCities;
    for (std::int32_t i = 0; i < cityCount; ++i) {
        const WindowPoint p = gridToWindow(layout, board.cities[i].x, board.cities[i].y);
        drawCityMarker(frame, surface, i, p.x, p.y, oddSide(layout, kMarkerSide));
    }
    const std::int32_t routeLength = board.playerRouteLength < kRouteCapacity ? board.playerRouteLength : kRouteCapacity;
    for (std::int32_t i = 0; i + 1 < routeLength; ++i)
        drawRouteSegment(board, surface, board.playerRoute[i], board.playerRoute[i + 1], layout.originX,
                         layout.originY, layout.scale, layout.scale, scaledPixels(layout, kRoutePen.width));
    if (frame.cursorShown) drawKeyboardCursor(surface, layout, frame.cursor);
}

const OffscreenPicture* paintPicture(OffscreenPicture& picture, const Frame* frame, const FrameLayout& layout) {
    if (picture.pixels == nullptr) return nullptr;
    DrawingSurface surface;
    surface.picture = &picture;
    surface.redraw = frame != nullptr;
    if (!platform::beginPictureDrawing(surface)) return nullptr;
    if (frame != nullptr) {
        clearPicture(picture, kBackgroundByte);
        drawBoard(*frame, surface, layout.board);
        drawStatusPanel(*frame, surface, layout.panel);
    }
    platform::endPictureDrawing(surface);
    return &picture;
}

}  // namespace orvanta
