// The GDI objects behind the off-screen picture: the DIB section that owns the
// pixels and the memory DC that draws text into it during one redraw.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "app/picture.h"

namespace orvanta {

struct PictureStore {
    HBITMAP bitmap;
};

struct PictureContext {
    HDC dc;
    HGDIOBJ previousBitmap;  // what the DC held before the picture was selected
};

}  // namespace orvanta
