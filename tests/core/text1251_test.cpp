#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/catalogue.h"
#include "core/catalogue_data.h"
#include "core/text1251.h"

namespace orvanta::text {
namespace {

TEST(Text1251, LiteralsAreConvertedAtCompileTime) {
    static constexpr auto kGame = RU("Игра");
    EXPECT_STREQ(kGame.c_str(), "\xC8\xE3\xF0\xE0");
    EXPECT_STREQ(RU("Ёж ёж 100 %%").c_str(), "\xA8\xE6 \xB8\xE6 100 %%");
    EXPECT_STREQ(RU("ЗК… — 日").c_str(), "\xC7\xCA\x85 \x97 ?");
}

TEST(Text1251, RoundTripsThroughUtf8AndUtf16) {
    const std::string utf8 = "Сетка Средне – «Ё» №5";
    const std::string cp = fromUtf8(utf8);
    EXPECT_EQ(toUtf8(cp.c_str()), utf8);
    EXPECT_EQ(toUtf16(cp.c_str()), u"Сетка Средне – «Ё» №5");
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) continue;  // unassigned in the code page
        const char one[2] = {static_cast<char>(b), 0};
        EXPECT_EQ(static_cast<unsigned char>(fromUtf8(toUtf8(one))[0]), b);
    }
    EXPECT_EQ(fromUtf8("日"), "?");
}

// ---- The catalogues --------------------------------------------------------

TEST(Catalogue, StartsInRussianForRussianOrNoLocaleAndInEnglishForAnyOther) {
    const std::int32_t english = languageOfCode("en");
    ASSERT_GT(english, kSourceLanguage);
    EXPECT_STREQ(languageCode(english), "en");
    for (const char* russian : {"", "C", "C.UTF-8", "POSIX", "ru", "ru_RU.UTF-8", "RU-ru", "ru_UA@latin"})
        EXPECT_EQ(languageOfLocale(russian), kSourceLanguage) << russian;
    EXPECT_EQ(languageOfLocale(nullptr), kSourceLanguage);
    for (const char* other : {"en", "en_US.UTF-8", "en-GB", "tlh", "ca_ES", "zh-Hans-CN", "c++"})
        EXPECT_EQ(languageOfLocale(other), english) << other;
    // A remembered choice wins over the locale; a code no catalogue has does not.
    EXPECT_EQ(startLanguage("en", "ru_RU.UTF-8"), english);
    EXPECT_EQ(startLanguage("ru", "en_US.UTF-8"), kSourceLanguage);
    EXPECT_EQ(startLanguage("xx", "C"), kSourceLanguage);
    EXPECT_EQ(startLanguage("", "en_US"), english);
    EXPECT_EQ(languageOfCode("english"), -1);
}

TEST(Catalogue, TranslatesInTheLanguageInUseAndKeepsTheSourceElsewhere) {
    const std::int32_t english = languageOfCode("en");
    static constexpr auto kGrid = RU("Сетка Средне");
    static constexpr auto kUnknown = RU("Нет такого текста");
    EXPECT_EQ(tr(kGrid), kGrid.c_str()) << "Russian is the source";
    setLanguage(english);
    EXPECT_STREQ(tr(kGrid), "Grid Medium");
    EXPECT_EQ(tr(kUnknown), kUnknown.c_str());
    setLanguage(languageCount());  // out of range: ignored
    EXPECT_EQ(currentLanguage(), english);
    setLanguage(kSourceLanguage);
    EXPECT_EQ(tr(kGrid), kGrid.c_str());
    EXPECT_STREQ(languageCaption(kSourceLanguage), RU("&Русский"));
    EXPECT_STREQ(languageCaption(english), "&English");
}

// Every catalogue's text reaches the program whole: a character the code page
// lacks would show as '?', and a source given twice would hide one of them.
TEST(Catalogue, EveryTranslationFitsTheCodePageAndEverySourceIsTranslatedOnce) {
    for (std::int32_t t = 0; t < catalogue::kTableCount; ++t) {
        const catalogue::LanguageTable& table = catalogue::kTables[t];
        EXPECT_GT(table.entryCount, 40) << table.code;
        for (std::int32_t i = 0; i < table.entryCount; ++i) {
            const catalogue::Entry& entry = table.entries[i];
            const auto questions = [](const char* s) { return std::count(s, s + std::strlen(s), '?'); };
            EXPECT_EQ(questions(entry.translation), questions(entry.source))
                << table.code << ": " << toUtf8(entry.translation);
            for (std::int32_t j = 0; j < i; ++j)
                EXPECT_STRNE(table.entries[j].source, entry.source) << table.code << ": " << toUtf8(entry.source);
        }
    }
}

}  // namespace
}  // namespace orvanta::text
