#include "app/win32/wide_text.h"

#include <cstddef>

#include "core/text1251.h"

namespace orvanta::win32 {

namespace {

// A remembered path: its narrow form and the real wide form, for the whole
// path and for its directory (so that a sibling file maps back too).
struct RememberedPath {
    std::string narrowFull;
    std::wstring wideFull;
    std::string narrowDirectory;
    std::wstring wideDirectory;
};

RememberedPath remembered[2];

bool startsWith(const std::string& text, const std::string& prefix) {
    return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
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
    entry.wideFull = realPath;
    entry.narrowFull = narrow(realPath.c_str());
    const std::size_t cut = realPath.find_last_of(L"\\/");
    if (cut != std::wstring::npos) {
        entry.wideDirectory = realPath.substr(0, cut + 1);
        entry.narrowDirectory = entry.narrowFull.substr(0, cut + 1);
    }
}

std::wstring widenPath(const char* cp1251) {
    const std::string path = cp1251 != nullptr ? cp1251 : "";
    // The longest remembered prefix wins: the whole path before its directory.
    const std::string* bestNarrow = nullptr;
    const std::wstring* bestWide = nullptr;
    for (const RememberedPath& entry : remembered) {
        const std::pair<const std::string*, const std::wstring*> candidates[] = {
            {&entry.narrowFull, &entry.wideFull}, {&entry.narrowDirectory, &entry.wideDirectory}};
        for (const auto& candidate : candidates) {
            if (startsWith(path, *candidate.first) &&
                (bestNarrow == nullptr || candidate.first->size() > bestNarrow->size())) {
                bestNarrow = candidate.first;
                bestWide = candidate.second;
            }
        }
    }
    if (bestNarrow == nullptr) return widen(path.c_str());
    return *bestWide + widen(path.c_str() + bestNarrow->size());
}

}  // namespace orvanta::win32
