// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form.h"

#include "shell/DesignCanvas.h"
#include "shell/Diagnostics.h"
#include "state/MessageBoxes.h"

#include <QMenuBar>

namespace zampli {

Form::Form(Windows &w, ActivationTracker &activation, bool &keyboardInUse, ScreenMode &screen, const QString &name,
           QSize designTwips, QColor designBackground)
    : windows(w), activation_(activation), keyboardInUse_(keyboardInUse), screen_(screen), name_(name),
      design_(designTwips), designBackground_(designBackground)
{
    setObjectName(name);
}

Form::~Form()
{
    // Close and delete now: the window must not outlive the form it calls.
    if (FormWindow *w = window_) {
        w->unload();
        delete w;
    }
}

DesignCanvas *Form::canvas() const
{
    return window_ ? window_->canvas() : nullptr;
}

void Form::load()
{
    window_ = new FormWindow(*this, design_, hasMenuBar(), screen_);
    window_->setObjectName(name_);
    window_->setWindowTitle(kProgramTitle);
    window_->canvas()->setBackground(designBackground_);
    if (window_->menuBar())
        buildMenuBar(*window_->menuBar());
    buildControls(*window_->canvas());
    window_->setKeyboard(keyOrder(), keyboardInUse_);
    window_->sizeToScreen();
    Form_Load();
}

void Form::Show()
{
    if (!window_)
        load();
    screen_.adopt(*window_);
    window_->show();
    window_->raise();
    window_->activateWindow();
    // Showing counts as becoming the active window, whether or not the
    // window system hands over the focus at once.
    activation_.activated(*this);
}

void Form::Unload()
{
    if (window_)
        window_->unload();
}

void Form::windowClosed()
{
    qCDebug(lcWindows) << name_ << "closed";
    window_ = nullptr; // the window deletes itself, with every control on it
    activation_.unloaded(*this);
}

void Form::windowActivated()
{
    qCDebug(lcWindows) << name_ << "active";
    activation_.activated(*this);
}

} // namespace zampli
