// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/Artwork.h"

#include <QPushButton>
#include <optional>

namespace zampli {

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
    void keyPressEvent(QKeyEvent *e) override;
};

// A caption split in two at its longest run of blanks between words.
QStringList splitAtWidestGap(const QString &text);

// A button that shows only a picture, scaled to the button as it grows.
class PictureButton : public QPushButton {
    Q_OBJECT
public:
    explicit PictureButton(QWidget *parent = nullptr);
    void setPicture(Art art);
    std::optional<Art> picture() const { return art_; }

protected:
    void resizeEvent(QResizeEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void drawPicture();
    std::optional<Art> art_;
};

class DesignCanvas;

// The two picture buttons every exercise window draws alike: the next button,
// a blue arrow that is also its pointer, and the listen-again button, the
// robed figure with a card under the loudspeaker pointer.
PictureButton *addNextButton(DesignCanvas &canvas, const QString &name, const QRect &twips);
PictureButton *addListenAgainButton(DesignCanvas &canvas, const QString &name, const QRect &twips);

} // namespace zampli
