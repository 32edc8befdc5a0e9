#include "fuzz_board.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return orvanta::fuzz::openAndPlay(data, size, true);
}
