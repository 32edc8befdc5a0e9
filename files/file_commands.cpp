#include "files/file_commands.h"

#include "core/catalogue.h"
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
constexpr auto kMapFiles = RU("Map Files");
constexpr auto kGameFiles = RU("Game Files");
constexpr auto kAnyFiles = RU("Any Files");
constexpr platform::FileFilter kMapFilters[] = {{kMapFiles, "*.rva"}, {kAnyFiles, "*.*"}};
constexpr platform::FileFilter kGameFilters[] = {{kGameFiles, "*.rvb"}, {kAnyFiles, "*.*"}};
constexpr std::int32_t kFilterCount = 2;

// A dialog's filters with their names in the language in use.
struct Filters {
    platform::FileFilter items[kFilterCount];
};
Filters translated(const platform::FileFilter (&filters)[kFilterCount]) {
    Filters out{};
    for (std::int32_t i = 0; i < kFilterCount; ++i) out.items[i] = {text::tr(filters[i].description), filters[i].pattern};
    return out;
}
constexpr const char* kMapExtension = "rva";
constexpr const char* kGameExtension = "rvb";

}  // namespace

bool saveMap(Board& board) {
    // The record is taken before the dialog opens: the board as the command found it.
    unsigned char bytes[kMapFileBytes];
    encodeMapFile(mapFileFromBoard(board, platform::clockSeconds()), bytes);
    char fileName[kDocumentNameCapacity];
    composeDefaultName(fileName, kDocumentNameCapacity, kMapExtension);
    if (!saveWithDialog(bytes, kMapFileBytes, text::tr(kSaveMapTitle), fileName, kMapExtension,
                        translated(kMapFilters).items, kFilterCount))
        return false;
    setDocumentName(fileName, kDocumentNameCapacity);
    return true;
}

bool saveGame(Board& board) {
    unsigned char bytes[kGameFileBytes];
    encodeGameFile(gameFileFromBoard(board, platform::clockSeconds()), bytes);
    char fileName[kDocumentNameCapacity];
    composeDefaultName(fileName, kDocumentNameCapacity, kGameExtension);
    if (!saveWithDialog(bytes, kGameFileBytes, text::tr(kSaveGameTitle), fileName, kGameExtension,
                        translated(kGameFilters).items, kFilterCount))
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
    return openRecord<MapFile>(board, kMapFileBytes, text::tr(kOpenMapTitle), translated(kMapFilters).items,
                                   decodeMapFile, installMapFile);
}

bool openGame(Board& board) {
    return openRecord<GameFile>(board, kGameFileBytes, text::tr(kOpenGameTitle),
                                    translated(kGameFilters).items, decodeGameFile, installGameFile);
}

}  // namespace orvanta
