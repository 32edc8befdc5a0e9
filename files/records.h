// Map files (.rva, 512 bytes) and game files (.rvb, 600 bytes): their records,
// their little-endian encoding, the four file commands and the document name.
#pragma once

#include <cstdint>

#include "core/board.h"
#include "files/file_services.h"

namespace orvanta {

inline constexpr std::int32_t kFileVersion = 2;
inline constexpr std::int32_t kHeaderBytes = 292;
inline constexpr std::int32_t kMapFileBytes = 512;
inline constexpr std::int32_t kGameFileBytes = 600;
inline constexpr std::int32_t kDocumentNameCapacity = 256;
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

// The current document: full path of the last file saved or opened, without
// its extension. "untitled" at start.
extern char documentName[kDocumentNameCapacity];

// Written into every record. Public: 0, 0, 0, 0 at start, then the words of
// every file opened. Profi: a fixed set, set at start-up.
extern std::int32_t stampWords[kStampWordCount];

// Sets the Profi edition's fixed stamp words; does nothing in Public.
void setEditionStampWords();

// Copies at most capacity - 1 characters of path into documentName (capacity
// is clamped to the buffer) and cuts the result at its last '.', if any.
void setDocumentName(const char* path, std::int32_t capacity);

// Composes the proposed save name "<documentName>.<extension>" into out
// (capacity bytes). When it would not fit, the name part is shortened so that
// the extension stays whole.
void composeDefaultName(char* out, std::int32_t capacity, const char* extension);

// Little-endian encoding and decoding; bytes must hold the record's size.
void encodeHeader(const FileHeader& header, unsigned char* bytes);
FileHeader decodeHeader(const unsigned char* bytes);
void encodeMapFile(const MapFile& record, unsigned char* bytes);
MapFile decodeMapFile(const unsigned char* bytes);
void encodeGameFile(const GameFile& record, unsigned char* bytes);
GameFile decodeGameFile(const unsigned char* bytes);

// Records of the board as it is now, stamped with the given clock seconds and
// the current personalNumber and stampWords (the game record also takes the
// game clock globals).
MapFile mapFileFromBoard(const Board& board, std::int32_t saveTime);
GameFile gameFileFromBoard(const Board& board, std::int32_t saveTime);

// Whether a decoded record may be opened at all: version 2 and no grid side
// above kMaxGridSide. Every other value is brought into range on installing.
bool mapFileAcceptable(const MapFile& record);
bool gameFileAcceptable(const GameFile& record);

// Installs an acceptable record into the board, the generator settings and
// (for games) the game clock; false, with nothing changed, for a record that
// is not acceptable. Public: stampWords follow the record. A record this
// program wrote installs unchanged; in a foreign one, cities in use are put
// onto the grid and the others into the largest grid, route entries that are
// no city slot become 0, the player's route is cut back to its longest sound
// start, the saved clock is held within about 34 years, and the solved flag
// is kept only with a closed trip over the cities and a showable spectrum.
bool installMapFile(Board& board, const MapFile& record);
bool installGameFile(Board& board, const GameFile& record);

// Writes the whole record to a temporary file beside path and then replaces
// path with it in one step. On any failure returns false, leaves a previous
// file at path untouched and removes the temporary file.
bool writeFileReplacing(const char* path, const unsigned char* bytes, std::int32_t count);

// Shows the save dialog (fileName: the proposed name in, the chosen path out,
// 256 bytes) and writes the record with writeFileReplacing. bytesWritten, if
// given, receives count on success.
bool saveWithDialog(const unsigned char* bytes, std::int32_t count, const char* title, char* fileName,
                    const char* defaultExtension, const platform::FileFilter* filters, std::int32_t filterCount,
                    std::int32_t* bytesWritten = nullptr, const char* initialDirectory = nullptr);

// Shows the open dialog (fileName receives the chosen path, 256 bytes) and
// reads up to count bytes of the chosen file into bytes.
bool openWithDialog(unsigned char* bytes, std::int32_t count, const char* title, char* fileName,
                    const platform::FileFilter* filters, std::int32_t filterCount,
                    std::int32_t* bytesRead = nullptr, const char* initialDirectory = nullptr);

// The four file commands; true on success. A failed or cancelled command
// changes nothing (a failed save leaves the previous file as it was).
bool saveMap(Board& board);
bool openMap(Board& board);
bool saveGame(Board& board);
bool openGame(Board& board);

}  // namespace orvanta
