#include "files/records.h"

#include <cstring>

namespace orvanta {

namespace {

// Header field offsets.
constexpr std::int32_t kVersionAt = 0;
constexpr std::int32_t kPersonalNumberAt = 4;
constexpr std::int32_t kSaveTimeAt = 8;
constexpr std::int32_t kStampWordsAt = 12;
constexpr std::int32_t kGridWidthAt = 28;
constexpr std::int32_t kGridHeightAt = 32;
constexpr std::int32_t kCityCountAt = 36;
constexpr std::int32_t kSolvedAt = 40;
constexpr std::int32_t kSpectrumAt = 44;
// Offsets inside the spectrum block.
constexpr std::int32_t kSpectrumReservedAt = 4;
constexpr std::int32_t kSpectrumLengthsAt = 8;
constexpr std::int32_t kSpectrumCountsAt = 168;
// Map record.
constexpr std::int32_t kMapCitiesAt = 292;
constexpr std::int32_t kMapSolutionAt = 436;
// Game record.
constexpr std::int32_t kGameElapsedAt = 292;
constexpr std::int32_t kGameFinishedAt = 296;
constexpr std::int32_t kGameRouteLengthAt = 300;
constexpr std::int32_t kGameCitiesAt = 304;
constexpr std::int32_t kGameSolutionAt = 448;
constexpr std::int32_t kGamePlayerRouteAt = 524;

void putInt(unsigned char* at, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>((u >> (8 * i)) & 0xFFu);
}

std::int32_t getInt(const unsigned char* at) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    // Two's complement without relying on an implementation-defined conversion.
    return u <= 0x7FFFFFFFu ? static_cast<std::int32_t>(u) : -static_cast<std::int32_t>(~u) - 1;
}

void putDouble(unsigned char* at, double value) {
    std::uint64_t u = 0;
    std::memcpy(&u, &value, sizeof u);
    for (int i = 0; i < 8; ++i) at[i] = static_cast<unsigned char>((u >> (8 * i)) & 0xFFu);
}

double getDouble(const unsigned char* at) {
    std::uint64_t u = 0;
    for (int i = 0; i < 8; ++i) u |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    double value = 0.0;
    std::memcpy(&value, &u, sizeof value);
    return value;
}

void putCities(unsigned char* at, const City* cities) {
    for (std::int32_t i = 0; i < kMaxCities; ++i) {
        putInt(at + 8 * i, cities[i].x);
        putInt(at + 8 * i + 4, cities[i].y);
    }
}

void getCities(const unsigned char* at, City* cities) {
    for (std::int32_t i = 0; i < kMaxCities; ++i) cities[i] = City{getInt(at + 8 * i), getInt(at + 8 * i + 4)};
}

void putRoute(unsigned char* at, const std::int32_t* route) {
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) putInt(at + 4 * i, route[i]);
}

void getRoute(const unsigned char* at, std::int32_t* route) {
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) route[i] = getInt(at + 4 * i);
}

}  // namespace

void encodeHeader(const FileHeader& h, unsigned char* b) {
    putInt(b + kVersionAt, h.version);
    putInt(b + kPersonalNumberAt, h.personalNumber);
    putInt(b + kSaveTimeAt, h.saveTime);
    for (std::int32_t i = 0; i < kStampWordCount; ++i) putInt(b + kStampWordsAt + 4 * i, h.stampWords[i]);
    putInt(b + kGridWidthAt, h.gridWidth);
    putInt(b + kGridHeightAt, h.gridHeight);
    putInt(b + kCityCountAt, h.cityCount);
    putInt(b + kSolvedAt, h.solved);
    unsigned char* s = b + kSpectrumAt;
    putInt(s, h.spectrum.count);
    putInt(s + kSpectrumReservedAt, h.spectrum.reserved);
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        putDouble(s + kSpectrumLengthsAt + 8 * i, h.spectrum.lengths[i]);
        putInt(s + kSpectrumCountsAt + 4 * i, h.spectrum.counts[i]);
    }
}

FileHeader decodeHeader(const unsigned char* b) {
    FileHeader h;
    h.version = getInt(b + kVersionAt);
    h.personalNumber = getInt(b + kPersonalNumberAt);
    h.saveTime = getInt(b + kSaveTimeAt);
    for (std::int32_t i = 0; i < kStampWordCount; ++i) h.stampWords[i] = getInt(b + kStampWordsAt + 4 * i);
    h.gridWidth = getInt(b + kGridWidthAt);
    h.gridHeight = getInt(b + kGridHeightAt);
    h.cityCount = getInt(b + kCityCountAt);
    h.solved = getInt(b + kSolvedAt);
    const unsigned char* s = b + kSpectrumAt;
    h.spectrum.count = getInt(s);
    h.spectrum.reserved = getInt(s + kSpectrumReservedAt);
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        h.spectrum.lengths[i] = getDouble(s + kSpectrumLengthsAt + 8 * i);
        h.spectrum.counts[i] = getInt(s + kSpectrumCountsAt + 4 * i);
    }
    return h;
}

void encodeMapFile(const MapFile& r, unsigned char* b) {
    std::memset(b, 0, kMapFileBytes);
    encodeHeader(r.header, b);
    putCities(b + kMapCitiesAt, r.cities);
    putRoute(b + kMapSolutionAt, r.solutionRoute);
}

MapFile decodeMapFile(const unsigned char* b) {
    MapFile r;
    r.header = decodeHeader(b);
    getCities(b + kMapCitiesAt, r.cities);
    getRoute(b + kMapSolutionAt, r.solutionRoute);
    return r;
}

void encodeGameFile(const GameFile& r, unsigned char* b) {
    std::memset(b, 0, kGameFileBytes);
    encodeHeader(r.header, b);
    putInt(b + kGameElapsedAt, r.elapsedSeconds);
    putInt(b + kGameFinishedAt, r.gameFinished);
    putInt(b + kGameRouteLengthAt, r.playerRouteLength);
    putCities(b + kGameCitiesAt, r.cities);
    putRoute(b + kGameSolutionAt, r.solutionRoute);
    putRoute(b + kGamePlayerRouteAt, r.playerRoute);
}

GameFile decodeGameFile(const unsigned char* b) {
    GameFile r;
    r.header = decodeHeader(b);
    r.elapsedSeconds = getInt(b + kGameElapsedAt);
    r.gameFinished = getInt(b + kGameFinishedAt);
    r.playerRouteLength = getInt(b + kGameRouteLengthAt);
    getCities(b + kGameCitiesAt, r.cities);
    getRoute(b + kGameSolutionAt, r.solutionRoute);
    getRoute(b + kGamePlayerRouteAt, r.playerRoute);
    return r;
}

}  // namespace orvanta
