#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QSize>

#include "shell/FormWindow.h"

class QMenuBar;

namespace zampli {

class Modulo1;
class DesignCanvas;
class Windows;

// One window kind of the program. The object lives for the whole run and
// keeps the window's own variables; its controls exist only while the window
// is loaded, and come back in their design state each time it is shown anew.
class Form : public QObject {
    Q_OBJECT
public:
    Form(Windows &w, const QString &name, QSize designTwips, QColor designBackground);
    ~Form() override;

    bool isLoaded() const { return window_ != nullptr; }
    FormWindow *window() const { return window_; }
    DesignCanvas *canvas() const;

    // Loads the window if needed, shows it not modal and brings it forward.
    void Show();
    // Closes the window and discards its controls.
    void Unload();

    // Called by the activation tracker only.
    void runActivation() { Form_Activate(); }
    // The window's close button: true lets the window close now; a window
    // that asks first says false and unloads itself on the answer.
    virtual bool closeRequested() { return true; }

protected:
    Windows &windows;
    Modulo1 &m;

    virtual void buildControls(DesignCanvas &canvas) = 0;
    virtual void buildMenuBar(QMenuBar &) {}
    virtual bool hasMenuBar() const { return false; }
    virtual void Form_Load() {}
    virtual void Form_Activate() {}

private:
    friend class FormWindow;
    void load();
    void windowClosed();
    void windowActivated();

    QString name_;
    QSize design_;
    QColor designBackground_;
    QPointer<FormWindow> window_;
};

} // namespace zampli
