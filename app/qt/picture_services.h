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

namespace qt {

// The screen's scale the picture is drawn at (devicePixelRatio): the picture
// counts device pixels, so that a marker covers whole pixels at 1.5 too. The
// status texts' font is chosen for it.
void setPictureScale(double scale);
double pictureScale();

}  // namespace qt

}  // namespace orvanta
