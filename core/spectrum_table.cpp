// The table of the shortest tour lengths: each length counted in the entry
// whose tolerance takes it, scanning from the longest entry down, or
// inserted in order, the longest entry lost when the table is full.
#include "core/spectrum_table.h"

#include <limits>

namespace orvanta {

namespace {

void insertAt(PathSpectrum& s, std::int32_t at, double length) {
    // The entry in the last slot has no room and is lost.
    for (std::int32_t j = kSpectrumEntries - 1; j > at; --j) {
        s.lengths[j] = s.lengths[j - 1];
        s.counts[j] = s.counts[j - 1];
    }
    s.lengths[at] = length;
    s.counts[at] = 1;
    if (s.count < kSpectrumEntries) ++s.count;
}

}  // namespace

std::int32_t entryTaking(const double* lengths, std::int32_t used, double length) {
    for (std::int32_t i = used - 1; i >= 0; --i) {
        const double t = toleranceOf(lengths[i]);
        if (length > lengths[i] + t) return -1;
        if (length >= lengths[i] - t) return i;
    }
    return -1;
}

void recordLength(PathSpectrum& s, double length) {
    if (s.count <= 0) {
        s.lengths[0] = length;
        s.counts[0] = 1;
        s.count = 1;
        return;
    }
    const std::int32_t last = s.count > kSpectrumEntries ? kSpectrumEntries - 1 : s.count - 1;
    for (std::int32_t i = last; i >= 0; --i) {
        const double t = toleranceOf(s.lengths[i]);
        if (length > s.lengths[i] + t) {
            if (i + 1 < kSpectrumEntries) insertAt(s, i + 1, length);
            return;
        }
        if (length >= s.lengths[i] - t) {
            if (s.counts[i] < std::numeric_limits<std::int32_t>::max()) ++s.counts[i];
            return;
        }
        if (i == 0) {
            insertAt(s, 0, length);
            return;
        }
    }
}

void normaliseSpectrum(PathSpectrum& s) {
    const std::int32_t n = s.count > kSpectrumEntries ? kSpectrumEntries : s.count;
    const double shortest = s.lengths[0];
    // All cities on one point: every tour has length 0 and is as long as the
    // optimum, so each entry reads 1.0 instead of dividing by zero.
    if (shortest == 0.0) {
        for (std::int32_t i = 0; i < n; ++i) s.lengths[i] = 1.0;
        return;
    }
    for (std::int32_t i = 0; i < n; ++i) s.lengths[i] /= shortest;
}

}  // namespace orvanta
