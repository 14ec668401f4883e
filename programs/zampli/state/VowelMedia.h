// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>

namespace zampli {

class MediaPaths;

// Which pictures a window shows for a vowel.
enum class Pictures {
    Faces,   // the face whose mouth says the vowel: jpg/A.jpg
    Letters, // the vowel written in a style: jpg/A1.jpg .. jpg/A4.jpg
    Words,   // pictured words, not vowels
};

// Colour of a vowel 1..5, as the windows tint their background.
QColor vowelColour(int vowel);
// The same, by letter "A".."U"; the design's navy for anything else.
QColor vowelColour(const QString &letter);

// A vowel letter as it is written in a style: upper case in styles 1 and 3.
QString letterInStyle(const QString &letter, int style);

// A picture file and what stands in for it when it cannot be shown.
struct PictureFile {
    QString path;
    QString placeholder;
};

// The picture of vowel `letter` ("A".."U") of a kind; `style` only for letters.
PictureFile vowelPicture(const MediaPaths &media, Pictures kind, const QString &letter, int style = 0);

} // namespace zampli
