// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/ActivationTracker.h"
#include "shell/FormWindow.h"
#include "shell/ScreenMode.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QSize>

class QMenuBar;

namespace zampli {

class DesignCanvas;
class Windows;

// One window kind of the program. The object lives for the whole run and
// keeps the window's own variables; its controls exist only while the window
// is loaded, and come back in their design state each time it is shown anew.
class Form : public QObject, public Activatable, private FormWindowOwner {
    Q_OBJECT
public:
    // `keyboardInUse` and `screen` are the program's: whether its windows show
    // the focus frame, and whether they fill the screen.
    Form(Windows &w, ActivationTracker &activation, bool &keyboardInUse, ScreenMode &screen, const QString &name,
         QSize designTwips, QColor designBackground);
    ~Form() override;

    bool isLoaded() const { return window_ != nullptr; }
    FormWindow *window() const { return window_; }
    DesignCanvas *canvas() const;

    // Loads the window if needed, shows it not modal and brings it forward.
    void Show();
    // Closes the window and discards its controls.
    void Unload();

    void runActivation() override { Form_Activate(); }
    bool closeRequested() override { return true; }
    bool escapePressed() override { return false; }

protected:
    Windows &windows;

    virtual void buildControls(DesignCanvas &canvas) = 0;
    virtual void buildMenuBar(QMenuBar &) {}
    virtual bool hasMenuBar() const { return false; }
    virtual KeyOrder keyOrder() const { return KeyOrder::Design; }
    virtual void Form_Load() {}
    virtual void Form_Activate() {}

private:
    void load();
    void windowClosed() override;
    void windowActivated() override;

    ActivationTracker &activation_;
    bool &keyboardInUse_;
    ScreenMode &screen_;
    QString name_;
    QSize design_;
    QColor designBackground_;
    QPointer<FormWindow> window_;
};

} // namespace zampli
