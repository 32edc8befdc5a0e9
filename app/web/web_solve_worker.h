// The solve worker's side: a second instance of the module, in a Web Worker,
// solves the board the page hands it and posts its progress now and then.
#pragma once

#include <cstdint>

namespace orvanta::web {

// Called at every look at the clock of the solve in this instance: posts the
// solve's progress to the page when some time has passed since the last post.
void reportWorkerProgress(std::int64_t nowMilliseconds);

}  // namespace orvanta::web
