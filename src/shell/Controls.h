#pragma once

#include "media/Artwork.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <optional>

class QMouseEvent;

namespace zampli {

// A click: the left button pressed and then released over the same control.
class ClickTracker {
public:
    void press(const QMouseEvent *e);
    // True when this release completes a click inside `area`.
    bool release(const QMouseEvent *e, const QRect &area);

private:
    bool pressed_ = false;
};

// A label that reports a click, as the title window's letters need.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();
protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
private:
    ClickTracker click_;
};

// A picture box: its picture stretched to the box. Without a picture it shows
// a plain placeholder (the letter or word it should show) on a light ground,
// so a missing file never leaves the child in front of nothing.
// The tag is the box's own text mark: "vuota" or the letter shown.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setPicture(std::optional<QImage> image, const QString &placeholderText);
    void clear();
    const QImage &picture() const { return image_; }
    bool showsPlaceholder() const { return image_.isNull() && !placeholder_.isEmpty(); }
    const QString &placeholderText() const { return placeholder_; }

    QString tag() const { return tag_; }
    void setTag(const QString &tag) { tag_ = tag; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QImage image_;
    QString placeholder_;
    QString tag_;
    ClickTracker click_;
};

// A text button whose caption, when wider than the button, goes onto two
// lines split at its widest gap between words, and only then shrinks, so
// every word stays whole and readable.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

    struct Caption {
        QFont font;
        QStringList lines;
    };
    // How the caption is drawn at the button's present size.
    Caption caption() const;

protected:
    void paintEvent(QPaintEvent *e) override;
};

// A caption split in two at its longest run of blanks between words.
QStringList splitAtWidestGap(const QString &text);

// A button that shows only a picture, scaled to the button as it grows.
class PictureButton : public QPushButton {
    Q_OBJECT
public:
    PictureButton(Art art, QWidget *parent = nullptr);
protected:
    void resizeEvent(QResizeEvent *e) override;
private:
    Art art_;
};

} // namespace zampli
