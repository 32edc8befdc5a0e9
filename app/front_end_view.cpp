#include "app/front_end_view.h"

#include <algorithm>

#include "app/picture.h"

namespace orvanta {

AppMode currentMode() { return session.mode; }

const Board& currentBoard() { return theBoard; }

PictureSize currentPictureSize() { return PictureSize{thePicture.pictureWidth, thePicture.pictureHeight}; }

BoardInPicture boardInPicture(LayoutChoice chooseLayout) {
    BoardInPicture placed;
    placed.layout = chooseLayout(theBoard, thePicture.pictureWidth, thePicture.pictureHeight).board;
    // A board read from a file may claim any count; only the cities it holds are placed.
    placed.cityCount = std::clamp(theBoard.cityCount, 0, kMaxCities);
    for (std::int32_t i = 0; i < placed.cityCount; ++i)
        placed.cities[i] = gridToWindow(placed.layout, theBoard.cities[i].x, theBoard.cities[i].y);
    return placed;
}

}  // namespace orvanta
