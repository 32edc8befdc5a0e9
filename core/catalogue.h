// The program's texts in the player's language. Russian is the source
// language: a text is written in the code as its Russian original, marked with
// RU("...") (which the extraction check reads as the mark for translation),
// and tr() gives it in the language in use. The other languages' catalogues
// (po/<code>.po, listed in po/LINGUAS) are compiled into the program at build
// time; no front end needs a runtime library for them. Texts are
// Windows-1251 both ways.
#pragma once

#include <cstdint>

namespace orvanta::text {

// Language 0 is Russian, the source; the others follow in the order of
// po/LINGUAS.
inline constexpr std::int32_t kSourceLanguage = 0;
// The menu has room for this many languages; the build fails beyond it.
inline constexpr std::int32_t kMaxLanguages = 8;

std::int32_t languageCount();
// The code as in po/LINGUAS ("ru", "en"); "" outside the range.
const char* languageCode(std::int32_t language);
// The language's caption in the menu, in its own language with "&" before its
// letter ("&Русский", "&English"); "" outside the range.
const char* languageCaption(std::int32_t language);

std::int32_t currentLanguage();
// Out-of-range values are ignored.
void setLanguage(std::int32_t language);

// The language of a code as po/LINGUAS writes it, or -1 when there is none.
// Case and a region or encoding after the code are ignored: "en", "EN-gb",
// "en_US.UTF-8" are all English.
std::int32_t languageOfCode(const char* code);

// The language to start in for a system or browser locale name
// ("ru_RU.UTF-8", "en-US", "de"): Russian where the name is Russian, empty,
// missing, "C" or "POSIX" (so that the plain C locale keeps the source texts);
// a language of the list where the name is one; English for any other.
std::int32_t languageOfLocale(const char* locale);

// The start language: the player's remembered choice when it names a
// language of the list, else the one of the locale.
std::int32_t startLanguage(const char* rememberedCode, const char* locale);

// `source` (a Russian text as RU gives it) in the language in use; the source
// itself for Russian and for a text the catalogue lacks.
const char* tr(const char* source);
// The same in a given language.
const char* translate(const char* source, std::int32_t language);

}  // namespace orvanta::text
