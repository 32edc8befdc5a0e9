#include "app/renderer.h"

#include <cmath>

#include "app/draw.h"
#include "app/status_panel.h"

namespace orvanta {

namespace {

constexpr std::int32_t kMarkerSide = 5;

// A square's side: the odd number of pixels nearest to its size at the
// layout's scale, so that the square is centred on its point.
std::int32_t oddSide(const BoardLayout& layout, std::int32_t pixels) {
    const double exact = pixels * layout.pixelScale;
    auto side = static_cast<std::int32_t>(std::lround(exact));
    if (side % 2 == 0) side += exact >= side ? 1 : -1;
    return side < 1 ? 1 : side;
}

// lineCount horizontal lines (bottom to top), then lineCount vertical lines
// (left to right) spread evenly over the board, each with `everyFourthPen`
// when its index is a multiple of 4.
void drawGridLines(const Board& board, std::int32_t lineCount, const Pen& ordinaryPen, const Pen& everyFourthPen,
                   DrawingSurface& surface, const BoardLayout& layout) {
    if (lineCount <= 0) return;
    const double divisor = lineCount > 1 ? lineCount - 1 : 1;
    const double spanY = static_cast<double>(board.gridHeight) - 1.0;
    const double spanX = static_cast<double>(board.gridWidth) - 1.0;
    for (std::int32_t i = 0; i < lineCount; ++i) {
        selectPen(surface, i % 4 == 0 ? everyFourthPen : ordinaryPen);
        const std::int32_t y =
            toWindowCoordinate(layout.originY - static_cast<double>(toWindowCoordinate(i * spanY * layout.scale / divisor)));
        drawLine(surface, layout.originX, y, layout.farX, y);
    }
    for (std::int32_t i = 0; i < lineCount; ++i) {
        selectPen(surface, i % 4 == 0 ? everyFourthPen : ordinaryPen);
        const std::int32_t x =
            toWindowCoordinate(layout.originX + static_cast<double>(toWindowCoordinate(i * spanX * layout.scale / divisor)));
        drawLine(surface, x, layout.originY, x, layout.farY);
    }
}

// The Editor's grid: 11 dotted lines each way, all dark, below a width of 41;
// otherwise 41 each way with every fourth line dark.
void drawGrid(const Board& board, DrawingSurface& surface, const BoardLayout& layout) {
    const Pen lighter{PenStyle::Dotted, 1, colours::gridLight};
    const Pen darker{PenStyle::Dotted, 1, colours::gridDark};
    const Pen previous = surface.pen;
    if (board.gridWidth < 41)
        drawGridLines(board, 11, darker, darker, surface, layout);
    else
        drawGridLines(board, 41, lighter, darker, surface, layout);
    selectPen(surface, previous);
}

// The side x side marker of one city of the frame's board centred on `at`.
void drawCityMarker(const Frame& frame, DrawingSurface& surface, std::int32_t cityIndex, WindowPoint at,
                    std::int32_t side) {
    const Board& board = *frame.board;
    if (frame.mode == AppMode::Editor) {
        frameCentredRect(surface, colours::marker, at.x, at.y, side, side);
        return;
    }
    if (cityIndex == 0) {
        fillCentredRect(surface, colours::visited, at.x, at.y, side, side);
        return;
    }
    // The last pick; when the route is closed its final entry is the return to city 0.
    const std::int32_t lastEntry = frame.routeClosed ? board.playerRouteLength - 2 : board.playerRouteLength - 1;
    if (lastEntry >= 0 && lastEntry < kRouteCapacity && board.playerRoute[lastEntry] == cityIndex) {
        fillCentredRect(surface, colours::marker, at.x, at.y, side, side);
    } else if (board.routeContains(cityIndex)) {
        fillCentredRect(surface, colours::visited, at.x, at.y, side, side);
        frameCentredRect(surface, colours::marker, at.x, at.y, side, side);
    } else {
        frameCentredRect(surface, colours::marker, at.x, at.y, side, side);
    }
}

// One route line between two cities with kRoutePen, `width` pixels wide.
void drawRouteSegment(const Board& board, DrawingSurface& surface, std::int32_t fromCity, std::int32_t toCity,
                      const BoardLayout& layout, std::int32_t width) {
    // A route entry that names no city draws nothing rather than reading past the cities.
    if (fromCity < 0 || toCity < 0 || fromCity >= board.cityCount || toCity >= board.cityCount) return;
    const WindowPoint a = gridToWindow(layout, board.cities[fromCity].x, board.cities[fromCity].y);
    const WindowPoint b = gridToWindow(layout, board.cities[toCity].x, board.cities[toCity].y);
    Pen pen = kRoutePen;
    pen.width = width;
    const Pen previous = selectPen(surface, pen);
    drawLine(surface, a.x, a.y, b.x, b.y);
    selectPen(surface, previous);
}

}  // namespace

void drawKeyboardCursor(DrawingSurface& surface, const BoardLayout& layout, City point) {
    const WindowPoint p = gridToWindow(layout, point.x, point.y);
    const std::int32_t side = oddSide(layout, kCursorSide);
    frameCentredRect(surface, colours::cursor, p.x, p.y, side, side);
    frameCentredRect(surface, colours::cursor, p.x, p.y, side - 2, side - 2);
}

void drawBoard(const Frame& frame, DrawingSurface& surface, const BoardLayout& layout) {
    const Board& board = *frame.board;
    const std::int32_t margin = scaledPixels(layout, kBoardFrameMargin);
    frameCornerRect(surface, colours::frame, layout.originX - margin, layout.farX + margin, layout.originY + margin,
                    layout.farY - margin);
    if (frame.mode == AppMode::Editor)
        drawGrid(board, surface, layout);

    const std::int32_t cityCount = board.cityCount < kMaxCities ? board.cityCount : kMaxCities;
    for (std::int32_t i = 0; i < cityCount; ++i) {
        const WindowPoint p = gridToWindow(layout, board.cities[i].x, board.cities[i].y);
        drawCityMarker(frame, surface, i, p, oddSide(layout, kMarkerSide));
    }
    const std::int32_t routeLength = board.playerRouteLength < kRouteCapacity ? board.playerRouteLength : kRouteCapacity;
    for (std::int32_t i = 0; i + 1 < routeLength; ++i)
        drawRouteSegment(board, surface, board.playerRoute[i], board.playerRoute[i + 1], layout,
                         scaledPixels(layout, kRoutePen.width));
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
