// The hand-over of an ended solve to the message loop; the solve's thread
// itself is the desktops' (app/solve_thread.cpp).
#include "app/solve_services.h"
#include "app/win32/main_window.h"

namespace orvanta::platform {

// The window handle is set before any solve starts; a window already gone
// simply drops the message.
void postSolveEnded() {
    if (win32::theMainWindow.windowHandle != nullptr)
        PostMessageW(win32::theMainWindow.windowHandle, win32::kSolveEndedMessage, 0, 0);
}

}  // namespace orvanta::platform
