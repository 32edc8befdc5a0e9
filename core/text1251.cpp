// Windows-1251 texts converted to and from UTF-8 and UTF-16.
#include "core/text1251.h"

namespace orvanta::text {

namespace {
// Code points of the bytes 0x80 to 0xBF; 0x98 is unassigned and kept as is.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};
}  // namespace

char16_t unicodeOf1251(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return static_cast<char16_t>(0x0410 + (byte - 0xC0));
    return kHigh[byte - 0x80];
}

char byteOf1251(char32_t codePoint) {
    if (codePoint < 0x80) return static_cast<char>(codePoint);
    if (codePoint >= 0x410 && codePoint <= 0x44F) return static_cast<char>(0xC0 + (codePoint - 0x410));
    for (int i = 0; i < 64; ++i)
        if (kHigh[i] == codePoint) return static_cast<char>(0x80 + i);
    return '?';
}

std::u16string toUtf16(const char* cp1251) {
    std::u16string out;
    for (const char* p = cp1251; p != nullptr && *p != '\0'; ++p) out.push_back(unicodeOf1251(static_cast<unsigned char>(*p)));
    return out;
}

std::string toUtf8(const char* cp1251) {
    std::string out;
    for (char16_t u : toUtf16(cp1251)) {
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

std::string fromUtf8(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t cp = c;
        std::size_t len = 1;
        if (c >= 0xF0) { cp = c & 0x07u; len = 4; }
        else if (c >= 0xE0) { cp = c & 0x0Fu; len = 3; }
        else if (c >= 0xC0) { cp = c & 0x1Fu; len = 2; }
        for (std::size_t k = 1; k < len && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        out.push_back(byteOf1251(cp));
        i += len;
    }
    return out;
}

}  // namespace orvanta::text
