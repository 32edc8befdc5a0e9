// Writes the tables the web shell and its tests share with the program: the
// command ids with their names, the menu bar in every language with the
// catalogues' texts (the shell's own words among them), the character and
// virtual keys, and the byte layout of FlatBoard. The build runs it (under Node) to make the
// site's tables.js (an ES module the shell imports) and tables.json (read by
// the browser tests), so neither repeats a number of the C++ code.
// Usage: orvanta-web-tables js|json
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/command_ids.h"
#include "app/menu_table.h"
#include "app/web/web_board_transfer.h"
#include "core/catalogue.h"
#include "core/catalogue_data.h"
#include "core/text1251.h"

namespace {

using orvanta::web::FlatBoard;

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string caption(const char* cp1251) { return quoted(orvanta::text::toUtf8(cp1251)); }

std::string pair(const std::string& name, long long value) { return quoted(name) + ": " + std::to_string(value); }

// The menu bar as the shell builds it, in the language in use: per menu its
// caption and items, an item as [caption, id] or, for the language in use,
// [caption, id, 1] (checked).
std::string menuRows() {
    using namespace orvanta;
    std::string menus;
    for (std::int32_t m = 0; m < kMenuCount; ++m) {
        std::string items;
        for (std::int32_t i = 0; i < kMenuBar[m].itemCount; ++i) {
            const MenuItem& item = kMenuBar[m].items[i];
            if (!items.empty()) items += ", ";
            if (item.caption == nullptr) {
                items += "null";
                continue;
            }
            items += "[" + caption(shownCaption(item)) + ", " + std::to_string(item.commandId) +
                     (isCheckedItem(item) ? ", 1]" : "]");
        }
        if (!menus.empty()) menus += ",\n    ";
        menus += "[" + caption(shownCaption(kMenuBar[m])) + ", [" + items + "]]";
    }
    return menus;
}

// Every language: its code, its menu bar and its catalogue as source text to
// translation (UTF-8); the shell translates its own words through it.
std::string languagesJson() {
    using namespace orvanta;
    std::string out;
    for (std::int32_t language = 0; language < text::languageCount(); ++language) {
        text::setLanguage(language);
        std::string texts;
        if (language != text::kSourceLanguage) {
            const text::catalogue::LanguageTable& table = text::catalogue::kTables[language - 1];
            for (std::int32_t i = 0; i < table.entryCount; ++i) {
                if (!texts.empty()) texts += ",\n      ";
                texts += quoted(table.entries[i].sourceUtf8) + ": " + quoted(table.entries[i].translationUtf8);
            }
        }
        if (!out.empty()) out += ",\n  ";
        out += "{\"code\": " + quoted(text::languageCode(language)) + ", \"menuRows\": [\n    " + menuRows() +
               "],\n    \"texts\": {" + texts + "}}";
    }
    text::setLanguage(text::kSourceLanguage);
    return out;
}

std::string tablesJson() {
    using namespace orvanta;
    std::string commands;
    for (std::int32_t m = 0; m < kMenuCount; ++m) {
        for (std::int32_t i = 0; i < kMenuBar[m].itemCount; ++i) {
            const MenuItem& item = kMenuBar[m].items[i];
            if (item.caption == nullptr) continue;
            if (!commands.empty()) commands += ", ";
            const std::int32_t language = languageOfCommand(item.commandId);
            commands += pair(language >= 0 ? std::string("language-") + text::languageCode(language) : item.name,
                             item.commandId);
        }
    }
    const std::string menus = menuRows();
    std::string characters;
    for (std::int32_t i = 0; i < kCharacterKeyCount; ++i) {
        if (!characters.empty()) characters += ", ";
        characters += pair(std::string(1, kCharacterKeys[i].character), kCharacterKeys[i].commandId);
    }
    const std::string keys = pair("escape", key::escape) + ", " + pair("space", key::space) + ", " +
                             pair("left", key::left) + ", " + pair("up", key::up) + ", " + pair("right", key::right) +
                             ", " + pair("down", key::down) + ", " + pair("add", key::add) + ", " +
                             pair("oemPlus", key::oemPlus) + ", " + pair("enter", key::enter) + ", " +
                             pair("deleteKey", key::deleteKey) + ", " + pair("backspace", key::backspace) + ", " +
                             pair("pageUp", key::pageUp) + ", " + pair("pageDown", key::pageDown);
    const std::string board =
        pair("bytes", sizeof(FlatBoard)) + ", " + pair("solved", offsetof(FlatBoard, solved)) + ", " +
        pair("gridWidth", offsetof(FlatBoard, gridWidth)) + ", " + pair("gridHeight", offsetof(FlatBoard, gridHeight)) +
        ", " + pair("cityCount", offsetof(FlatBoard, cityCount)) + ", " +
        pair("playerRouteLength", offsetof(FlatBoard, playerRouteLength)) + ", " +
        pair("cities", offsetof(FlatBoard, cities)) + ", " + pair("cityBytes", sizeof(orvanta::City)) + ", " +
        pair("cityY", offsetof(orvanta::City, y)) + ", " + pair("maxCities", kMaxCities) + ", " +
        pair("playerRoute", offsetof(FlatBoard, playerRoute)) + ", " + pair("routeCapacity", kRouteCapacity);
    return "{\n  \"command\": {" + commands + "},\n  \"menuRows\": [\n    " + menus + "],\n  \"languages\": [\n  " +
           languagesJson() + "],\n  \"characterKeys\": {" + characters + "},\n  \"virtualKey\": {" + keys +
           "},\n  \"flatBoard\": {" + board + "}\n}";
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) return 2;
    const std::string json = tablesJson();
    if (std::strcmp(argv[1], "json") == 0) {
        std::printf("%s\n", json.c_str());
    } else if (std::strcmp(argv[1], "js") == 0) {
        std::printf("// Generated by the build (app/web/web_tables.cpp) from the program's own tables.\n"
                    "const tables = %s;\n"
                    "export const {command, menuRows, languages, characterKeys, virtualKey, flatBoard} = tables;\n",
                    json.c_str());
    } else {
        return 2;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
