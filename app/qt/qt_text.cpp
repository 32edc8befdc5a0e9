#include "app/qt/qt_text.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "core/text1251.h"

namespace orvanta::qt {

QString fromCp1251(const char* text) {
    const std::u16string utf16 = text::toUtf16(text);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

bool loadQtTranslations() {
    // Owned by the application object, which outlives every dialog.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace orvanta::qt
