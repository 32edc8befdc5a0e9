// The program's three modes, as a value the drawing can be given without
// seeing the state that holds the mode in use (app_state.h).
#pragma once

#include <cstdint>

namespace orvanta {

// Numbered as stored and shown: Editor 0, Generator 1, Game 2.
enum class AppMode : std::int32_t { Editor = 0, Generator = 1, Game = 2 };

}  // namespace orvanta
