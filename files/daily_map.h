// The map of the day: the same board for everyone on a calendar day in UTC,
// whatever the front end, the edition or the time zone.
#pragma once

#include <cstdint>

#include "core/board.h"

namespace orvanta {

// The day's map: the fine grid with 15 cities, enough to make a trip worth
// comparing while "+" still solves it in a moment.
inline constexpr std::int32_t kDailyGridSide = 10000;
inline constexpr std::int32_t kDailyCityCount = 15;

struct CalendarDate {
    std::int32_t year;
    std::int32_t month;  // 1..12
    std::int32_t day;    // 1..31
};

// The UTC date of a clock reading (seconds since 1970-01-01 00:00 UTC).
CalendarDate utcDateOf(std::int32_t clockSeconds);

// The date as "YYYY-MM-DD" into out (at least 11 bytes).
void formatDate(const CalendarDate& date, char* out, std::int32_t capacity);

// The generator's seed for a date: the date's digits YYYYMMDD as one number.
std::uint32_t dailySeed(const CalendarDate& date);

// Makes the date's map as the generator makes any map (the settings become
// the day's grid and city count, the game clock restarts), seeded from the date
// instead of the clock; with more cities than the
// Profi edition solves at once, it arrives unsolved.
void generateDailyMap(Board& board, const CalendarDate& date);

}  // namespace orvanta
