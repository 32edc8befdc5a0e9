// The catalogue's lookup: the languages compiled in, the one in use (chosen
// by its code, or from the remembered choice and the desktop's locale), and
// each source text's translation, the source text itself where a table has none.
#include "core/catalogue.h"

#include <cstring>

#include "core/catalogue_data.h"
#include "core/text1251.h"

namespace orvanta::text {

namespace {

// Each catalogue translates this into its own language's name: the caption of
// the menu item that switches to it.
constexpr auto kLanguageCaption = RU("&Русский");
constexpr char kSourceCode[] = "ru";

std::int32_t languageInUse = kSourceLanguage;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `name` starts with `code` followed by its end or a region or
// encoding ("_", "-", ".", "@").
bool namesCode(const char* name, const char* code) {
    std::size_t i = 0;
    for (; code[i] != '\0'; ++i)
        if (lower(name[i]) != code[i]) return false;
    const char next = name[i];
    return next == '\0' || next == '_' || next == '-' || next == '.' || next == '@';
}

}  // namespace

std::int32_t languageCount() {
    const std::int32_t count = 1 + catalogue::kTableCount;
    return count < kMaxLanguages ? count : kMaxLanguages;
}

const char* languageCode(std::int32_t language) {
    if (language == kSourceLanguage) return kSourceCode;
    if (language < 0 || language >= languageCount()) return "";
    return catalogue::kTables[language - 1].code;
}

const char* languageCaption(std::int32_t language) {
    if (language < 0 || language >= languageCount()) return "";
    return translate(kLanguageCaption, language);
}

std::int32_t currentLanguage() { return languageInUse; }

void setLanguage(std::int32_t language) {
    if (language >= 0 && language < languageCount()) languageInUse = language;
}

std::int32_t languageOfCode(const char* code) {
    if (code == nullptr || code[0] == '\0') return -1;
    for (std::int32_t i = 0; i < languageCount(); ++i)
        if (namesCode(code, languageCode(i))) return i;
    return -1;
}

std::int32_t languageOfLocale(const char* locale) {
    if (locale == nullptr || locale[0] == '\0' || std::strcmp(locale, "C") == 0 || namesCode(locale, "c") ||
        std::strcmp(locale, "POSIX") == 0)
        return kSourceLanguage;
    const std::int32_t listed = languageOfCode(locale);
    if (listed >= 0) return listed;
    const std::int32_t english = languageOfCode("en");
    return english >= 0 ? english : kSourceLanguage;
}

std::int32_t startLanguage(const char* rememberedCode, const char* locale) {
    const std::int32_t remembered = languageOfCode(rememberedCode);
    return remembered >= 0 ? remembered : languageOfLocale(locale);
}

const char* translate(const char* source, std::int32_t language) {
    if (source == nullptr || language <= kSourceLanguage || language >= languageCount()) return source;
    const catalogue::LanguageTable& table = catalogue::kTables[language - 1];
    for (std::int32_t i = 0; i < table.entryCount; ++i)
        if (std::strcmp(table.entries[i].source, source) == 0) return table.entries[i].translation;
    return source;
}

const char* tr(const char* source) { return translate(source, languageInUse); }

}  // namespace orvanta::text
