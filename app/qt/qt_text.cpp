#include "app/qt/qt_text.h"

#include <QFile>

#include "core/text1251.h"

namespace orvanta::qt {

QString fromCp1251(const char* text) {
    const std::u16string utf16 = text::toUtf16(text);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

bool toCp1251(const QString& text, std::string& out) {
    out.clear();
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        const char byte = text::byteOf1251(unit);
        // '?' is also the answer for "no such byte"; only a real '?' may map to it.
        if (byte == '?' && unit != u'?') return false;
        if (byte == '\0') return false;
        out.push_back(byte);
    }
    return true;
}

QByteArray localPath(const char* cp1251Path) { return QFile::encodeName(fromCp1251(cp1251Path)); }

}  // namespace orvanta::qt
