#include "app/qt/startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

#include "app/window_services.h"
#include "core/edition.h"
#include "files/documents.h"
#include "files/records.h"

namespace orvanta::qt {

namespace {
constexpr int kTitleVersion = 11;
}  // namespace

const char* editionTitleText() {
    static char text[64];
    std::snprintf(text, sizeof text, " %s %s %i", isProfi() ? "Profi" : "Public", isProfi() ? "Release" : "Version",
                  kTitleVersion);
    return text;
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

void initApplication() {
    platform::setWindowTitle(editionTitleText(), "");
    personalNumber = readPersonalNumber();
    setEditionStampWords();
}

}  // namespace orvanta::qt
