#include "bench/heap_meter.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace heap {
std::size_t liveBytes = 0;
std::size_t peakBytes = 0;
}  // namespace heap

namespace {
// Each block starts with its size, so that the delete can count it off.
constexpr std::size_t kHeader = alignof(std::max_align_t);
}  // namespace

void* operator new(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) throw std::bad_alloc();
    std::memcpy(block, &size, sizeof size);
    heap::liveBytes += size;
    if (heap::liveBytes > heap::peakBytes) heap::peakBytes = heap::liveBytes;
    return block + kHeader;
}

void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    heap::liveBytes -= size;
    std::free(block);
}

void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
