#include "files/file_commands.h"

#include "core/platform.h"
#include "core/text1251.h"
#include "files/board_records.h"
#include "files/current_document.h"
#include "files/file_dialogs.h"
#include "files/records.h"

namespace orvanta {

namespace {

static constexpr auto kSaveMapTitle = RU("Сохранить Карту в файл как");
static constexpr auto kOpenMapTitle = RU("Открыть Карту из файла");
static constexpr auto kSaveGameTitle = RU("Сохранить Игру в файл как");
static constexpr auto kOpenGameTitle = RU("Открыть Игру из файла");
constexpr platform::FileFilter kMapFilters[] = {{"Map Files", "*.rva"}, {"Any Files", "*.*"}};
constexpr platform::FileFilter kGameFilters[] = {{"Game Files", "*.rvb"}, {"Any Files", "*.*"}};
constexpr std::int32_t kFilterCount = 2;
constexpr const char* kMapExtension = "rva";
constexpr const char* kGameExtension = "rvb";

}  // namespace

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

namespace {

// Reads a record of exactly `size` bytes from the file chosen in the open
// dialog and installs it; the document name follows only a record that was
// installed.
template <typename Record>
bool openRecord(Board& board, std::int32_t size, const char* title, const platform::FileFilter* filters,
                Record (*decode)(const unsigned char*), bool (*install)(Board&, const Record&)) {
    unsigned char bytes[kGameFileBytes > kMapFileBytes ? kGameFileBytes : kMapFileBytes] = {};
    char fileName[kDocumentNameCapacity];
    std::int32_t got = 0;
    if (!openWithDialog(bytes, size, title, fileName, filters, kFilterCount, &got)) return false;
    if (got != size) return false;
    if (!install(board, decode(bytes))) return false;
    setDocumentName(fileName, kDocumentNameCapacity);
    return true;
}

}  // namespace

bool openMap(Board& board) {
    return openRecord<MapFile>(board, kMapFileBytes, kOpenMapTitle, kMapFilters, decodeMapFile, installMapFile);
}

bool openGame(Board& board) {
    return openRecord<GameFile>(board, kGameFileBytes, kOpenGameTitle, kGameFilters, decodeGameFile, installGameFile);
}

}  // namespace orvanta
