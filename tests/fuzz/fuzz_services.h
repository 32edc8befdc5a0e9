// In-memory desktop services for the fuzz targets: files live in a map from
// path to bytes, both dialogs answer with a fixed path, the clock is settable
// and the solver's sleeps return at once.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace orvanta::fuzz {

extern std::map<std::string, std::vector<unsigned char>> files;
extern std::string dialogPath;
extern std::int32_t clockNow;

}  // namespace orvanta::fuzz
