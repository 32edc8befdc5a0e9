#include "app/qt/qt_text.h"

#include "core/text1251.h"

namespace orvanta::qt {

QString fromCp1251(const char* text) {
    const std::u16string utf16 = text::toUtf16(text);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

}  // namespace orvanta::qt
