#include <gtest/gtest.h>

#include <cstring>

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

}  // namespace
}  // namespace orvanta::text
