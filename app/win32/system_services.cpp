// The clocks and the solver's sleep on Windows, and the hand-over of an ended
// solve to the message loop.
#include <ctime>

#include "app/solve_runner.h"
#include "app/win32/main_window.h"
#include "core/platform.h"

namespace orvanta::platform {

std::int32_t clockSeconds() { return static_cast<std::int32_t>(std::time(nullptr)); }

std::int64_t monotonicMilliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

void sleepMilliseconds(std::int32_t milliseconds) { Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0); }

// The window handle is set before any solve starts; a window already gone
// simply drops the message.
void postSolveEnded() {
    if (win32::theMainWindow.windowHandle != nullptr)
        PostMessageW(win32::theMainWindow.windowHandle, win32::kSolveEndedMessage, 0, 0);
}

}  // namespace orvanta::platform
