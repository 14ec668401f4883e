// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/KeyboardFocus.h"

#include <QWidget>

class QMenuBar;

namespace zampli {

class DesignCanvas;
class ScreenMode;

// What a window tells the one who loaded it.
class FormWindowOwner {
public:
    virtual void windowActivated() = 0;
    // The window's close button: true lets the window close now; an owner
    // that asks first says false and unloads the window on the answer.
    virtual bool closeRequested() = 0;
    virtual void windowClosed() = 0;
    // Escape that no control and no menu took; true when the owner answered it.
    virtual bool escapePressed() = 0;

protected:
    ~FormWindowOwner() = default;
};

// The top-level window of a loaded form: an optional menu bar of its own
// over the design canvas. It lives from load to unload.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    // F11 switches `screen` over, for this window and the whole program.
    FormWindow(FormWindowOwner &owner, QSize designTwips, bool withMenuBar, ScreenMode &screen);

    DesignCanvas *canvas() const { return canvas_; }
    QMenuBar *menuBar() const { return menuBar_; }

    // Sets the first size: a comfortable share of the screen.
    void sizeToScreen();
    // Closes without asking the owner (the program itself unloads it).
    void unload();
    // How the keyboard goes round the controls, once they are all placed.
    void setKeyboard(KeyOrder order, bool &keyboardInUse);

protected:
    bool event(QEvent *e) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    FormWindowOwner &owner_;
    DesignCanvas *canvas_ = nullptr;
    QMenuBar *menuBar_ = nullptr;
    KeyboardFocus *keyboard_ = nullptr;
    bool unloading_ = false;
};

} // namespace zampli
