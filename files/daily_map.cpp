#include "files/daily_map.h"

#include <cstdio>

#include "core/generator.h"

namespace orvanta {

CalendarDate utcDateOf(std::int32_t clockSeconds) {
    // Days since 1970-01-01, rounded down also before it, then the proleptic
    // Gregorian date of that day number (eras of 400 years).
    std::int64_t days = clockSeconds / 86400;
    if (clockSeconds % 86400 < 0) --days;
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return CalendarDate{static_cast<std::int32_t>(year), static_cast<std::int32_t>(month), static_cast<std::int32_t>(day)};
}

void formatDate(const CalendarDate& date, char* out, std::int32_t capacity) {
    std::snprintf(out, static_cast<std::size_t>(capacity), "%04d-%02d-%02d", date.year, date.month, date.day);
}

std::uint32_t dailySeed(const CalendarDate& date) {
    return static_cast<std::uint32_t>(date.year * 10000 + date.month * 100 + date.day);
}

void generateDailyMap(Board& board, const CalendarDate& date) {
    mapGenerator.gridSizeSetting = GridSize{kDailyGridSide, kDailyGridSide};
    mapGenerator.cityCountSetting = kDailyCityCount;
    resetBoard(board);
    mapGenerator.random.state = dailySeed(date) & mapGenerator.random.mask;
    generateCities(board, false);
}

}  // namespace orvanta
