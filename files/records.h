// Map files (.rva, 512 bytes) and game files (.rvb, 600 bytes): their records
// and their little-endian encoding.
#pragma once

#include <cstdint>

#include "core/board.h"

namespace orvanta {

inline constexpr std::int32_t kFileVersion = 2;
inline constexpr std::int32_t kHeaderBytes = 292;
inline constexpr std::int32_t kMapFileBytes = 512;
inline constexpr std::int32_t kGameFileBytes = 600;
inline constexpr std::int32_t kStampWordCount = 4;

// Largest grid side a file may carry: the largest grid the generator offers.
// Larger sides would let later arithmetic on coordinates and pixels overflow.
inline constexpr std::int32_t kMaxGridSide = 10000;

// The header both records begin with (offsets 0..291).
struct FileHeader {
    std::int32_t version = kFileVersion;
    std::int32_t personalNumber = 0;
    std::int32_t saveTime = 0;
    std::int32_t stampWords[kStampWordCount] = {};
    std::int32_t gridWidth = 0;
    std::int32_t gridHeight = 0;
    std::int32_t cityCount = 0;
    std::int32_t solved = 0;
    PathSpectrum spectrum{};  // offsets 44..291, reserved word included
};

struct MapFile {
    FileHeader header;
    City cities[kMaxCities] = {};                  // offset 292
    std::int32_t solutionRoute[kRouteCapacity] = {};  // offset 436
};

struct GameFile {
    FileHeader header;
    std::int32_t elapsedSeconds = 0;                // offset 292
    std::int32_t gameFinished = 0;                  // offset 296
    std::int32_t playerRouteLength = 0;             // offset 300
    City cities[kMaxCities] = {};                  // offset 304
    std::int32_t solutionRoute[kRouteCapacity] = {};  // offset 448
    std::int32_t playerRoute[kRouteCapacity] = {};    // offset 524
};

// Little-endian encoding and decoding; bytes must hold the record's size.
void encodeHeader(const FileHeader& header, unsigned char* bytes);
FileHeader decodeHeader(const unsigned char* bytes);
void encodeMapFile(const MapFile& record, unsigned char* bytes);
MapFile decodeMapFile(const unsigned char* bytes);
void encodeGameFile(const GameFile& record, unsigned char* bytes);
GameFile decodeGameFile(const unsigned char* bytes);

}  // namespace orvanta
