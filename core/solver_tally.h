// The search's count of orderings per entry of the table. Every entry the
// table takes gets a serial number, in order, and counts are kept per serial
// in 64 bits, saturating only when written to the table at the end.
//
// Walking patterns of points (cities on one grid point are interchangeable),
// a pattern is met at its first ordering, and its other orderings come later
// in the enumeration. They never start an entry (their length is covered, or
// dropped for good), but an entry inserted since, or one pushed out, can
// change which entry takes them. Only lengths shape the table, never counts,
// so the search walks such a board twice: the first walk notes every change
// of the table (an event) and counts each pattern where its first ordering
// lands; if an event could have moved a length already counted (tolerances
// that overlap), the second walk makes the same changes and distributes each
// pattern's orderings between the events, counted from their rank in the
// enumeration.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/board.h"

namespace orvanta {

class EntryTally {
public:
    // The board's cities 1..n-1 on the point of each city, and how many
    // orderings each pattern of points stands for (1 walking every ordering).
    EntryTally(std::int32_t cityCount, const std::uint32_t* samePoint, std::int64_t orderingsPerPattern);

    // Starts a walk: noting (the first walk by pattern, or the only one), or
    // distributing the orderings over the events of the walk before.
    void startWalk(bool noting);

    // Before a length goes into the table: the serial of the entry a new one
    // would push out, or -1 while the table has room.
    std::int32_t serialToLose(const PathSpectrum& table) const;
    // The table has just inserted `length` at `entry` (pushing out `lost`
    // unless that is -1); `ordering` is the tour that did it.
    void inserted(const PathSpectrum& table, std::int32_t entry, std::int32_t lost, double length, const std::int32_t* ordering);
    // `orderings` orderings of `length` go to `entry`, the first of them
    // `ordering` (walking by pattern: a pattern's first ordering).
    void counted(std::int32_t entry, double length, std::int64_t orderings, const std::int32_t* ordering);

    // After a noting walk by pattern: whether a second walk must distribute.
    bool orderingsMove() const { return mayMove; }
    // Writes the counts of the entries now in the table, saturated.
    void writeCounts(PathSpectrum& table) const;

private:
    struct Event {
        std::int8_t ordering[kMaxCities];
        std::int32_t used;
        std::int32_t entries[kSpectrumEntries];
    };

    std::int32_t holderAfter(const Event& event, double length) const;
    void distribute(double length, std::int32_t holder, const std::int32_t* first);
    std::int64_t laterOrderings(const std::int32_t* first, const std::int8_t* at) const;

    std::int32_t n;
    const std::uint32_t* samePoint;
    std::int64_t perPattern;
    bool noting = true;
    bool mayMove = false;

    // serial[i]: the serial of entry i of the table.
    std::int32_t serial[kSpectrumEntries] = {};
    std::int32_t serialsGiven = 0;
    std::vector<double> serialLength;
    std::vector<std::int64_t> tally;

    // The table after each event: the tour that made it, the serials left.
    std::vector<Event> events;
    // (length inserted or pushed out, event), in order of length.
    std::vector<std::pair<double, std::int32_t>> eventsByLength;
    std::int32_t eventsPassed = 0;
    std::vector<std::int32_t> nearby;  // distribute()'s events to follow
};

}  // namespace orvanta
