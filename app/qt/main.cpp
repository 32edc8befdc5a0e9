// The Qt desktop program: one window, its menu and the event loop.
#include <QApplication>

#include "app/front_end.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_text.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    orvanta::resetToStartUp();
    orvanta::qt::chooseStartLanguage();
    orvanta::qt::loadQtTranslations();
    orvanta::qt::MainWindow window;
    window.show();
    // The first random map is made and drawn before the title, the personal
    // number and the stamp words are set.
    window.paintNow();
    orvanta::initApplication();
    const int code = QApplication::exec();
    // A solve still running is stopped; its thread ends within milliseconds.
    orvanta::endForcedSolve();
    return code;
}
