#include "app/picture.h"

#include <cstdlib>
#include <limits>

namespace orvanta {

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

bool fitPicture(OffscreenPicture& picture, std::int32_t clientWidth, std::int32_t clientHeight) {
    if (clientWidth < 0) clientWidth = 0;
    if (clientHeight < 0) clientHeight = 0;
    if (clientWidth == picture.pictureWidth && clientHeight == picture.pictureHeight) return false;
    if (picture.pixels != nullptr || picture.store != nullptr) platform::releasePictureSurface(picture);
    createPicture(picture, clientWidth, clientHeight);
    return true;
}

}  // namespace orvanta
