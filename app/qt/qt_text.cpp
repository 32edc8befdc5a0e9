#include "app/qt/qt_text.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdlib>

#include "core/catalogue.h"
#include "core/text1251.h"
#include "files/language_choice.h"

namespace orvanta::qt {

QString fromCp1251(const char* text) {
    const std::u16string utf16 = text::toUtf16(text);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

namespace {
QTranslator* installedTranslator = nullptr;
}  // namespace

bool loadQtTranslations() {
    if (installedTranslator != nullptr) {
        QCoreApplication::removeTranslator(installedTranslator);
        delete installedTranslator;
        installedTranslator = nullptr;
    }
    // Owned by the application object, which outlives every dialog.
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QLocale locale(QString::fromLatin1(text::languageCode(text::currentLanguage())));
    if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    installedTranslator = translator;
    return QCoreApplication::installTranslator(translator);
}

const char* messagesLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') return value;
    }
    return "";
}

void chooseStartLanguage() {
    text::setLanguage(text::startLanguage(readLanguageChoice(), messagesLocaleName()));
}

}  // namespace orvanta::qt
