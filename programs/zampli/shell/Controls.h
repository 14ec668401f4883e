// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "state/VowelMedia.h"

#include <QFrame>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <optional>

namespace zampli {

class PictureLoader;

// Space, Return or Enter without a modifier: what presses a control from the keyboard.
inline bool isPressKey(const QKeyEvent *e)
{
    const bool key = e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    return key && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// One way to click for every clickable control: the left button pressed and
// released over the same control. The press is taken, so it never reaches
// the control underneath: one click runs exactly one handler, and a press
// released over another control runs none. A disabled control gets no mouse
// events at all. With the keyboard focus, Space or Return is the same click;
// a key held down clicks once.
template <class Base>
class Clickable : public Base {
public:
    using Base::Base;

protected:
    virtual void emitClicked() = 0;
    // What a press key does; a control that a key uses otherwise says so here.
    virtual void keyClicked() { emitClicked(); }

    void keyPressEvent(QKeyEvent *e) override
    {
        if (!isPressKey(e)) {
            Base::keyPressEvent(e);
            return;
        }
        e->accept();
        if (!e->isAutoRepeat())
            keyClicked();
    }

    void mousePressEvent(QMouseEvent *e) override
    {
        pressed_ = e->button() == Qt::LeftButton;
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        const bool click = pressed_ && e->button() == Qt::LeftButton &&
                           this->rect().contains(e->position().toPoint());
        pressed_ = false;
        e->accept();
        if (click)
            emitClicked();
    }

private:
    bool pressed_ = false;
};

// A label that reports a click, as the title window's letters need.
class ClickLabel : public Clickable<QLabel> {
    Q_OBJECT
public:
    using Clickable::Clickable;
signals:
    void clicked();
protected:
    void emitClicked() override { emit clicked(); }
};

// A coloured tile that reports a click; controls nested in it are part of it.
class Tile : public Clickable<QFrame> {
    Q_OBJECT
public:
    explicit Tile(QWidget *parent = nullptr);
    void setColour(const QColor &colour);
signals:
    void clicked();
protected:
    void emitClicked() override { emit clicked(); }
};

// A picture box: its picture stretched to the box. Without a picture it shows
// a plain placeholder (the letter or word it should show) on a light ground,
// so a missing file never leaves the child in front of nothing.
// The tag is the box's own text mark: "vuota" or the letter shown.
// A file is decoded at the box's size, and again only when that size changes.
class PictureBox : public Clickable<QWidget> {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    ~PictureBox() override;

    void setPicture(std::optional<QImage> image, const QString &placeholderText);
    // Loads a file; one that cannot be read shows its placeholder.
    void load(const PictureLoader &loader, const PictureFile &file);
    // Shows what another box shows, placeholder included.
    void copyPicture(const PictureBox &from);
    void clear();
    const QImage &picture() const { return image_; }
    bool showsPlaceholder() const { return image_.isNull() && !placeholder_.isEmpty(); }
    const QString &placeholderText() const { return placeholder_; }

    QString tag() const { return tag_; }
    void setTag(const QString &tag) { tag_ = tag; }

    // A thin dark line along the box's edge, drawn over the picture.
    void setSingleBorder(bool on);

signals:
    void clicked();

protected:
    void emitClicked() override { emit clicked(); }
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void display(std::optional<QImage> image, const QString &placeholderText);
    void letGo() const;

    QImage image_;
    QImage scaled_; // a picture given at another size, scaled once to the box
    std::optional<PictureFile> file_;
    QPointer<const QObject> loaderAlive_;
    const PictureLoader *loader_ = nullptr;
    QString placeholder_;
    QString tag_;
    bool border_ = false;
};

// A rectangle outline drawn around the rectangle it is placed on, never over
// it, so the framed picture stays whole. Clicks pass through it. Its colour
// runs between two thin edges that stand out from the ground it lies on:
// a red ring on a red window is still plainly seen.
class OutlineFrame : public QWidget {
    Q_OBJECT
public:
    // `designWidth` is the line's width in pixels at the design size.
    OutlineFrame(QColor colour, int designWidth, QWidget *parent = nullptr);

    int designWidth() const { return designWidth_; }
    // The line's width now, set by the canvas as the window grows.
    int lineWidth() const { return lineWidth_; }
    void setLineWidth(int pixels);
    QColor colour() const { return colour_; }
    // The ground around it, which picks the colour of the edges.
    void setGround(const QColor &ground);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QColor colour_;
    QColor edge_ = Qt::black;
    int designWidth_;
    int lineWidth_;
};

// Controls that come and go together, placed in it with `.in`; each keeps its
// own clicks. It draws nothing and covers its controls only. Every control
// that appears makes the toolkit ask the window system where the pointer is,
// a round trip to the display; controls shown by showing their group, or
// with showTogether(), cost one question for all.
class ControlGroup : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    template <class Controls> void showTogether(const Controls &controls)
    {
        const bool shown = !isHidden();
        hide(); // its controls appear with it, asked about once
        for (QWidget *w : controls)
            w->show();
        setVisible(shown);
    }
};

} // namespace zampli
