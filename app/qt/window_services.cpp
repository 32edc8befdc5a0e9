// The main window's services for the controller, and the About box.
#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

#include "app/qt/main_window.h"
#include "app/qt/qt_paths.h"
#include "app/qt/qt_text.h"
#include "app/window_services.h"
#include "app/window_texts.h"
#include "core/catalogue.h"
#include "files/language_choice.h"

namespace orvanta::platform {

void invalidateWindow() {
    if (qt::MainWindow* window = qt::mainWindow()) window->pictureWidget()->update();
}

void setWindowTitle(const char* text, const char* name) {
    qt::MainWindow* window = qt::mainWindow();
    if (window == nullptr) return;
    char title[kTitleCapacity];
    std::snprintf(title, sizeof title, "%s%s", baseWindowTitle(), text != nullptr ? text : "");
    // The document name is shown with its real characters, also those the
    // code page lacks.
    const QString shownName = qt::realPath(name).left(static_cast<qsizetype>(kTitleCapacity - 1 - std::strlen(title)));
    window->setWindowTitle(qt::fromCp1251(title) + shownName);
}

void showAboutBox() {
    QDialog box(qt::dialogOwner());
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setWindowTitle(qt::fromCp1251(aboutCaption()));

    auto* name = new QLabel(qt::fromCp1251(programName()), &box);
    name->setTextFormat(Qt::PlainText);
    name->setAlignment(Qt::AlignCenter);

    auto* ok = new QPushButton(QStringLiteral("OK"), &box);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(ok);
    buttonRow->addStretch();
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(name);
    layout->addStretch();
    layout->addLayout(buttonRow);

    // 157 x 56 dialog units of an 8 x 16 pixel system font.
    box.setFixedSize(314, 112);
    ok->setFocus();
    // Enter presses the default button; Escape and the close box reject.
    box.exec();
}

void closeMainWindow() {
    if (qt::MainWindow* window = qt::mainWindow()) window->close();
}

void languageChanged() {
    qt::loadQtTranslations();
    if (qt::MainWindow* window = qt::mainWindow()) window->rebuildMenus();
    // A choice that cannot be kept still holds for this run.
    writeLanguageChoice(text::languageCode(text::currentLanguage()));
}

void refusalBeep() {
    ++qt::beepCount;
    QApplication::beep();
}

}  // namespace orvanta::platform
