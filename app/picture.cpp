#include "app/picture.h"

#include <cstdlib>
#include <limits>

#include "app/app_state.h"
#include "app/controller.h"
#include "app/draw.h"
#include "app/renderer.h"
#include "app/status_panel.h"
#include "core/board.h"
#include "core/generator.h"

namespace orvanta {

OffscreenPicture thePicture;

bool createPicture(OffscreenPicture& picture, std::int32_t width, std::int32_t height) {
    picture.pixels = nullptr;
    picture.store = nullptr;
    picture.rowStride = 0;
    picture.pictureWidth = width;
    picture.pictureHeight = height;
    if (width <= 0 || height <= 0) return false;
    if (static_cast<std::int64_t>(width) * height * 4 > std::numeric_limits<std::int32_t>::max()) return false;
    if (!platform::createPictureSurface(picture, width, height)) {
        picture.pixels = nullptr;
        return false;
    }
    // A surface whose rows would not hold the width is of no use to the rasteriser.
    if (picture.pixels == nullptr || std::llabs(static_cast<long long>(picture.rowStride)) < 4LL * width) {
        platform::releasePictureSurface(picture);
        picture.pixels = nullptr;
        picture.store = nullptr;
        return false;
    }
    return true;
}

namespace {

// An empty board is refilled before it is shown: a fresh map in Generator
// mode, an empty board of the grid setting in Editor mode.
void refreshEmptyBoard(Board& board) {
    if (board.cityCount != 0) return;
    if (session.mode == AppMode::Generator)
        regenerateBoard(board);
    else if (session.mode == AppMode::Editor)
        resetBoard(board);
}

}  // namespace

const OffscreenPicture* paintWindow(std::int32_t clientWidth, std::int32_t clientHeight) {
    refreshEmptyBoard(theBoard);

    if (clientWidth < 0) clientWidth = 0;
    if (clientHeight < 0) clientHeight = 0;
    if (clientWidth != thePicture.pictureWidth || clientHeight != thePicture.pictureHeight) {
        if (thePicture.pixels != nullptr || thePicture.store != nullptr) platform::releasePictureSurface(thePicture);
        createPicture(thePicture, clientWidth, clientHeight);
        session.pictureDirty = true;
    }

    const OffscreenPicture* shown = nullptr;
    if (thePicture.pixels != nullptr) {
        DrawingSurface surface;
        surface.picture = &thePicture;
        if (platform::beginPictureDrawing(surface)) {
            if (session.pictureDirty) {
                clearPicture(thePicture, kBackgroundByte);
                // A click is applied where the board is now laid out, before
                // anything is drawn; drawing itself changes nothing.
                const BoardLayout layout = layoutBoard(theBoard, clientWidth, clientHeight);
                applyPendingClick(theBoard, layout.originX, layout.originY, layout.scale, layout.scale);
                theBoard.measurePlayerRoute();
                refreshGameClock();
                drawBoard(theBoard, surface, layout);
                drawStatusPanel(theBoard, surface, clientWidth, clientHeight);
            }
            platform::endPictureDrawing(surface);
            shown = &thePicture;
        }
    }
    session.pictureDirty = false;
    return shown;
}

}  // namespace orvanta
