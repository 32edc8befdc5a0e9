// The menu bar and the character keys, described once. Every front end builds
// its menus from this table in the language in use (the web shell through a
// module generated from it at build time, app/web/web_tables.cpp); only the
// Win32 accelerators stay in orvanta.rc for the resource compiler, and a test
// of the Windows build holds them to this table.
//
// To add a menu item: one row here (caption, command id, name), its caption
// in every catalogue (po/*.po), and one case in handleCommand
// (controller.cpp); the id goes into command_ids.h.
#pragma once

#include <cstdint>

#include "app/command_ids.h"

namespace orvanta {

// One item of a drop-down menu. The caption is Windows-1251 with "&" before the
// letter that chooses it, the Russian source (a menu shows shownCaption); an
// item without caption is a separator.
struct MenuItem {
    const char* caption;
    int commandId;
    const char* name;  // the command's name in the web shell and its tests
};

// A drop-down menu of the menu bar: its caption ("&" before its letter) and items.
struct Menu {
    const char* caption;
    const MenuItem* items;
    std::int32_t itemCount;
};

// A command chosen by a typed character, whatever key produced it.
struct CharacterKey {
    char character;
    int commandId;
};

// The menu bar from left to right.
extern const Menu kMenuBar[];
extern const std::int32_t kMenuCount;

extern const CharacterKey kCharacterKeys[];
extern const std::int32_t kCharacterKeyCount;

// The caption a menu shows for an item or a drop-down menu: in the language in
// use, a language's own item (the last items of Help, one per catalogue) in
// that language. Null for a separator.
const char* shownCaption(const MenuItem& item);
const char* shownCaption(const Menu& menu);
// Whether the item shows a check mark: the item of the language in use.
bool isCheckedItem(const MenuItem& item);
// The language an item's command chooses, or -1 for any other command.
std::int32_t languageOfCommand(int commandId);

// The command of a typed character, or 0 when it chooses none.
int commandOfCharacter(char typed);

}  // namespace orvanta
