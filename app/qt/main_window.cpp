#include "app/qt/main_window.h"

#include <QAction>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include "app/command_ids.h"
#include "app/front_end.h"
#include "app/qt/picture_services.h"
#include "app/qt/qt_text.h"
#include "core/text1251.h"

namespace orvanta::qt {

namespace {

MainWindow* theWindow = nullptr;

// One row of the menu bar: a drop-down menu's caption starts a new menu, an
// item carries its command id, and a row with neither is a separator.
struct MenuRow {
    const char* menuCaption;
    const char* itemCaption;
    int commandId;
};

constexpr auto kMenuFile = RU("&Файл");
constexpr auto kOpenMap = RU("&Открыть Карту...");
constexpr auto kSaveMap = RU("&Сохранить как...");
constexpr auto kExit = RU("В&ыход");
constexpr auto kMenuGenerator = RU("&Генератор");
constexpr auto kGenerator = RU("&Генератор");
constexpr auto kGridCoarse = RU("Сетка Грубо");
constexpr auto kGridMedium = RU("Сетка Средне");
constexpr auto kGridFine = RU("Сетка Точно");
constexpr auto kMenuEditor = RU("&Редактор");
constexpr auto kEditMap = RU("&Править Карту");
constexpr auto kEraseAll = RU("&Стереть все");
constexpr auto kMenuGame = RU("&Игра");
constexpr auto kStartGame = RU("&Начать Игру");
constexpr auto kOpenGame = RU("&Открыть Игру...");
constexpr auto kSaveGame = RU("&Сохранить как...");
constexpr auto kMenuHelp = RU("&? Помощь");
constexpr auto kShowSolution = RU("&Показать Решение ЗК");
constexpr auto kReadManual = RU("&Читать Руководство...");
constexpr auto kAbout = RU("&О программе...");
constexpr auto kPersonalNumber = RU("&Личный номер...");

const MenuRow kMenuRows[] = {
    {kMenuFile, nullptr, 0},
    {nullptr, kOpenMap, command::openMap},
    {nullptr, kSaveMap, command::saveMap},
    {nullptr, nullptr, 0},
    {nullptr, kExit, command::exitProgram},
    {kMenuGenerator, nullptr, 0},
    {nullptr, kGenerator, command::generator},
    {nullptr, nullptr, 0},
    {nullptr, kGridCoarse, command::gridCoarse},
    {nullptr, kGridMedium, command::gridMedium},
    {nullptr, kGridFine, command::gridFine},
    {kMenuEditor, nullptr, 0},
    {nullptr, kEditMap, command::editMap},
    {nullptr, nullptr, 0},
    {nullptr, kEraseAll, command::eraseAll},
    {kMenuGame, nullptr, 0},
    {nullptr, kStartGame, command::startGame},
    {nullptr, nullptr, 0},
    {nullptr, kOpenGame, command::openGame},
    {nullptr, kSaveGame, command::saveGame},
    {kMenuHelp, nullptr, 0},
    {nullptr, kShowSolution, command::showSolution},
    {nullptr, nullptr, 0},
    {nullptr, kReadManual, command::readManual},
    {nullptr, kAbout, command::about},
    {nullptr, kPersonalNumber, command::personalNumber},
};

constexpr auto kBaseTitle = RU("\"Orvanta\"");

constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 480;

}  // namespace

std::int32_t beepCount = 0;

MainWindow* mainWindow() { return theWindow; }

QWidget* dialogOwner() { return theWindow; }

const char* baseTitleText() { return kBaseTitle; }

int virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
    switch (qtKey) {
    case Qt::Key_Plus:
        return modifiers.testFlag(Qt::KeypadModifier) ? key::add : key::oemPlus;
    case Qt::Key_Equal:  // the same key as '+' on the main keyboard, unshifted
        return key::oemPlus;
    case Qt::Key_Space:
        return key::space;
    case Qt::Key_Escape:
        return key::escape;
    case Qt::Key_Left:
        return key::left;
    case Qt::Key_Up:
        return key::up;
    case Qt::Key_Right:
        return key::right;
    case Qt::Key_Down:
        return key::down;
    default:
        return 0;
    }
}

bool isAboutAccelerator(const QString& typed) {
    return typed == QLatin1String("?") || typed == QLatin1String("/");
}

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
    // Every pixel comes from the picture: no background fill, no erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureWidget::paintEvent(QPaintEvent* /*event*/) {
    const OffscreenPicture* picture = paintWindow(width(), height());
    if (picture == nullptr || picture->store == nullptr) return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, picture->store->image);
}

void PictureWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        recordClick(MouseButton::Left, at.x(), at.y());
    } else if (event->button() == Qt::RightButton) {
        recordClick(MouseButton::Right, at.x(), at.y());
    } else {
        event->ignore();
    }
}

MainWindow::MainWindow() : picture_(new PictureWidget(this)), clockTimer_(new QTimer(this)) {
    theWindow = this;
    setWindowTitle(fromCp1251(kBaseTitle));
    setWindowIcon(QIcon(QStringLiteral(":/orvanta/orvanta.png")));
    setCentralWidget(picture_);
    buildMenus();
    // The client size until the frame is known (see fitFrameIntoInitialSize).
    resize(kInitialWidth, kInitialHeight);
    picture_->setFocus();

    // The game line's clock ticks while the window can be seen; a hidden or
    // minimised window catches up at its next repaint.
    connect(clockTimer_, &QTimer::timeout, this, [this] {
        if (isVisible() && !isMinimized()) tickGameClock();
    });
    clockTimer_->start(kClockCheckMilliseconds);
}

QSize MainWindow::outerSize() const { return frameGeometry().size(); }

// The window opens 640 by 480 outside, frame included. Under X11 the window
// manager reports its frame only once it has framed the window, after the
// window was shown; the window is then made smaller by the frame, once.
// Where no frame is reported (no window manager, some Wayland compositors)
// the client area keeps 640 by 480.
void MainWindow::fitFrameIntoInitialSize() {
    if (initialSizeFitted_ || windowHandle() == nullptr || !isVisible()) return;
    if (size() != QSize(kInitialWidth, kInitialHeight)) {
        initialSizeFitted_ = true;  // resized by someone else: leave it
        return;
    }
    const QMargins frame = windowHandle()->frameMargins();
    if (frame.isNull()) return;
    initialSizeFitted_ = true;
    resize(kInitialWidth - frame.left() - frame.right(), kInitialHeight - frame.top() - frame.bottom());
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        fitFrameIntoInitialSize();
        break;
    default:
        break;
    }
    return handled;
}

MainWindow::~MainWindow() {
    if (theWindow == this) theWindow = nullptr;
}

void MainWindow::buildMenus() {
    QMenu* menu = nullptr;
    for (const MenuRow& row : kMenuRows) {
        if (row.menuCaption != nullptr) {
            menu = menuBar()->addMenu(fromCp1251(row.menuCaption));
        } else if (row.itemCaption == nullptr) {
            menu->addSeparator();
        } else {
            QAction* action = menu->addAction(fromCp1251(row.itemCaption));
            const int id = row.commandId;
            action->setData(id);
            connect(action, &QAction::triggered, this, [id] { handleCommand(id); });
        }
    }
}

QAction* MainWindow::actionFor(int commandId) const {
    for (QAction* action : menuBar()->findChildren<QAction*>()) {
        if (!action->isSeparator() && action->menu() == nullptr && action->data().toInt() == commandId)
            return action;
    }
    return nullptr;
}

void MainWindow::paintNow() {
    paintWindow(picture_->width(), picture_->height());
    picture_->update();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // '?' and '/' act on the typed character, whichever key produced it.
    if (isAboutAccelerator(event->text())) {
        handleCommand(command::about);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    const int virtualKey = virtualKeyOf(event->key(), event->modifiers());
    if (virtualKey == 0) {
        QMainWindow::keyReleaseEvent(event);
        return;
    }
    handleKeyRelease(virtualKey);
}

}  // namespace orvanta::qt
