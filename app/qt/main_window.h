// The Qt front end's one top-level window: the menu bar over a client area
// that shows the off-screen picture, and the input that goes to the controller.
#pragma once

#include <QMainWindow>
#include <QWidget>

#include <cstdint>

class QAction;
class QTimer;

namespace orvanta::qt {

// The client area. It owns no drawing of its own: every paint hands the
// client size to paintWindow and copies the picture it returns, so nothing is
// erased first and a resize never flickers.
class PictureWidget : public QWidget {
    Q_OBJECT

public:
    explicit PictureWidget(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow();
    ~MainWindow() override;

    PictureWidget* pictureWidget() const { return picture_; }

    // The menu item that delivers a command, or null for an unknown id.
    QAction* actionFor(int commandId) const;

    // Brings the picture up to date at once (the first map is made here at
    // start-up) and schedules its copy to the screen.
    void paintNow();

    // The window's outer size, frame included, where the platform reports
    // the frame; the client size where it does not.
    QSize outerSize() const;

    // Builds the menu bar again from the menu table, in the language in use.
    void rebuildMenus();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void buildMenus();
    void fitFrameIntoInitialSize();

    PictureWidget* picture_;
    QTimer* clockTimer_;
    // Set once the frame has been taken into the initial size (or the user
    // has resized the window before the frame was known).
    bool initialSizeFitted_ = false;
};

// The window created by main (or by a test); null before and after.
MainWindow* mainWindow();

// The owner of modal dialogs: the main window, or null without one.
QWidget* dialogOwner();

// The Windows virtual-key code for a Qt key, or 0 for keys the program ignores.
int virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

// The command of a typed text that is one of the character keys of the menu
// table ('?' and '/' for the About box), or 0.
int commandOfTyped(const QString& typed);

// Refusal beeps sounded since the start (the only trace a beep leaves).
extern std::int32_t beepCount;

}  // namespace orvanta::qt
