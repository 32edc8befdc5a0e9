#include "app/win32/wide_text.h"

#include <cstddef>

#include "core/text1251.h"

namespace orvanta::win32 {

namespace {

// A remembered path: its narrow form (one byte for each UTF-16 unit) and the
// real one.
struct RememberedPath {
    std::string narrow;
    std::wstring wide;
};

RememberedPath remembered[2];

std::size_t sharedStart(const std::string& a, const std::string& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

}  // namespace

std::wstring widen(const char* cp1251) {
    const std::u16string units = text::toUtf16(cp1251);
    return std::wstring(units.begin(), units.end());
}

std::string narrow(const wchar_t* utf16) {
    std::string out;
    for (const wchar_t* p = utf16; p != nullptr && *p != L'\0'; ++p) {
        const auto unit = static_cast<char16_t>(*p);
        // Surrogate halves have no byte of their own.
        out.push_back(unit >= 0xD800 && unit <= 0xDFFF ? '?' : text::byteOf1251(unit));
    }
    return out;
}

bool fitsCodePage(const wchar_t* utf16) {
    for (const wchar_t* p = utf16; p != nullptr && *p != L'\0'; ++p) {
        const auto unit = static_cast<char16_t>(*p);
        if (unit >= 0xD800 && unit <= 0xDFFF) return false;
        if (text::unicodeOf1251(static_cast<unsigned char>(text::byteOf1251(unit))) != unit) return false;
    }
    return true;
}

void rememberPath(PathSource slot, const std::wstring& realPath) {
    RememberedPath& entry = remembered[static_cast<int>(slot)];
    entry = RememberedPath{};
    if (fitsCodePage(realPath.c_str())) return;  // the narrow form says it exactly
    entry.wide = realPath;
    entry.narrow = narrow(realPath.c_str());
}

std::wstring widenPath(const char* cp1251) {
    const std::string path = cp1251 != nullptr ? cp1251 : "";
    // The remembered path sharing the longest start with this one supplies
    // that start, when the start holds a stand-in '?' (which no Windows file
    // name holds itself): so the file, a temporary file beside it, a sibling
    // in its folder and the document name (the path without its extension)
    // all map back.
    const RememberedPath* best = nullptr;
    std::size_t bestLength = 0;
    for (const RememberedPath& entry : remembered) {
        const std::size_t n = sharedStart(path, entry.narrow);
        if (n > bestLength && entry.narrow.find('?') < n) {
            best = &entry;
            bestLength = n;
        }
    }
    if (best == nullptr) return widen(path.c_str());
    std::size_t cut = bestLength;
    // Never end inside a pair of UTF-16 units.
    if (cut > 0 && best->wide[cut - 1] >= 0xD800 && best->wide[cut - 1] <= 0xDBFF) --cut;
    return best->wide.substr(0, cut) + widen(path.c_str() + cut);
}

}  // namespace orvanta::win32
