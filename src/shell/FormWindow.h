#pragma once

#include <QWidget>

class QMenuBar;

namespace zampli {

class Form;
class DesignCanvas;

// The top-level window of a loaded form: an optional menu bar of its own
// over the design canvas. It lives from load to unload.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    FormWindow(Form &form, QSize designTwips, bool withMenuBar);

    DesignCanvas *canvas() const { return canvas_; }
    QMenuBar *menuBar() const { return menuBar_; }

    // Sets the first size: a comfortable share of the screen.
    void sizeToScreen();
    // Closes without asking the form (the program itself unloads it).
    void unload();
    void toggleFullScreen();

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    Form &form_;
    DesignCanvas *canvas_ = nullptr;
    QMenuBar *menuBar_ = nullptr;
    bool unloading_ = false;
};

} // namespace zampli
