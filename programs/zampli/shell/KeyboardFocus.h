// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace zampli {

class DesignCanvas;

// How Tab and the arrow keys go round a window's controls: not at all (the
// window is one big control); or the arrows across the grid as the controls
// stand, and Tab in the design's own tab order or in reading order, left to
// right in lines from top to bottom.
enum class KeyOrder { None, Design, Reading };

// A thick ring just outside the edge of the control with the keyboard focus:
// white outside, black inside. The white stands out on the dark grounds (the
// black of a wrong answer, blue, red, green), the black on the light ones
// and against a white picture, so the ring shows on every ground and never
// melts into the control. Clicks pass through it.
class FocusFrame final : public QWidget {
    Q_OBJECT
public:
    explicit FocusFrame(QWidget *parent);
    int lineWidth() const { return lineWidth_; }
    void setLineWidth(int pixels);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    int lineWidth_ = 0;
};

// The keyboard in one window. The focus frame shows only while the child
// uses the keyboard: a press of the mouse hides it, and the first key after
// that only brings it back, where the focus is, so a key never presses a
// control the child could not see chosen. Whether the keyboard is in use is
// the program's, shared by all its windows through `keyboardInUse`.
class KeyboardFocus final : public QObject {
    Q_OBJECT
public:
    KeyboardFocus(QWidget &window, DesignCanvas &canvas, KeyOrder order, bool &keyboardInUse);
    ~KeyboardFocus() override;

    KeyOrder order() const { return order_; }
    // To the next (or previous) control in reading order, round the end;
    // false when there is none to go to.
    bool moveInReadingOrder(bool next);
    // To the control beside the focused one in the arrow's direction; false
    // when there is none that way.
    bool moveInGrid(int arrowKey);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    bool keyPress(QKeyEvent *e);
    bool inCanvas(const QObject *o) const;
    bool ours(const QObject *o) const;
    bool reachable(const QWidget *w) const;
    QList<QWidget *> controls() const;
    QWidget *firstControl() const;
    void focusChanged(QWidget *now);
    void placeFrame();

    QWidget &window_;
    DesignCanvas &canvas_;
    KeyOrder order_;
    bool &keyboardInUse_;
    FocusFrame *frame_ = nullptr;
    QPointer<QWidget> target_;
    bool activated_ = false;
};

// `controls` in reading order over `area`: a control whose top lies above the
// middle of the first control of a line belongs to that line; each line is
// read left to right.
QList<QWidget *> readingOrder(QList<QWidget *> controls, const QWidget &area);

// Of `places`, the one beside `from` in the arrow's direction: up and down
// within the same column (overlapping it side to side), nearest first; left
// and right the nearest column that way, clear of `from`'s own, and in it the
// place most level with `from`. -1 when there is none.
qsizetype besideInGrid(const QList<QRect> &places, const QRect &from, int arrowKey);

} // namespace zampli
