// The entry point of the Windows executables.
#include "app/front_end.h"
#include "app/win32/main_window.h"
#include "app/win32/resource_ids.h"

namespace {
// The system's arrow cursor (IDC_ARROW).
constexpr WORD kArrowCursorId = 32512;
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    using namespace orvanta::win32;
    orvanta::resetToStartUp();
    moduleInstance = instance;
    chooseStartLanguage();
    // The menu bar is built from the menu table in the language in use.
    if (initMainWindow(theMainWindow, IDS_CLASS_NAME, 0, IDR_ACCELERATORS,
                       IDI_APPLICATION_ICON, MAKEINTRESOURCEW(kArrowCursorId), showCommand, kInitialWidth,
                       kInitialHeight) == 0) {
        return 0;
    }
    orvanta::initApplication();
    const int code = runMessageLoop();
    // A solve still running is stopped; its thread ends within milliseconds.
    orvanta::endForcedSolve();
    return code;
}
