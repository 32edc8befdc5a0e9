// The clocks and the solver's sleep on Windows.
#include <windows.h>

#include <ctime>

#include "core/platform.h"

namespace orvanta::platform {

std::int32_t clockSeconds() { return static_cast<std::int32_t>(std::time(nullptr)); }

std::int64_t monotonicMilliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

void sleepMilliseconds(std::int32_t milliseconds) { Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0); }

}  // namespace orvanta::platform
