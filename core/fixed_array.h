// An owned array whose capacity is fixed when its owner is constructed.
#pragma once

#include <algorithm>
#include <cstdint>

namespace orvanta {

template <typename T>
struct FixedArray {
    T* items = nullptr;
    std::int32_t capacity = 0;

    explicit FixedArray(std::int32_t cap) : items(new T[cap > 0 ? cap : 0]()), capacity(cap > 0 ? cap : 0) {}
    FixedArray(const FixedArray& other) : FixedArray(other.capacity) { *this = other; }
    ~FixedArray() { release(); }

    // Copies as many elements as both arrays hold; the rest of this one stays.
    FixedArray& operator=(const FixedArray& other) {
        if (this != &other && items != nullptr && other.items != nullptr)
            std::copy_n(other.items, std::min(capacity, other.capacity), items);
        return *this;
    }

    void release() {
        delete[] items;
        items = nullptr;
        capacity = 0;
    }

    T& operator[](std::int32_t i) { return items[i]; }
    const T& operator[](std::int32_t i) const { return items[i]; }
};

}  // namespace orvanta
