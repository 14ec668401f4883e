#pragma once

// Pictures of one plain colour for each face and each written vowel, so a
// test can tell from a box's pixels which file it shows.

#include "fakes/Fakes.h"
#include "shell/Controls.h"

#include <QtTest>

namespace zampli::test {

inline const QStringList kVowels{"A", "E", "I", "O", "U"};

// style 0 is the face
inline QColor pictureColour(const QString &letter, int style)
{
    const int index = int(kVowels.indexOf(letter)) * 5 + style;
    return QColor::fromHsv(index * 14, 255, 220);
}

inline void writeColouredPictures(const Harness &h)
{
    for (const QString &letter : kVowels) {
        h.writePicture(h.media().facePicture(letter), pictureColour(letter, 0));
        for (int style = 1; style <= 4; ++style)
            h.writePicture(h.media().letterPicture(letter, style), pictureColour(letter, style));
    }
}

inline bool sameColour(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) <= 6 && qAbs(a.green() - b.green()) <= 6 && qAbs(a.blue() - b.blue()) <= 6;
}

// The box shows the picture of `letter` in `style` (0: the face).
inline bool shows(const PictureBox *box, const QString &letter, int style)
{
    const QImage &image = box->picture();
    return !image.isNull() && sameColour(image.pixelColor(image.rect().center()), pictureColour(letter, style));
}

inline bool isEmptyBox(const PictureBox *box)
{
    return box->picture().isNull() && !box->showsPlaceholder();
}

} // namespace zampli::test
