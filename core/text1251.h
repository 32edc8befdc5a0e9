// The program's texts are single-byte Windows-1251 strings. Sources stay UTF-8:
// literals are converted at compile time with RU("..."), and the front ends
// convert to UTF-16 or UTF-8 only where a text reaches the desktop.
#pragma once

#include <cstddef>
#include <string>

namespace orvanta::text {

// The UTF-16 code unit of one Windows-1251 byte.
char16_t unicodeOf1251(unsigned char byte);
// The Windows-1251 byte of a code point, or '?' where the code page has none.
char byteOf1251(char32_t codePoint);

std::u16string toUtf16(const char* cp1251);
std::string toUtf8(const char* cp1251);
std::string fromUtf8(const std::string& utf8);

// A Windows-1251 string made from a UTF-8 literal at compile time. Only the
// characters of the Russian alphabet, ASCII, the dash and the ellipsis are
// needed in literals.
template <std::size_t N>
class Cp1251Literal {
public:
    constexpr explicit Cp1251Literal(const char (&utf8)[N]) {
        std::size_t out = 0;
        for (std::size_t i = 0; i + 1 < N;) {
            const unsigned char c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                text_[out++] = static_cast<char>(c);
                i += 1;
            } else if (c < 0xE0) {
                const char32_t cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
                char b = '?';
                if (cp >= 0x410 && cp <= 0x44F) b = static_cast<char>(0xC0 + (cp - 0x410));
                else if (cp == 0x401) b = static_cast<char>(0xA8);
                else if (cp == 0x451) b = static_cast<char>(0xB8);
                text_[out++] = b;
                i += 2;
            } else {
                // Three bytes: of these only the dash and the ellipsis.
                const char32_t cp = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6) |
                                    (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
                text_[out++] = cp == 0x2014 ? static_cast<char>(0x97) : cp == 0x2026 ? static_cast<char>(0x85) : '?';
                i += 3;
            }
        }
        text_[out] = '\0';
    }
    constexpr const char* c_str() const { return text_; }
    constexpr operator const char*() const { return text_; }

private:
    char text_[N] = {};
};

}  // namespace orvanta::text

#define RU(utf8) (::orvanta::text::Cp1251Literal<sizeof(utf8)>(utf8))
