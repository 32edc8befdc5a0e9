// The window record lives apart from the window code so that the file
// services (which own their dialogs to the main window) link without it.
#include "app/win32/main_window.h"

namespace orvanta::win32 {

MainWindow theMainWindow = {};
HINSTANCE moduleInstance = nullptr;

}  // namespace orvanta::win32
