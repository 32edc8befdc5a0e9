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

#include <bitset>

#include "app/command_ids.h"
#include "app/frame.h"
#include "app/front_end.h"
#include "app/qt/picture_services.h"
#include "app/qt/qt_text.h"
#include "core/text1251.h"

namespace orvanta::qt {

namespace {

MainWindow* theWindow = nullptr;

// The keys whose press reached the window, by virtual-key code. A key acts on
// its release only if its press did too: an Esc that closed a menu, the About
// box or a file dialog was pressed there, and its release alone must not stop
// a solve. Forgotten when a menu opens or a dialog blocks the window, so a
// press whose release went elsewhere cannot linger. (Not on every loss of the
// focus: a window manager may take it away for a moment between a press and
// its release.)
std::bitset<256> keysPressedHere;

// Whether the last mouse press reached the picture. Qt hands the second press
// of a double click over as a double click, wherever the first went: a double
// click on a dialog's button or on a menu item closes it with the first click
// and sends the second to the board beneath. That second press acts only if
// the first reached the picture too. Forgotten, like the keys, when a menu
// opens or a dialog blocks the window.
bool lastPressHere = false;

void forgetPressesHere() {
    keysPressedHere.reset();
    lastPressHere = false;
}

constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 480;

}  // namespace

std::int32_t beepCount = 0;

MainWindow* mainWindow() { return theWindow; }

QWidget* dialogOwner() { return theWindow; }

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
    case Qt::Key_Return:
    case Qt::Key_Enter:  // the keypad's
        return key::enter;
    case Qt::Key_Delete:
        return key::deleteKey;
    case Qt::Key_Backspace:
        return key::backspace;
    case Qt::Key_PageUp:
        return key::pageUp;
    case Qt::Key_PageDown:
        return key::pageDown;
    default:
        return 0;
    }
}

int commandOfTyped(const QString& typed) {
    if (typed.size() != 1 || typed[0].unicode() >= 0x80) return 0;
    return commandOfCharacter(static_cast<char>(typed[0].unicode()));
}

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
    // Every pixel comes from the picture: no background fill, no erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
}

namespace {

// The desktops' layout at the screen's scale: the picture counts device pixels.
FrameLayout layoutAtScreenScale(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight) {
    return layoutFrameAtScale(board, clientWidth, clientHeight, pictureScale());
}

// The picture is drawn in device pixels and shown one to one: at a scale of
// 1.5 a scaled-up picture would give markers of 7 and 8 pixels and soft text.
const OffscreenPicture* paintAtScreenScale(const QWidget& widget) {
    const qreal scale = widget.devicePixelRatioF();
    setPictureScale(scale);
    return paintWindow(qRound(widget.width() * scale), qRound(widget.height() * scale), layoutAtScreenScale);
}

}  // namespace

void PictureWidget::paintEvent(QPaintEvent* /*event*/) {
    const qreal scale = devicePixelRatioF();
    const OffscreenPicture* picture = paintAtScreenScale(*this);
    if (picture == nullptr || picture->store == nullptr) return;
    // The picture's own pixel ratio stays 1: the texts are drawn into it in
    // its pixels.
    const QImage& image = picture->store->image;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(image.size()) / scale), image);
}

void PictureWidget::mousePressEvent(QMouseEvent* event) {
    // In the picture's device pixels.
    const QPoint at = (event->position() * devicePixelRatioF()).toPoint();
    if (event->button() == Qt::LeftButton) {
        recordClick(MouseButton::Left, at.x(), at.y());
    } else if (event->button() == Qt::RightButton) {
        recordClick(MouseButton::Right, at.x(), at.y());
    } else {
        event->ignore();
        return;
    }
    lastPressHere = true;
}

void PictureWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (lastPressHere) mousePressEvent(event);
}

void PictureWidget::focusOutEvent(QFocusEvent* event) {
    if (event->reason() == Qt::PopupFocusReason) forgetPressesHere();
    QWidget::focusOutEvent(event);
}

MainWindow::MainWindow() : picture_(new PictureWidget(this)), clockTimer_(new QTimer(this)) {
    theWindow = this;
    setWindowTitle(fromCp1251(baseWindowTitle()));
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
    case QEvent::WindowBlocked:
        forgetPressesHere();
        break;
    default:
        break;
    }
    return handled;
}

MainWindow::~MainWindow() {
    if (theWindow == this) theWindow = nullptr;
}

void MainWindow::rebuildMenus() {
    // The old menus go once the event loop returns: the item that chose the
    // language may still be delivering its signal.
    const QList<QMenu*> old = menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    menuBar()->clear();
    for (QMenu* menu : old) menu->deleteLater();
    buildMenus();
}

void MainWindow::buildMenus() {
    for (std::int32_t m = 0; m < kMenuCount; ++m) {
        QMenu* menu = menuBar()->addMenu(fromCp1251(shownCaption(kMenuBar[m])));
        for (std::int32_t i = 0; i < kMenuBar[m].itemCount; ++i) {
            const MenuItem& item = kMenuBar[m].items[i];
            if (item.caption == nullptr) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(fromCp1251(shownCaption(item)));
            const int id = item.commandId;
            action->setData(id);
            if (isCheckedItem(item)) {
                action->setCheckable(true);
                action->setChecked(true);
            }
            connect(action, &QAction::triggered, this, [id] { handleCommand(id); });
        }
    }
}

QAction* MainWindow::actionFor(int commandId) const {
    // The menus on the bar now, not those a change of language left to be deleted.
    for (const QAction* menuAction : menuBar()->actions()) {
        if (menuAction->menu() == nullptr) continue;
        for (QAction* action : menuAction->menu()->actions())
            if (!action->isSeparator() && action->data().toInt() == commandId) return action;
    }
    return nullptr;
}

void MainWindow::paintNow() {
    paintAtScreenScale(*picture_);
    picture_->update();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // '?' and '/' act on the typed character, whichever key produced it.
    if (const int commandId = commandOfTyped(event->text()); commandId != 0) {
        handleCommand(commandId);
        return;
    }
    const int virtualKey = virtualKeyOf(event->key(), event->modifiers());
    if (virtualKey != 0) keysPressedHere.set(static_cast<std::size_t>(virtualKey));
    QMainWindow::keyPressEvent(event);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    const int virtualKey = virtualKeyOf(event->key(), event->modifiers());
    if (virtualKey == 0) {
        QMainWindow::keyReleaseEvent(event);
        return;
    }
    if (!keysPressedHere.test(static_cast<std::size_t>(virtualKey))) return;
    keysPressedHere.reset(static_cast<std::size_t>(virtualKey));
    handleKeyRelease(virtualKey);
}

}  // namespace orvanta::qt
