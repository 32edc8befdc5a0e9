// The search's counts per entry of the table, for walks by patterns of shared
// points: the events of the first walk and the second walk's share-out.
#include "core/solver_tally.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/bits.h"
#include "core/spectrum_table.h"

namespace orvanta {

EntryTally::EntryTally(std::int32_t cityCount, const std::uint32_t* points, std::int64_t orderingsPerPattern)
    : n(cityCount), samePoint(points), perPattern(orderingsPerPattern) {}

void EntryTally::startWalk(bool notingWalk) {
    noting = notingWalk;
    // A second walk makes the same entries as the first and moves orderings
    // to entries it has yet to make: it keeps their lengths.
    if (noting) {
        serialLength.clear();
        events.clear();
        eventsByLength.clear();
        mayMove = false;
    } else {
        std::sort(eventsByLength.begin(), eventsByLength.end());
    }
    tally.assign(serialLength.size(), 0);
    serialsGiven = 0;
    eventsPassed = 0;
}

std::int32_t EntryTally::serialToLose(const PathSpectrum& table) const {
    return table.count >= kSpectrumEntries ? serial[kSpectrumEntries - 1] : -1;
}

void EntryTally::inserted(const PathSpectrum& table, std::int32_t entry, std::int32_t lost, double length,
                          const std::int32_t* ordering) {
    for (std::int32_t j = kSpectrumEntries - 1; j > entry; --j) serial[j] = serial[j - 1];
    serial[entry] = serialsGiven++;
    if (!noting) {
        ++eventsPassed;
        return;
    }
    serialLength.push_back(length);
    tally.push_back(0);
    if (perPattern == 1) return;  // every ordering is walked: nothing comes later

    Event e{};
    for (std::int32_t k = 0; k < n; ++k) e.ordering[k] = static_cast<std::int8_t>(ordering[k]);
    e.used = table.count;
    std::copy(serial, serial + e.used, e.entries);
    const auto index = static_cast<std::int32_t>(events.size());
    events.push_back(e);
    eventsByLength.emplace_back(length, index);
    if (lost >= 0) eventsByLength.emplace_back(serialLength[static_cast<std::size_t>(lost)], index);

    // A length already counted can only change entries if the new entry's
    // tolerance overlaps another's, or the lost one's overlaps one left.
    const auto overlapsOne = [&](double value, std::int32_t except) {
        for (std::int32_t i = 0; i < e.used; ++i) {
            if (e.entries[i] == except) continue;
            const double other = serialLength[static_cast<std::size_t>(e.entries[i])];
            if (std::fabs(value - other) <= toleranceOf(value) + toleranceOf(other)) return true;
        }
        return false;
    };
    if (overlapsOne(length, serial[entry]) || (lost >= 0 && overlapsOne(serialLength[static_cast<std::size_t>(lost)], -1)))
        mayMove = true;
}

void EntryTally::counted(std::int32_t entry, double length, std::int64_t orderings, const std::int32_t* ordering) {
    if (noting) {
        tally[static_cast<std::size_t>(serial[entry])] += orderings;
    } else {
        distribute(length, serial[entry], ordering);
    }
}

void EntryTally::writeCounts(PathSpectrum& table) const {
    const std::int64_t most = std::numeric_limits<std::int32_t>::max();
    for (std::int32_t i = 0; i < kSpectrumEntries && i < table.count; ++i) {
        const std::int64_t total = tally[static_cast<std::size_t>(serial[i])];
        table.counts[i] = static_cast<std::int32_t>(total < most ? total : most);
    }
}

// The serial of the entry that takes a length right after an event, or -1
// when the length would be dropped.
std::int32_t EntryTally::holderAfter(const Event& event, double length) const {
    double lengths[kSpectrumEntries];
    for (std::int32_t i = 0; i < event.used; ++i) lengths[i] = serialLength[static_cast<std::size_t>(event.entries[i])];
    const std::int32_t entry = entryTaking(lengths, event.used, length);
    return entry < 0 ? -1 : event.entries[entry];
}

// Counts the orderings of the pattern whose first ordering is `first`: all
// of them go to `holder`, then, at each later event that makes another entry
// take the length (one inserted over it, or its holder pushed out), the
// orderings from that event on move to that entry, or are lost.
void EntryTally::distribute(double length, std::int32_t holder, const std::int32_t* first) {
    tally[static_cast<std::size_t>(holder)] += perPattern;
    // Only an event that inserts or pushes out a length within a tolerance of
    // this one can change its holder: an entry inserted above the holder takes
    // the length when its tolerance reaches down to it, and a holder pushed
    // out held it within its own. That is a tolerance of the event's length,
    // at most a millionth more than one of this length: three are looked at.
    const double reach = 3.0 * toleranceOf(length);
    auto it = std::lower_bound(eventsByLength.begin(), eventsByLength.end(), std::make_pair(length - reach, -1));
    nearby.clear();
    for (; it != eventsByLength.end() && it->first <= length + reach; ++it)
        if (it->second >= eventsPassed) nearby.push_back(it->second);
    std::sort(nearby.begin(), nearby.end());
    for (const std::int32_t index : nearby) {
        const Event& event = events[static_cast<std::size_t>(index)];
        const std::int32_t now = holderAfter(event, length);
        if (now == holder) continue;
        const std::int64_t moved = laterOrderings(first, event.ordering);
        tally[static_cast<std::size_t>(holder)] -= moved;
        if (now < 0) return;
        tally[static_cast<std::size_t>(now)] += moved;
        holder = now;
    }
}

// The orderings of the pattern whose first ordering is `first` that come at
// or after ordering `at` in the enumeration: all of them less those before
// it, counted position by position as a rank is.
std::int64_t EntryTally::laterOrderings(const std::int32_t* first, const std::int8_t* at) const {
    std::int64_t before = 0;
    std::int64_t rest = perPattern;  // orderings of the positions not yet fixed
    std::uint32_t used = 0;
    for (std::int32_t k = 1; k < n; ++k) {
        const std::uint32_t free = samePoint[first[k]] & ~used;
        rest /= countMembers(free);  // one city of the point is fixed at k
        const std::int32_t x = at[k];
        const std::uint32_t below = (1u << (x - 1)) - 1u;  // cities 1..x-1
        before += countMembers(free & below) * rest;
        if ((free & (1u << (x - 1))) == 0) break;
        used |= 1u << (x - 1);
    }
    return perPattern - before;
}

}  // namespace orvanta
