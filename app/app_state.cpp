#include "app/app_state.h"

namespace orvanta {

AppMode mode = AppMode::Generator;
std::int32_t clickX = 0;
std::int32_t clickY = 0;
std::int32_t leftClickPending = 0;
std::int32_t rightClickPending = 0;
std::int32_t pictureDirty = 0;

}  // namespace orvanta
