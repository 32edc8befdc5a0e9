// Live and peak bytes allocated through operator new in a benchmark program
// that links heap_meter.cpp, which replaces the global allocation functions.
#pragma once

#include <cstddef>

namespace heap {
extern std::size_t liveBytes;
extern std::size_t peakBytes;
}  // namespace heap
