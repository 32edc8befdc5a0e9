// The Qt objects behind the off-screen picture: the image that owns the pixels
// and the painter that draws text into it during one redraw.
#pragma once

#include <QImage>
#include <QPainter>

#include "app/picture.h"

namespace orvanta {

struct PictureStore {
    QImage image;
};

struct PictureContext {
    QPainter painter;
};

}  // namespace orvanta
