#include "files/records.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/edition.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "core/hold.h"
#include "core/platform.h"
#include "core/text1251.h"
#include "files/documents.h"

namespace orvanta {

char documentName[kDocumentNameCapacity] = "untitled";
std::int32_t stampWords[kStampWordCount] = {0, 0, 0, 0};

namespace {

// The Profi edition's mark in every file it writes.
constexpr std::int32_t kProfiStampWords[kStampWordCount] = {0x4F52564E, 0x50524F46, 11, 1};

constexpr std::int32_t kMaxCoordinate = kMaxGridSide - 1;
// Saved game clocks beyond about 34 years are cut to it, so that the clock
// arithmetic that follows stays inside 32 bits.
constexpr std::int32_t kMaxElapsedSeconds = 1 << 30;
// The solver's ratios to the optimum stay far below this; anything above is not
// a length this program made.
constexpr double kMaxSpectrumLength = 1e9;

static constexpr auto kSaveMapTitle = RU("Сохранить Карту в файл как");
static constexpr auto kOpenMapTitle = RU("Открыть Карту из файла");
static constexpr auto kSaveGameTitle = RU("Сохранить Игру в файл как");
static constexpr auto kOpenGameTitle = RU("Открыть Игру из файла");
constexpr platform::FileFilter kMapFilters[] = {{"Map Files", "*.rva"}, {"Any Files", "*.*"}};
constexpr platform::FileFilter kGameFilters[] = {{"Game Files", "*.rvb"}, {"Any Files", "*.*"}};
constexpr std::int32_t kFilterCount = 2;
constexpr const char* kMapExtension = "rva";
constexpr const char* kGameExtension = "rvb";

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

FileHeader headerFromBoard(const Board& board, std::int32_t saveTime) {
    FileHeader h;
    h.version = kFileVersion;
    h.personalNumber = personalNumber;
    h.saveTime = saveTime;
    for (std::int32_t i = 0; i < kStampWordCount; ++i) h.stampWords[i] = stampWords[i];
    h.gridWidth = board.gridWidth;
    h.gridHeight = board.gridHeight;
    h.cityCount = board.cityCount;
    h.solved = board.solved;
    h.spectrum = board.spectrum;
    return h;
}

// Cities in use are put onto the board's grid (as a click off the grid lands on
// its border); the slots beyond stay as stored unless they lie outside the
// largest grid, which no board of this program can produce. Returns whether a
// city in use had to be moved.
bool installCities(Board& board, const City* cities) {
    bool moved = false;
    for (std::int32_t i = 0; i < kMaxCities; ++i) {
        const bool inUse = i < board.cityCount;
        const std::int32_t maxX = inUse ? board.gridWidth - 1 : kMaxCoordinate;
        const std::int32_t maxY = inUse ? board.gridHeight - 1 : kMaxCoordinate;
        const City c{std::clamp(cities[i].x, 0, maxX), std::clamp(cities[i].y, 0, maxY)};
        if (inUse && (c.x != cities[i].x || c.y != cities[i].y)) moved = true;
        board.cities[i] = c;
    }
    return moved;
}

// Route entries are indices into the 18 city slots. Every entry this program
// writes is one, in use or not; anything else becomes city 0, so that no later
// reading of a route can leave the arrays.
std::int32_t routeEntry(std::int32_t stored) { return stored >= 0 && stored < kMaxCities ? stored : 0; }

// A solved board's route is a closed trip: city 0, every other city once, city 0.
bool closedTripOver(const std::int32_t* route, std::int32_t cityCount) {
    if (route[0] != 0 || route[cityCount] != 0) return false;
    bool seen[kMaxCities] = {};
    for (std::int32_t k = 1; k < cityCount; ++k) {
        const std::int32_t c = route[k];
        if (c < 1 || c >= cityCount || seen[c]) return false;
        seen[c] = true;
    }
    return true;
}

bool spectrumShowable(const PathSpectrum& s) {
    if (s.count < 0 || s.count > kSpectrumEntries) return false;
    for (std::int32_t i = 0; i < s.count; ++i)
        if (!(s.lengths[i] >= 0.0 && s.lengths[i] <= kMaxSpectrumLength)) return false;  // NaN fails too
    return true;
}

// What opening either record does once it is accepted: settings, reset, arrays, solution.
void installCommon(Board& board, const FileHeader& h, const City* cities, const std::int32_t* solutionRoute) {
    gridSizeSetting.width = h.gridWidth;
    gridSizeSetting.height = h.gridHeight;
    cityCountSetting = h.cityCount;
    resetBoard(board);
    const bool moved = installCities(board, cities);
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) board.solutionRoute[i] = routeEntry(solutionRoute[i]);
    // The solution is kept only when it is one this board can have: a closed
    // trip over its cities, with its spectrum. Otherwise the map opens
    // unsolved, as does a board of fewer than two cities, which has no trip.
    const bool solved = h.solved != 0 && !moved && board.cityCount >= 2 && closedTripOver(solutionRoute, board.cityCount) &&
                        spectrumShowable(h.spectrum);
    board.solved = solved ? 1 : 0;
    if (board.solved) board.measureSolutionRoute();
    board.spectrum = h.spectrum;
}

void takeStampWords(const FileHeader& h) {
    if constexpr (!isProfi())
        for (std::int32_t i = 0; i < kStampWordCount; ++i) stampWords[i] = h.stampWords[i];
}

// The longest start of the stored player's route that is a route of this board:
// city 0, then distinct other cities, possibly closed by city 0 after all of them.
std::int32_t validRouteLength(const std::int32_t* route, std::int32_t stored, std::int32_t cityCount) {
    const std::int32_t limit = stored < 1 ? 1 : (stored > cityCount + 1 ? cityCount + 1 : stored);
    bool seen[kMaxCities] = {};
    std::int32_t length = 1;
    for (std::int32_t k = 1; k < limit; ++k) {
        const std::int32_t c = route[k];
        if (k == cityCount && c == 0) return k + 1;
        if (c < 1 || c >= cityCount || seen[c]) break;
        seen[c] = true;
        length = k + 1;
    }
    return length;
}

std::int32_t boundedLength(const char* text, std::int32_t capacity) {
    std::int32_t n = 0;
    while (n < capacity && text[n] != '\0') ++n;
    return n;
}

// The two refusals besides a short read: another version, and a grid larger than
// the program's largest. Everything else in a record is brought into range.
bool headerAcceptable(const FileHeader& h) {
    return h.version == kFileVersion && h.gridWidth <= kMaxGridSide && h.gridHeight <= kMaxGridSide;
}

}  // namespace

void setEditionStampWords() {
    if constexpr (isProfi())
        for (std::int32_t i = 0; i < kStampWordCount; ++i) stampWords[i] = kProfiStampWords[i];
}

void setDocumentName(const char* path, std::int32_t capacity) {
    if (path == nullptr) return;
    if (capacity > kDocumentNameCapacity) capacity = kDocumentNameCapacity;
    if (capacity < 1) capacity = 1;
    const std::int32_t n = boundedLength(path, capacity - 1);
    std::memcpy(documentName, path, static_cast<std::size_t>(n));
    documentName[n] = '\0';
    if (char* dot = std::strrchr(documentName, '.')) *dot = '\0';
}

void composeDefaultName(char* out, std::int32_t capacity, const char* extension) {
    if (out == nullptr || capacity < 1) return;
    out[0] = '\0';
    const std::int32_t extLength = boundedLength(extension, capacity);
    const std::int32_t room = capacity - 2 - extLength;  // for the name, after '.', ext and terminator
    if (room < 0) return;
    const std::int32_t nameLength = boundedLength(documentName, room);
    std::memcpy(out, documentName, static_cast<std::size_t>(nameLength));
    out[nameLength] = '.';
    std::memcpy(out + nameLength + 1, extension, static_cast<std::size_t>(extLength));
    out[nameLength + 1 + extLength] = '\0';
}

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

MapFile mapFileFromBoard(const Board& board, std::int32_t saveTime) {
    MapFile r;
    r.header = headerFromBoard(board, saveTime);
    for (std::int32_t i = 0; i < kMaxCities; ++i) r.cities[i] = board.cities[i];
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) r.solutionRoute[i] = board.solutionRoute[i];
    return r;
}

GameFile gameFileFromBoard(const Board& board, std::int32_t saveTime) {
    GameFile r;
    r.header = headerFromBoard(board, saveTime);
    r.elapsedSeconds = elapsedSeconds;
    r.gameFinished = gameFinished;
    r.playerRouteLength = board.playerRouteLength;
    for (std::int32_t i = 0; i < kMaxCities; ++i) r.cities[i] = board.cities[i];
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) {
        r.solutionRoute[i] = board.solutionRoute[i];
        r.playerRoute[i] = board.playerRoute[i];
    }
    return r;
}

bool mapFileAcceptable(const MapFile& record) { return headerAcceptable(record.header); }
bool gameFileAcceptable(const GameFile& record) { return headerAcceptable(record.header); }

bool installMapFile(Board& board, const MapFile& record) {
    if (!mapFileAcceptable(record)) return false;
    installCommon(board, record.header, record.cities, record.solutionRoute);
    takeStampWords(record.header);
    return true;
}

bool installGameFile(Board& board, const GameFile& record) {
    if (!gameFileAcceptable(record)) return false;
    installCommon(board, record.header, record.cities, record.solutionRoute);
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) board.playerRoute[i] = routeEntry(record.playerRoute[i]);
    board.playerRoute[0] = 0;
    elapsedSeconds = std::clamp(record.elapsedSeconds, -kMaxElapsedSeconds, kMaxElapsedSeconds);
    gameFinished = record.gameFinished;
    board.playerRouteLength = validRouteLength(record.playerRoute, record.playerRouteLength, board.cityCount);
    routeClosed = board.playerRouteLength == board.cityCount + 1 ? 1 : 0;
    board.measurePlayerRoute();
    gameStartTime = holdInt32(static_cast<std::int64_t>(platform::clockSeconds()) - elapsedSeconds);
    takeStampWords(record.header);
    return true;
}

bool writeFileReplacing(const char* path, const unsigned char* bytes, std::int32_t count) {
    if (path == nullptr || path[0] == '\0' || count < 0) return false;
    // "<target>.~N" beside the target, so that the final rename stays on one
    // volume; N moves on past names that are already taken.
    char temp[kDocumentNameCapacity + 8];
    platform::FileHandle file = platform::kNoFile;
    for (int n = 0; n < 10 && file == platform::kNoFile; ++n) {
        const int made = std::snprintf(temp, sizeof temp, "%s.~%d", path, n);
        if (made < 0 || static_cast<std::size_t>(made) >= sizeof temp) return false;
        file = platform::createNewFile(temp);
    }
    if (file == platform::kNoFile) return false;

    bool ok = true;
    std::int32_t offset = 0;
    while (ok && offset < count) {
        const std::int32_t wrote = platform::writeToFile(file, bytes + offset, count - offset);
        if (wrote <= 0 || wrote > count - offset)
            ok = false;
        else
            offset += wrote;
    }
    ok = ok && platform::flushFile(file);
    ok = platform::closeFile(file) && ok;
    ok = ok && platform::replaceFile(temp, path);
    if (!ok) platform::removeFile(temp);
    return ok;
}

bool saveWithDialog(const unsigned char* bytes, std::int32_t count, const char* title, char* fileName,
                    const char* defaultExtension, const platform::FileFilter* filters, std::int32_t filterCount,
                    std::int32_t* bytesWritten, const char* initialDirectory) {
    if (!platform::showSaveDialog(title, filters, filterCount, defaultExtension, initialDirectory, fileName,
                                  kDocumentNameCapacity))
        return false;
    fileName[kDocumentNameCapacity - 1] = '\0';
    if (fileName[0] == '\0') return false;
    if (!writeFileReplacing(fileName, bytes, count)) return false;
    if (bytesWritten != nullptr) *bytesWritten = count;
    return true;
}

bool openWithDialog(unsigned char* bytes, std::int32_t count, const char* title, char* fileName,
                    const platform::FileFilter* filters, std::int32_t filterCount, std::int32_t* bytesRead,
                    const char* initialDirectory) {
    fileName[0] = '\0';
    if (!platform::showOpenDialog(title, filters, filterCount, initialDirectory, fileName, kDocumentNameCapacity))
        return false;
    fileName[kDocumentNameCapacity - 1] = '\0';
    if (fileName[0] == '\0') return false;
    std::int32_t got = 0;
    if (!platform::readFileStart(fileName, bytes, count, got)) return false;
    if (got < 0 || got > count) return false;
    if (bytesRead != nullptr) *bytesRead = got;
    return true;
}

bool saveMap(Board& board) {
    // The record is taken before the dialog opens: the board as the command found it.
    unsigned char bytes[kMapFileBytes];
    encodeMapFile(mapFileFromBoard(board, platform::clockSeconds()), bytes);
    char fileName[kDocumentNameCapacity];
    composeDefaultName(fileName, kDocumentNameCapacity, kMapExtension);
    if (!saveWithDialog(bytes, kMapFileBytes, kSaveMapTitle, fileName, kMapExtension, kMapFilters, kFilterCount))
        return false;
    setDocumentName(fileName, kDocumentNameCapacity);
    return true;
}

bool saveGame(Board& board) {
    unsigned char bytes[kGameFileBytes];
    encodeGameFile(gameFileFromBoard(board, platform::clockSeconds()), bytes);
    char fileName[kDocumentNameCapacity];
    composeDefaultName(fileName, kDocumentNameCapacity, kGameExtension);
    if (!saveWithDialog(bytes, kGameFileBytes, kSaveGameTitle, fileName, kGameExtension, kGameFilters,
                        kFilterCount))
        return false;
    setDocumentName(fileName, kDocumentNameCapacity);
    return true;
}

bool openMap(Board& board) {
    unsigned char bytes[kMapFileBytes] = {};
    char fileName[kDocumentNameCapacity];
    std::int32_t got = 0;
    if (!openWithDialog(bytes, kMapFileBytes, kOpenMapTitle, fileName, kMapFilters, kFilterCount, &got)) return false;
    if (got != kMapFileBytes) return false;
    const MapFile record = decodeMapFile(bytes);
    if (!mapFileAcceptable(record)) return false;
    setDocumentName(fileName, kDocumentNameCapacity);
    return installMapFile(board, record);
}

bool openGame(Board& board) {
    unsigned char bytes[kGameFileBytes] = {};
    char fileName[kDocumentNameCapacity];
    std::int32_t got = 0;
    if (!openWithDialog(bytes, kGameFileBytes, kOpenGameTitle, fileName, kGameFilters, kFilterCount, &got))
        return false;
    if (got != kGameFileBytes) return false;
    const GameFile record = decodeGameFile(bytes);
    if (!gameFileAcceptable(record)) return false;
    setDocumentName(fileName, kDocumentNameCapacity);
    return installGameFile(board, record);
}

}  // namespace orvanta
