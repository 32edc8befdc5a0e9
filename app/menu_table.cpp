#include "app/menu_table.h"

#include "core/catalogue.h"
#include "core/text1251.h"

namespace orvanta {

namespace {

constexpr auto kFile = RU("&Файл");
constexpr auto kOpenMap = RU("&Открыть Карту...");
constexpr auto kSaveAs = RU("&Сохранить как...");
constexpr auto kExit = RU("В&ыход");
constexpr auto kShareMap = RU("&Поделиться картой...");
constexpr auto kOpenMapCode = RU("Открыть &код карты...");
constexpr auto kDailyMap = RU("Карта &дня");
constexpr auto kShareResult = RU("Поделиться &результатом");
constexpr auto kGenerator = RU("&Генератор");
constexpr auto kGridCoarse = RU("Сетка Грубо");
constexpr auto kGridMedium = RU("Сетка Средне");
constexpr auto kGridFine = RU("Сетка Точно");
constexpr auto kEditor = RU("&Редактор");
constexpr auto kEditMap = RU("&Править Карту");
constexpr auto kEraseAll = RU("&Стереть все");
constexpr auto kGame = RU("&Игра");
constexpr auto kStartGame = RU("&Начать Игру");
constexpr auto kOpenGame = RU("&Открыть Игру...");
constexpr auto kHelp = RU("&? Помощь");
constexpr auto kShowSolution = RU("&Показать Решение ЗК");
constexpr auto kReadManual = RU("&Читать Руководство...");
constexpr auto kAbout = RU("&О программе...");
constexpr auto kPersonalNumber = RU("&Личный номер...");

constexpr MenuItem kSeparator{nullptr, 0, nullptr};

const MenuItem kFileItems[] = {
    {kOpenMap, command::openMap, "openMap"},
    {kSaveAs, command::saveMap, "saveMap"},
    kSeparator,
    {kShareMap, command::shareMap, "shareMap"},
    {kOpenMapCode, command::openMapCode, "openMapCode"},
    kSeparator,
    {kExit, command::exitProgram, "exitProgram"},
};
const MenuItem kGeneratorItems[] = {
    {kGenerator, command::generator, "generator"},
    {kDailyMap, command::dailyMap, "dailyMap"},
    kSeparator,
    {kGridCoarse, command::gridCoarse, "gridCoarse"},
    {kGridMedium, command::gridMedium, "gridMedium"},
    {kGridFine, command::gridFine, "gridFine"},
};
const MenuItem kEditorItems[] = {
    {kEditMap, command::editMap, "editMap"},
    kSeparator,
    {kEraseAll, command::eraseAll, "eraseAll"},
};
const MenuItem kGameItems[] = {
    {kStartGame, command::startGame, "startGame"},
    kSeparator,
    {kOpenGame, command::openGame, "openGame"},
    {kSaveAs, command::saveGame, "saveGame"},
    kSeparator,
    {kShareResult, command::shareResult, "shareResult"},
};
// The languages close the Help menu, each named in its own language (see
// shownCaption); the menu shows as many of them as there are catalogues.
constexpr MenuItem languageItem(std::int32_t language) {
    return MenuItem{"", command::languageFirst + language, "language"};
}
const MenuItem kHelpItems[] = {
    {kShowSolution, command::showSolution, "showSolution"},
    kSeparator,
    {kReadManual, command::readManual, "readManual"},
    {kAbout, command::about, "about"},
    {kPersonalNumber, command::personalNumber, "personalNumber"},
    kSeparator,
    languageItem(0), languageItem(1), languageItem(2), languageItem(3),
    languageItem(4), languageItem(5), languageItem(6), languageItem(7),
};
static_assert(sizeof kHelpItems / sizeof kHelpItems[0] == 6 + text::kMaxLanguages);

template <std::int32_t N>
constexpr Menu menu(const char* caption, const MenuItem (&items)[N]) {
    return Menu{caption, items, N};
}

}  // namespace

const Menu kMenuBar[] = {
    menu(kFile, kFileItems),     menu(kGenerator, kGeneratorItems), menu(kEditor, kEditorItems),
    menu(kGame, kGameItems),
    Menu{kHelp, kHelpItems, 6 + text::languageCount()},
};
const std::int32_t kMenuCount = sizeof kMenuBar / sizeof kMenuBar[0];

const CharacterKey kCharacterKeys[] = {{'?', command::about}, {'/', command::about}};
const std::int32_t kCharacterKeyCount = sizeof kCharacterKeys / sizeof kCharacterKeys[0];

std::int32_t languageOfCommand(int commandId) {
    const std::int32_t language = commandId - command::languageFirst;
    return language >= 0 && language < text::languageCount() ? language : -1;
}

const char* shownCaption(const MenuItem& item) {
    if (item.caption == nullptr) return nullptr;
    const std::int32_t language = languageOfCommand(item.commandId);
    return language >= 0 ? text::languageCaption(language) : text::tr(item.caption);
}

const char* shownCaption(const Menu& menu) { return text::tr(menu.caption); }

bool isCheckedItem(const MenuItem& item) {
    const std::int32_t language = languageOfCommand(item.commandId);
    return language >= 0 && language == text::currentLanguage();
}

int commandOfCharacter(char typed) {
    for (const CharacterKey& key : kCharacterKeys)
        if (key.character == typed) return key.commandId;
    return 0;
}

}  // namespace orvanta
