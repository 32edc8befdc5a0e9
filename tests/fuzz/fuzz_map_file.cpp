#include "fuzz_board.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvanta::fuzz::decodeAsMapCode(data, size);
    return orvanta::fuzz::openAndPlay(data, size, false);
}
