// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

class QPainter;

namespace mediagen {

// A friendly child's face saying a vowel. Everything but the mouth stays
// the same, and each mouth is drawn so unlike the others that a child
// tells the five apart at a glance: A the jaw dropped, wide and deep, E wide
// and half open, I widest and flat showing the teeth, O round, U a small
// pursed ring.
class FaceArt {
public:
    // As large as the letters' (see LetterArt), drawn in units of a picture 400 wide.
    static constexpr QSize pictureSize{2000, 1900};
    static constexpr int unitWidth = 400;

    // `vowel` is one of "AEIOU"; any other draws a closed smile.
    QImage render(QChar vowel) const;

private:
    static void drawHead(QPainter &painter, qreal jawDrop);
    static void drawEyes(QPainter &painter);
    static void drawMouth(QPainter &painter, QChar vowel);
};

} // namespace mediagen
