// The Qt front end driven as a user would: menus, keys, clicks, the About box
// and the real file dialogs, on Qt's offscreen platform.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controller.h"
#include "app/menu_table.h"
#include "app/qt/main_window.h"
#include "app/qt/picture_services.h"
#include "app/qt/qt_paths.h"
#include "app/qt/qt_text.h"
#include "app/renderer.h"
#include "support/spectrum_cells.h"
#include "app/startup.h"
#include "app/status_panel.h"
#include "core/board.h"
#include "core/catalogue.h"
#include "core/edition.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "core/text1251.h"
#include "files/current_document.h"
#include "files/file_commands.h"
#include "files/file_services.h"
#include "files/manual_and_number.h"
#include "files/safe_write.h"

using namespace orvanta;

namespace {

QString ru(const char* cp1251) { return qt::fromCp1251(cp1251); }

// Runs `body` on the first modal widget of type T that shows up within half
// a minute. Bodies only look and then close what they found, so a failed look
// never leaves a modal loop running; the checks follow once it has returned.
// The returned watcher can be deleted to stop waiting.
template <typename T>
QPointer<QTimer> onNextModal(std::function<void(T*)> body) {
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(30000);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, body] {
        if (T* found = qobject_cast<T*>(QApplication::activeModalWidget()); found != nullptr && found->isVisible()) {
            timer->stop();
            timer->deleteLater();
            body(found);
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
    return timer;
}

// Puts a full path into the dialog's file name field and presses Enter there,
// as a user does. The field keeps the focus, so the dialog's folder listing,
// which arrives in the background, cannot replace what was entered.
void chooseFile(QFileDialog* dialog, const QString& path) {
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (field == nullptr) {
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
        return;
    }
    QApplication::setActiveWindow(dialog);
    field->setFocus();
    field->setText(path);  // keyClicks would type ASCII only
    QTest::keyClick(field, Qt::Key_Return);
}

std::int32_t readInt32(const QByteArray& bytes, int offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
    return static_cast<std::int32_t>(v);
}

QRgb rgb(Colour c) { return qRgb(c.red, c.green, c.blue); }

}  // namespace

class FrontEndTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<qt::MainWindow> window_;
    QTemporaryDir dir_;

    qt::PictureWidget* picture() const { return window_->pictureWidget(); }

    // Lets pending events run and repaints the client area at once, so that
    // recorded clicks are applied.
    void settle() {
        QCoreApplication::processEvents();
        picture()->repaint();
        QCoreApplication::processEvents();
    }

    void command(int id) {
        QAction* action = window_->actionFor(id);
        QVERIFY2(action != nullptr, qPrintable(QString::number(id)));
        action->trigger();
        settle();
    }

    void leftClickAt(WindowPoint p) {
        QTest::mouseClick(picture(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        settle();
    }

    BoardLayout layout() const { return layoutBoard(theBoard, picture()->width(), picture()->height()); }

    WindowPoint cityPoint(std::int32_t i) const {
        return gridToWindow(layout(), theBoard.cities[i].x, theBoard.cities[i].y);
    }

    // The client area as the user sees it.
    QImage screen() const { return picture()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // A client area of the current size holding only `text` at (8, y) on the
    // grey background, drawn through the program's own text service.
    QImage lineAlone(std::int32_t y, const char* text) const {
        OffscreenPicture picture;
        const std::int32_t w = this->picture()->width();
        const std::int32_t h = this->picture()->height();
        if (!platform::createPictureSurface(picture, w, h)) return {};
        picture.pictureWidth = w;
        picture.pictureHeight = h;
        std::memset(picture.pixels, 176, static_cast<std::size_t>(picture.rowStride) * static_cast<std::size_t>(h));
        DrawingSurface surface;
        surface.picture = &picture;
        if (platform::beginPictureDrawing(surface)) {
            platform::drawText(surface, 8, y, textColours::strong, text);
            platform::endPictureDrawing(surface);
        }
        QImage copy = picture.store->image.convertToFormat(QImage::Format_RGB32);
        platform::releasePictureSurface(picture);
        return copy;
    }

    // Whether the 16 rows from y, left of x = `width` (all when 0), show
    // exactly `text` at x = 8 and nothing else.
    bool showsLine(const QImage& shot, std::int32_t y, const char* text, int width = 0) const {
        const QImage expected = lineAlone(y, text);
        if (expected.isNull() || expected.size() != shot.size()) return false;
        bool inked = false;
        for (int row = y; row < y + 16 && row < shot.height(); ++row) {
            for (int x = 0; x < (width > 0 ? width : shot.width()); ++x) {
                const QRgb want = expected.pixel(x, row) & 0xFFFFFF;
                if ((shot.pixel(x, row) & 0xFFFFFF) != want) return false;
                inked = inked || want != (qRgb(176, 176, 176) & 0xFFFFFF);
            }
        }
        return inked;
    }

    // A fresh random map on the coarse grid in Generator mode.
    void freshCoarseMap() {
        command(command::gridCoarse);
        QCOMPARE(windowState.mode, AppMode::Generator);
        QVERIFY(theBoard.cityCount > 1);
    }

    // Saves the game (or map) through the real dialog, choosing `name` in the
    // test folder; returns what the dialog proposed.
    QString saveThroughDialog(int commandId, const QString& name, QString* title = nullptr) {
        QString proposed;
        onNextModal<QFileDialog>([&](QFileDialog* dialog) {
            proposed = dialog->selectedFiles().value(0);
            if (title != nullptr) *title = dialog->windowTitle();
            chooseFile(dialog, dir_.filePath(name));
            if (dialog->isVisible()) dialog->reject();
        });
        command(commandId);
        return proposed;
    }

    void openThroughDialog(int commandId, const QString& name) {
        onNextModal<QFileDialog>([&](QFileDialog* dialog) {
            chooseFile(dialog, dir_.filePath(name));
            if (dialog->isVisible()) dialog->reject();
        });
        command(commandId);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        // Run under a locale that writes a decimal comma (see CMakeLists.txt),
        // with Qt's own texts in its language, as the program loads them.
        QVERIFY2(std::strcmp(std::localeconv()->decimal_point, ",") == 0,
                 "the tests need ru_RU.UTF-8 (scripts/install-deps.sh test generates it)");
        QVERIFY(qt::loadQtTranslations());
        window_ = std::make_unique<qt::MainWindow>();
        QCOMPARE(window_->windowTitle(), ru(RU("\"Orvanta\"")));
        QCOMPARE(window_->size(), QSize(640, 480));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->paintNow();
        // The first map exists before the start-up code runs.
        QVERIFY(theBoard.cityCount > 0);
        initApplication();
    }

    void startsWithEditionTitleAndPersonalNumber() {
        const QString expected = isProfi() ? ru(RU("\"Orvanta\" Profi Release 11")) : ru(RU("\"Orvanta\" Public Version 11"));
        QCOMPARE(window_->windowTitle(), expected);
        // "user.txt" beside the test executable holds "  0x1F".
        QCOMPARE(document.personalNumber, 31);
        bool anyStampWord = false;
        for (std::int32_t word : document.stampWords) anyStampWord = anyStampWord || word != 0;
        QCOMPARE(anyStampWord, isProfi());
    }

    void menuBarHasTheCaptionsAndCommands() {
        // Built from the menu table: every caption, id and separator in order.
        const QList<QAction*> menus = window_->menuBar()->actions();
        QCOMPARE(menus.size(), static_cast<qsizetype>(kMenuCount));
        for (std::int32_t m = 0; m < kMenuCount; ++m) {
            QAction* menuAction = menus[m];
            QCOMPARE(menuAction->text(), ru(shownCaption(kMenuBar[m])));
            QVERIFY(menuAction->menu() != nullptr);
            const QList<QAction*> items = menuAction->menu()->actions();
            QCOMPARE(items.size(), static_cast<qsizetype>(kMenuBar[m].itemCount));
            for (std::int32_t i = 0; i < kMenuBar[m].itemCount; ++i) {
                QAction* item = items[i];
                const MenuItem& want = kMenuBar[m].items[i];
                if (want.caption == nullptr) {
                    QVERIFY(item->isSeparator());
                    continue;
                }
                QCOMPARE(item->text(), ru(shownCaption(want)));
                QCOMPARE(item->data().toInt(), want.commandId);
                QVERIFY(item->isEnabled());
                // Only the language in use carries a check mark.
                QCOMPARE(item->isChecked(), isCheckedItem(want));
                QCOMPARE(window_->actionFor(want.commandId), item);
            }
        }

        // Triggering items reaches the controller with their ids.
        command(command::gridMedium);
        QCOMPARE(mapGenerator.gridSizeSetting.width, 41);
        QCOMPARE(theBoard.gridWidth, 41);
        command(command::gridFine);
        QCOMPARE(theBoard.gridWidth, 10000);
        command(command::editMap);
        QCOMPARE(windowState.mode, AppMode::Editor);
        command(command::startGame);
        QCOMPARE(windowState.mode, AppMode::Game);
        command(command::generator);
        QCOMPARE(windowState.mode, AppMode::Generator);
        QCOMPARE(theBoard.gridWidth, 10000);
        command(command::gridCoarse);
        QCOMPARE(theBoard.gridWidth, 11);
    }

    void keysReachTheControllerOnRelease() {
        freshCoarseMap();
        const std::int32_t cities = mapGenerator.cityCountSetting;
        QTest::keyPress(picture(), Qt::Key_Up);
        settle();
        QCOMPARE(mapGenerator.cityCountSetting, cities);  // a press alone does nothing
        QTest::keyRelease(picture(), Qt::Key_Up);
        settle();
        QCOMPARE(mapGenerator.cityCountSetting, cities + 1);
        QCOMPARE(theBoard.cityCount, cities + 1);

        // An auto-repeated release is not a release, nor one whose press went
        // elsewhere: the Esc that closes a menu or a dialog is pressed there
        // and released here, and a press here is forgotten when a dialog
        // takes the focus before the release.
        QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(picture(), &repeat);
        settle();
        QTest::keyRelease(picture(), Qt::Key_Up);
        settle();
        QCOMPARE(mapGenerator.cityCountSetting, cities + 1);
        QTest::keyPress(picture(), Qt::Key_Up);
        bool shown = false;
        onNextModal<QDialog>([&](QDialog* box) {
            shown = true;
            box->reject();
        });
        command(command::about);
        QVERIFY(shown);
        QTest::keyRelease(picture(), Qt::Key_Up);
        settle();
        QCOMPARE(mapGenerator.cityCountSetting, cities + 1);

        QTest::keyClick(picture(), Qt::Key_Down);
        settle();
        QCOMPARE(theBoard.cityCount, cities);
        QTest::keyClick(picture(), Qt::Key_Right);
        settle();
        QCOMPARE(theBoard.gridWidth, 41);
        QTest::keyClick(picture(), Qt::Key_Right);
        settle();
        QCOMPARE(theBoard.gridWidth, 10000);
        QTest::keyClick(picture(), Qt::Key_Left);
        settle();
        QCOMPARE(theBoard.gridWidth, 41);
        QTest::keyClick(picture(), Qt::Key_Left);
        settle();
        QCOMPARE(theBoard.gridWidth, 11);

        // Both plus keys force the solution. Profi has solved the small map on
        // its own and shows the solution as the player's closed trip.
        for (const auto modifier : {Qt::NoModifier, Qt::KeypadModifier}) {
            QTest::keyClick(picture(), Qt::Key_Space);
            settle();
            QCOMPARE(theBoard.playerRouteLength, 1);
            QCOMPARE(theBoard.solved, isProfi() ? 1 : 0);
            QTest::keyClick(picture(), Qt::Key_Plus, modifier);
            settle();
            QCOMPARE(theBoard.solved, 1);
            QCOMPARE(theBoard.playerRouteLength, isProfi() ? theBoard.cityCount + 1 : 1);
        }
    }

    // Qt hands the second press of a double click over as a double click,
    // wherever the first press went. One whose first click closed a dialog
    // is no click on the board; one after a press on the board is.
    void doubleClickActsOnlyAfterAPressOnTheBoard() {
        freshCoarseMap();
        const auto doubleClickAt = [this](WindowPoint p) {
            const QPointF at(p.x, p.y);
            QMouseEvent second(QEvent::MouseButtonDblClick, at, picture()->mapToGlobal(at), Qt::LeftButton,
                               Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(picture(), &second);
            settle();
        };
        leftClickAt(cityPoint(0));
        command(command::gridCoarse);
        onNextModal<QDialog>([](QDialog* box) { box->reject(); });
        command(command::about);
        doubleClickAt(cityPoint(0));
        QCOMPARE(windowState.mode, AppMode::Generator);

        leftClickAt(cityPoint(0));
        QCOMPARE(windowState.mode, AppMode::Game);
        const std::int32_t route = theBoard.playerRouteLength;
        doubleClickAt(cityPoint(1));
        QCOMPARE(theBoard.playerRouteLength, route + 1);
    }

    void gamePlayedByClicksAndKeysEndsWithTheVerdict() {
        // Build a square of four cities in the editor, then play it.
        command(command::gridCoarse);
        command(command::editMap);
        command(command::eraseAll);
        QCOMPARE(windowState.mode, AppMode::Editor);
        QCOMPARE(theBoard.cityCount, 0);
        const City corners[] = {{1, 1}, {9, 1}, {9, 9}, {1, 9}};
        for (const City& c : corners) leftClickAt(gridToWindow(layout(), c.x, c.y));
        QCOMPARE(theBoard.cityCount, 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(theBoard.cities[i].x, corners[i].x);
            QCOMPARE(theBoard.cities[i].y, corners[i].y);
        }

        command(command::startGame);
        QCOMPARE(windowState.mode, AppMode::Game);
        // Across the square and back: 16 + 16 sqrt 2 units against the 32 around it.
        for (const int i : {2, 1, 3}) {
            QCOMPARE(gameClock.routeClosed, 0);
            leftClickAt(cityPoint(i));
        }
        QCOMPARE(gameClock.routeClosed, 1);
        QCOMPARE(gameClock.gameFinished, 1);
        QCOMPARE(theBoard.playerRouteLength, 5);

        // Public needs '+' for the optimum; Profi has it already, and its '+'
        // would make the optimum the player's trip.
        if (!isProfi()) {
            QTest::keyClick(picture(), Qt::Key_Plus);
            settle();
        }
        QCOMPARE(theBoard.solved, 1);
        gameClock.elapsedSeconds = 37;  // the stopped clock, as a saved game would bring it back
        requestRepaint();
        settle();

        const QImage shot = screen();
        QVERIFY(showsLine(shot, 12, RU("Игра:    Городов  4    Сетка 11x11    Решение известно")));
        static constexpr auto kProfiLine = RU("Время  37 сек    Городов в пути  4    Суммарный путь 120.711");
        static constexpr auto kPublicLine =
            RU("Время  37 сек    Городов в пути  4    Результат в пределах 125 % от решения ЗК");
        const char* line = isProfi() ? kProfiLine.c_str() : kPublicLine.c_str();
        QVERIFY2(showsLine(shot, picture()->height() - 24, line), qPrintable(ru(line)));
        if (isProfi()) {
            QVERIFY(showsLine(shot, 56, "100", 64));
            QVERIFY(showsLine(shot, 72, "120.711", 64));
        }

        // The closing segment back to city 0 is drawn in the route colour.
        const WindowPoint from = cityPoint(3);
        const WindowPoint to = cityPoint(0);
        QCOMPARE(shot.pixel(from.x, (from.y + to.y) / 2), rgb(colours::route));
    }

    void gamePlayedByTheKeyboardAloneEndsWithTheVerdict() {
        freshCoarseMap();
        // Enter enters the game with the cursor on the start city.
        QTest::keyClick(picture(), Qt::Key_Return);
        settle();
        QCOMPARE(windowState.mode, AppMode::Game);
        QCOMPARE(screen().pixel(cityPoint(0).x + 6, cityPoint(0).y), rgb(colours::cursor));
        // Page Down goes through every city once; Enter, the keypad's Enter
        // or Space picks it; Page Up goes back.
        const Qt::Key pickKeys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space};
        QTest::keyClick(picture(), Qt::Key_PageDown);
        QTest::keyClick(picture(), Qt::Key_PageUp);
        settle();
        QCOMPARE(theBoard.playerRouteLength, 1);
        const std::int32_t cities = theBoard.cityCount;
        for (std::int32_t i = 1; i < cities; ++i) {
            QCOMPARE(gameClock.routeClosed, 0);
            QTest::keyClick(picture(), Qt::Key_PageDown);
            const Qt::Key pick = pickKeys[i % 3];
            QTest::keyClick(picture(), pick, pick == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            settle();
            QCOMPARE(theBoard.playerRouteLength, i + 1 < cities ? i + 1 : cities + 1);  // the last closes it
        }
        QCOMPARE(gameClock.routeClosed, 1);
        QCOMPARE(theBoard.playerRouteLength, cities + 1);
        if (!isProfi()) {
            QTest::keyClick(picture(), Qt::Key_Plus);
            settle();
        }
        QCOMPARE(theBoard.solved, 1);
        gameClock.elapsedSeconds = 37;
        requestRepaint();
        settle();
        const double ratio = lengthRatio(theBoard);
        const QByteArray line =
            isProfi() ? QStringLiteral("Время  37 сек    Городов в пути %1    Суммарный путь %2")
                            .arg(cities, 2).arg(ratio, 0, 'g', 6).toUtf8()
                      : QStringLiteral("Время  37 сек    Городов в пути %1    Результат в пределах %2 % от решения ЗК")
                            .arg(cities, 2).arg(gradePercent(ratio)).toUtf8();
        const std::string text = text::fromUtf8(line.constData());
        QVERIFY2(showsLine(screen(), picture()->height() - 24, text.c_str()), line.constData());
        // Delete and Backspace start the trip again, as a right click does;
        // the cursor stays on the city picked last.
        QTest::keyClick(picture(), Qt::Key_Delete);
        settle();
        QCOMPARE(theBoard.playerRouteLength, 1);
        QTest::keyClick(picture(), Qt::Key_Return);
        settle();
        QCOMPARE(theBoard.playerRouteLength, 2);
        QTest::keyClick(picture(), Qt::Key_Backspace);
        settle();
        QCOMPARE(theBoard.playerRouteLength, 1);
    }

    void questionMarkAndSlashOpenTheAboutBox_data() {
        QTest::addColumn<char>("typed");
        QTest::addColumn<int>("closing");  // 0 Escape, 1 Enter, 2 OK button, 3 close box
        QTest::newRow("? then Escape") << '?' << 0;
        QTest::newRow("/ then Enter") << '/' << 1;
        QTest::newRow("? then OK") << '?' << 2;
        QTest::newRow("/ then close box") << '/' << 3;
    }

    void questionMarkAndSlashOpenTheAboutBox() {
        QFETCH(char, typed);
        QFETCH(int, closing);
        QString caption;
        QString name;
        Qt::Alignment alignment;
        bool okIsDefault = false;
        bool shown = false;
        onNextModal<QDialog>([&](QDialog* box) {
            shown = true;
            caption = box->windowTitle();
            if (auto* label = box->findChild<QLabel*>()) {
                name = label->text();
                alignment = label->alignment();
            }
            auto* ok = box->findChild<QPushButton*>();
            okIsDefault = ok != nullptr && ok->isDefault() && ok->text() == QLatin1String("OK");
            if (closing == 0) QTest::keyClick(box, Qt::Key_Escape);
            if (closing == 1) QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Return);
            if (closing == 2 && ok != nullptr) ok->click();
            if (closing == 3) box->close();
            if (box->isVisible()) box->reject();  // never leave the loop running
        });
        QTest::keyClick(picture(), typed);
        QVERIFY(shown);
        QCOMPARE(caption, ru(RU("О программе")));
        QCOMPARE(name, QStringLiteral("Orvanta"));
        QVERIFY(alignment.testFlag(Qt::AlignHCenter));
        QVERIFY(okIsDefault);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void gameIsSavedAndOpenedThroughTheRealDialogs() {
        freshCoarseMap();
        leftClickAt(cityPoint(0));  // into Game mode
        QCOMPARE(windowState.mode, AppMode::Game);
        leftClickAt(cityPoint(1));
        QCOMPARE(theBoard.playerRouteLength, 2);
        const Board saved = theBoard;

        QString title;
        const QString proposed = saveThroughDialog(command::saveGame, QStringLiteral("game1"), &title);
        QCOMPARE(title, ru(RU("Сохранить Игру в файл как")));
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("untitled.rvb"));
        QFile file(dir_.filePath(QStringLiteral("game1.rvb")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close();
        QCOMPARE(bytes.size(), 600);
        QCOMPARE(readInt32(bytes, 0), 2);
        QCOMPARE(readInt32(bytes, 4), 31);  // the personal number
        QCOMPARE(readInt32(bytes, 300), 2);
        const QString gameTitle = ru(RU("\"Orvanta\" - Игра ")) + dir_.filePath(QStringLiteral("game1"));
        QCOMPARE(window_->windowTitle(), gameTitle);

        // Another map, then the saved game comes back.
        command(command::gridMedium);
        QCOMPARE(theBoard.gridWidth, 41);
        openThroughDialog(command::openGame, QStringLiteral("game1.rvb"));
        QCOMPARE(windowState.mode, AppMode::Game);
        QCOMPARE(theBoard.gridWidth, 11);
        QCOMPARE(theBoard.cityCount, saved.cityCount);
        for (std::int32_t i = 0; i < saved.cityCount; ++i) {
            QCOMPARE(theBoard.cities[i].x, saved.cities[i].x);
            QCOMPARE(theBoard.cities[i].y, saved.cities[i].y);
        }
        QCOMPARE(theBoard.playerRouteLength, 2);
        QCOMPARE(window_->windowTitle(), gameTitle);

        // Saving over it asks first; "No" keeps the file, and a cancelled save
        // is silent.
        const std::int32_t beeps = qt::beepCount;
        QTest::mouseClick(picture(), Qt::RightButton, Qt::NoModifier, QPoint(cityPoint(2).x, cityPoint(2).y));
        settle();
        QCOMPARE(theBoard.playerRouteLength, 1);
        bool asked = false;
        QString proposedAgain;
        onNextModal<QFileDialog>([&](QFileDialog* dialog) {
            proposedAgain = dialog->selectedFiles().value(0);
            onNextModal<QMessageBox>([&](QMessageBox* box) {
                asked = true;
                box->button(QMessageBox::No)->click();
            });
            chooseFile(dialog, proposedAgain);
            if (dialog->isVisible()) dialog->reject();
        });
        command(command::saveGame);
        QVERIFY(asked);
        QCOMPARE(proposedAgain, dir_.filePath(QStringLiteral("game1.rvb")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        file.close();
        QCOMPARE(qt::beepCount, beeps);

        // "Yes" replaces it.
        asked = false;
        onNextModal<QFileDialog>([&](QFileDialog* dialog) {
            onNextModal<QMessageBox>([&](QMessageBox* box) {
                asked = true;
                box->button(QMessageBox::Yes)->click();
            });
            chooseFile(dialog, dir_.filePath(QStringLiteral("game1.rvb")));
            if (dialog->isVisible()) dialog->reject();
        });
        command(command::saveGame);
        QVERIFY(asked);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray replaced = file.readAll();
        file.close();
        QCOMPARE(replaced.size(), 600);
        QCOMPARE(readInt32(replaced, 300), 1);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files).size(), 1);  // no temporary left behind
    }

    void mapIsSavedAndOpenedWithItsTitle() {
        freshCoarseMap();
        QString title;
        saveThroughDialog(command::saveMap, QStringLiteral("tour"), &title);
        QCOMPARE(title, ru(RU("Сохранить Карту в файл как")));
        QCOMPARE(QFileInfo(dir_.filePath(QStringLiteral("tour.rva"))).size(), 512);
        const QString mapTitle = ru(RU("\"Orvanta\" - Карта ")) + dir_.filePath(QStringLiteral("tour"));
        QCOMPARE(window_->windowTitle(), mapTitle);
        QCOMPARE(windowState.mode, AppMode::Generator);  // saving changes no mode

        QString openTitle;
        QStringList filters;
        bool existingOnly = false;
        onNextModal<QFileDialog>([&](QFileDialog* dialog) {
            openTitle = dialog->windowTitle();
            filters = dialog->nameFilters();
            existingOnly = dialog->fileMode() == QFileDialog::ExistingFile;
            chooseFile(dialog, dir_.filePath(QStringLiteral("tour.rva")));
            if (dialog->isVisible()) dialog->reject();
        });
        command(command::openMap);
        QCOMPARE(openTitle, ru(RU("Открыть Карту из файла")));
        QCOMPARE(filters, QStringList({QStringLiteral("Map Files (*.rva)"), QStringLiteral("Any Files (*)")}));
        QVERIFY(existingOnly);
        QCOMPARE(windowState.mode, AppMode::Game);
        QCOMPARE(window_->windowTitle(), mapTitle);
    }

    void refusedCommandsBeep() {
        // Saving a game outside Game mode beeps and shows no dialog.
        freshCoarseMap();
        const QString title = window_->windowTitle();
        std::int32_t beeps = qt::beepCount;
        bool dialogShown = false;
        QPointer<QTimer> watcher = onNextModal<QFileDialog>([&](QFileDialog* dialog) {
            dialogShown = true;
            dialog->reject();
        });
        command(command::saveGame);
        QCOMPARE(qt::beepCount, beeps + 1);
        QTest::qWait(50);
        QVERIFY(!dialogShown);
        delete watcher.data();

        // An open dialog takes existing files only; giving up on it beeps.
        beeps = qt::beepCount;
        bool warned = false;
        onNextModal<QFileDialog>([&](QFileDialog* dialog) {
            onNextModal<QMessageBox>([&](QMessageBox* box) {
                warned = true;
                box->accept();
            });
            chooseFile(dialog, dir_.filePath(QStringLiteral("missing.rvb")));
            if (dialog->isVisible()) dialog->reject();
        });
        command(command::openGame);
        QVERIFY(warned);
        QCOMPARE(qt::beepCount, beeps + 1);
        QCOMPARE(windowState.mode, AppMode::Generator);
        QCOMPARE(window_->windowTitle(), title);
    }

    void fileServicesOnThisSystem() {
        const std::string target = dir_.filePath(QStringLiteral("services.bin")).toStdString();
        const unsigned char first[] = {1, 2, 3, 4, 5};
        const unsigned char second[] = {9, 8, 7};
        QVERIFY(writeFileReplacing(target.c_str(), first, 5));
        // A new file is never made over an existing one.
        QCOMPARE(platform::createNewFile(target.c_str()), platform::kNoFile);
        QVERIFY(writeFileReplacing(target.c_str(), second, 3));

        unsigned char buffer[8] = {};
        std::int32_t got = -1;
        QVERIFY(platform::readFileStart(target.c_str(), buffer, 2, got));
        QCOMPARE(got, 2);
        QVERIFY(platform::readFileStart(target.c_str(), buffer, 8, got));
        QCOMPARE(got, 3);
        QCOMPARE(std::memcmp(buffer, second, 3), 0);
        QCOMPARE(QDir(dir_.path()).entryList({QStringLiteral("services.bin*")}, QDir::Files),
                 QStringList({QStringLiteral("services.bin")}));

        // Missing files, folders and folders that do not exist all fail.
        got = -1;
        QVERIFY(!platform::readFileStart(dir_.filePath(QStringLiteral("none")).toStdString().c_str(), buffer, 8, got));
        QCOMPARE(got, 0);
        QVERIFY(!platform::readFileStart(dir_.path().toStdString().c_str(), buffer, 8, got));
        const std::string nowhere = dir_.filePath(QStringLiteral("no/such/folder/file.rva")).toStdString();
        QVERIFY(!writeFileReplacing(nowhere.c_str(), first, 5));
        QVERIFY(!platform::shellOpen(dir_.filePath(QStringLiteral("none.txt")).toStdString().c_str()));

        // The program's own directory is that of the running executable.
        const QString own = QCoreApplication::applicationDirPath() + QLatin1Char('/');
        QCOMPARE(ru(programDirectory()), own);

        // A build folder is the user's to write; a missing folder is not.
        QVERIFY(platform::canWriteDirectory(programDirectory()));
        QVERIFY(!platform::canWriteDirectory(dir_.filePath(QStringLiteral("none/")).toStdString().c_str()));
        // Nor is a system-wide installation's, also not to the superuser.
        QVERIFY(!platform::canWriteDirectory("/usr/lib/"));
    }

    // The folder for the user's own copy of "user.txt": $XDG_CONFIG_HOME/orvanta/,
    // or ~/.config/orvanta/ when that is unset or relative; made only when asked.
    // A name the code page cannot spell still leads to the real folder.
    void userConfigDirectoryFollowsTheEnvironment() {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        const QString config = dir_.filePath(QString::fromUtf8("настройки 設定"));
        char folder[1024];
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        const std::int32_t length = platform::userConfigDirectory(folder, sizeof folder, false);
        QCOMPARE(qt::realPath(folder), config + QStringLiteral("/orvanta/"));
        QCOMPARE(length, static_cast<std::int32_t>(std::strlen(folder)));
        QVERIFY(!QFileInfo::exists(config));
        QCOMPARE(platform::userConfigDirectory(folder, sizeof folder, true), length);
        QVERIFY(QFileInfo(config + QStringLiteral("/orvanta")).isDir());
        QCOMPARE(platform::userConfigDirectory(folder, length, false), 0);
        QCOMPARE(folder[0], '\0');

        for (const char* value : {"", "relative/config"}) {
            qputenv("XDG_CONFIG_HOME", value);
            QVERIFY(platform::userConfigDirectory(folder, sizeof folder, false) > 0);
            QCOMPARE(ru(folder), QDir::homePath() + QStringLiteral("/.config/orvanta/"));
        }
        if (wasSet)
            qputenv("XDG_CONFIG_HOME", saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    // The language chosen in the Help menu: menus and dialogs in it at once,
    // the game untouched, and the choice kept in the configuration folder for
    // the next start, where it wins over the locale.
    void languageIsChosenFromTheMenuAndRemembered() {
        const QString config = dir_.filePath(QStringLiteral("language-config"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        const std::int32_t english = text::languageOfCode("en");
        freshCoarseMap();
        command(command::startGame);
        leftClickAt(cityPoint(1));
        const std::int32_t routeLength = theBoard.playerRouteLength;
        QCOMPARE(routeLength, 2);

        command(command::languageFirst + english);
        QCOMPARE(text::currentLanguage(), english);
        QCOMPARE(window_->menuBar()->actions().value(0)->text(), QStringLiteral("&File"));
        QAction* chosen = window_->actionFor(command::languageFirst + english);
        QVERIFY(chosen != nullptr && chosen->isChecked());
        QCOMPARE(chosen->text(), QStringLiteral("&English"));
        QCOMPARE(window_->actionFor(command::languageFirst)->text(), ru(RU("&Русский")));
        QVERIFY(!window_->actionFor(command::languageFirst)->isChecked());
        QCOMPARE(theBoard.playerRouteLength, routeLength);
        QCOMPARE(windowState.mode, AppMode::Game);
        QFile kept(config + QStringLiteral("/orvanta/language.txt"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("en\n"));
        kept.close();
        QString title;
        saveThroughDialog(command::saveGame, QStringLiteral("english.rvb"), &title);
        QCOMPARE(title, QStringLiteral("Save Game to File As"));
        QVERIFY(window_->windowTitle().contains(QStringLiteral(" - Game ")));

        // The next start, under this Russian locale, comes in English.
        text::setLanguage(text::kSourceLanguage);
        qt::chooseStartLanguage();
        QCOMPARE(text::currentLanguage(), english);

        command(command::languageFirst);
        QCOMPARE(window_->menuBar()->actions().value(0)->text(), ru(RU("&Файл")));
        QVERIFY(window_->windowTitle().contains(ru(RU(" - Игра "))));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("ru\n"));
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Names the code page cannot spell: a folder in Chinese, a file with an
    // umlaut. They are saved and opened under their real names, and the title
    // shows them.
    void pathsOutsideTheCodePage() {
        const QString folder = dir_.filePath(QString::fromUtf8("中文"));
        QVERIFY(QDir().mkpath(folder));
        const QString umlaut = folder + QString::fromUtf8("/ü");
        freshCoarseMap();
        const Board saved = theBoard;
        saveThroughDialog(command::saveMap, QString::fromUtf8("中文/ü.rva"));
        QCOMPARE(QFileInfo(umlaut + QStringLiteral(".rva")).size(), 512);
        const QString mapTitle = ru(RU("\"Orvanta\" - Карта ")) + umlaut;
        QCOMPARE(window_->windowTitle(), mapTitle);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({QString::fromUtf8("ü.rva")}));

        // The next save proposes the real name; a plain name typed then lands in
        // the dialog's folder, the current one.
        QString proposed;
        onNextModal<QFileDialog>([&](QFileDialog* dialog) {
            proposed = dialog->selectedFiles().value(0);
            chooseFile(dialog, QStringLiteral("plain"));
            if (dialog->isVisible()) dialog->reject();
        });
        command(command::saveMap);
        QCOMPARE(proposed, umlaut + QStringLiteral(".rva"));
        QCOMPARE(QFileInfo(folder + QStringLiteral("/plain.rva")).size(), 512);
        QCOMPARE(QDir::currentPath(), folder);

        command(command::gridMedium);
        openThroughDialog(command::openMap, QString::fromUtf8("中文/ü.rva"));
        QCOMPARE(windowState.mode, AppMode::Game);
        QCOMPARE(theBoard.gridWidth, 11);
        QCOMPARE(theBoard.cityCount, saved.cityCount);
        QCOMPARE(theBoard.cities[1].x, saved.cities[1].x);
        QCOMPARE(window_->windowTitle(), mapTitle);

        // The program's own folder under such a name: a document beside the
        // program is read from there (the real executable is tried so under Xvfb).
        QFile user(folder + QStringLiteral("/user.txt"));
        QVERIFY(user.open(QIODevice::WriteOnly));
        user.write("  77\n");
        user.close();
        const std::string program = qt::narrowPath(folder + QStringLiteral("/orvanta"), qt::PathSource::Program);
        const std::string userFile = program.substr(0, program.rfind('/') + 1) + "user.txt";
        char text[8] = {};
        std::int32_t got = 0;
        QVERIFY(platform::readFileStart(userFile.c_str(), reinterpret_cast<unsigned char*>(text), 8, got));
        QCOMPARE(parsePersonalNumber(text, got), 77);
        qt::forgetPaths();
    }

    void pictureFollowsAResize() {
        freshCoarseMap();
        window_->resize(900, 700);
        QTRY_COMPARE(picture()->width(), 900);
        const QImage shot = screen();
        QCOMPARE(shot.size(), picture()->size());
        QCOMPARE(thePicture.pictureWidth, picture()->width());
        QCOMPARE(thePicture.pictureHeight, picture()->height());
        // Start city filled, the others hollow violet squares on the grey.
        const WindowPoint start = cityPoint(0);
        QCOMPARE(shot.pixel(start.x, start.y), rgb(colours::visited));
        for (std::int32_t i = 1; i < theBoard.cityCount; ++i) {
            const WindowPoint p = cityPoint(i);
            QCOMPARE(shot.pixel(p.x - 2, p.y), rgb(colours::marker));
            QCOMPARE(shot.pixel(p.x + 2, p.y + 2), rgb(colours::marker));
            QCOMPARE(shot.pixel(p.x, p.y), rgb(colours::background));
        }
        // The frame 6 pixels outside the board.
        const BoardLayout l = layout();
        QCOMPARE(shot.pixel(l.originX - 6, (l.originY + l.farY) / 2), rgb(colours::frame));
        window_->resize(640, 480);
    }

    // The longest counts of a row board stay in their cells, left of the
    // board's frame, in the window's first size.
    void rowSpectrumCountsStayInTheirCells() {
        if (!isProfi()) QSKIP("only the Profi edition lists the spectrum");
        window_->resize(640, 480);
        QTRY_COMPARE(picture()->width(), 640);
        windowState.mode = AppMode::Generator;
        theBoard = test::rowWithLongCounts();
        requestRepaint();
        settle();
        const FrameLayout frameLayout =
            layoutFrameAtScale(theBoard, thePicture.pictureWidth, thePicture.pictureHeight, qt::pictureScale());
        const test::CountPixels pixels = test::countPixels(thePicture, frameLayout);
        QVERIFY2(pixels.inCells > 100, qPrintable(QString::number(pixels.inCells)));
        QCOMPARE(pixels.pastCells, 0);
        command(command::generator);
    }

    // At any screen scale (run at 1.25, 1.5 and 1.75 too) the picture is shown
    // in device pixels: every marker is the same odd-sided square, centred on
    // its grid point.
    void markersAreWholeSquaresAtTheScreenScale() {
        freshCoarseMap();
        settle();
        const QImage shot = picture()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const qreal scale = picture()->devicePixelRatioF();
        QCOMPARE(shot.width(), thePicture.pictureWidth);
        const BoardLayout board = layoutBoard(theBoard, thePicture.pictureWidth, thePicture.pictureHeight);
        const auto isMarker = [&](int x, int y) {
            const QRgb p = shot.pixel(x, y) & 0xFFFFFF;
            return p == (rgb(colours::marker) & 0xFFFFFF) || p == (rgb(colours::visited) & 0xFFFFFF);
        };
        int side = 0;
        for (std::int32_t i = 0; i < theBoard.cityCount; ++i) {
            const WindowPoint p = gridToWindow(board, theBoard.cities[i].x, theBoard.cities[i].y);
            // The marker's pixels near the point (the coarse grid's points lie
            // far further apart).
            int left = p.x, right = p.x, top = p.y, bottom = p.y;
            for (int y = std::max(0, p.y - 12); y <= std::min(shot.height() - 1, p.y + 12); ++y)
                for (int x = std::max(0, p.x - 12); x <= std::min(shot.width() - 1, p.x + 12); ++x)
                    if (isMarker(x, y)) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
            const int width = right - left + 1, height = bottom - top + 1;
            QVERIFY2(width == height && p.x - left == right - p.x && p.y - top == bottom - p.y,
                     qPrintable(QStringLiteral("city %1: %2 x %3 around (%4, %5)").arg(i).arg(width).arg(height)
                                    .arg(p.x - left).arg(p.y - top)));
            if (side == 0) side = width;
            QCOMPARE(width, side);
        }
        QVERIFY2(side % 2 == 1 && side >= 5 * scale - 1 && side <= 5 * scale + 1, qPrintable(QString::number(side)));
    }

    // Last: the Exit item closes the window.
    // Late: the map opened from a code names the document.
    void mapCodeTravelsThroughTheClipboardAndTheOpenDialog() {
        freshCoarseMap();
        const Board shared = theBoard;
        QString shown;
        onNextModal<QDialog>([&](QDialog* box) {
            auto* text = box->findChild<QLineEdit*>(QStringLiteral("sharedText"));
            auto* copy = box->findChild<QPushButton*>(QStringLiteral("copyButton"));
            if (text != nullptr && copy != nullptr) {
                shown = text->text();
                copy->click();
            }
            box->reject();
        });
        command(command::shareMap);
        QVERIFY(!shown.isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), shown);

        // Another map, then the code pasted into the open dialog: first cut by
        // one character, which is refused and asked for again with the reason.
        command(command::gridFine);
        QCOMPARE(theBoard.gridWidth, 10000);
        QString reason;
        onNextModal<QDialog>([&](QDialog* box) {
            auto* entry = box->findChild<QLineEdit*>(QStringLiteral("mapCodeEntry"));
            if (entry != nullptr) {
                entry->setFocus();
                QTest::keySequence(entry, QKeySequence::Paste);
                QTest::keyClick(entry, Qt::Key_Backspace);
                onNextModal<QDialog>([&](QDialog* again) {
                    auto* message = again->findChild<QLabel*>(QStringLiteral("mapCodeMessage"));
                    auto* paste = again->findChild<QPushButton*>(QStringLiteral("pasteButton"));
                    auto* open = again->findChild<QPushButton*>(QStringLiteral("openButton"));
                    if (message != nullptr) reason = message->text();
                    if (paste != nullptr && open != nullptr) {
                        paste->click();
                        open->click();
                    }
                    if (again->isVisible()) again->reject();
                });
                QTest::keyClick(entry, Qt::Key_Return);
            }
            if (box->isVisible()) box->reject();
        });
        command(command::openMapCode);
        QCOMPARE(reason, ru(RU("Код карты искажён или обрезан: проверьте, что он передан целиком и без опечаток.")));
        QCOMPARE(windowState.mode, AppMode::Game);
        QCOMPARE(theBoard.solved, 0);
        QCOMPARE(theBoard.gridWidth, shared.gridWidth);
        QCOMPARE(theBoard.cityCount, shared.cityCount);
        for (std::int32_t i = 0; i < shared.cityCount; ++i) {
            QCOMPARE(theBoard.cities[i].x, shared.cities[i].x);
            QCOMPARE(theBoard.cities[i].y, shared.cities[i].y);
        }
        QVERIFY(window_->windowTitle().endsWith(shown.left(10)));
    }

    void exitClosesTheWindow() {
        QVERIFY(window_->isVisible());
        window_->actionFor(command::exitProgram)->trigger();
        QVERIFY(!window_->isVisible());
    }

    void cleanupTestCase() { window_.reset(); }
};

QTEST_MAIN(FrontEndTest)
#include "front_end_test.moc"
