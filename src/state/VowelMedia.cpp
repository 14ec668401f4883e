// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/VowelMedia.h"

#include "media/MediaPaths.h"
#include "rules/Vowels.h"

namespace zampli {

QColor vowelColour(int vowel)
{
    switch (vowel) {
    case 1: return QColor(255, 0, 0);
    case 2: return QColor(255, 255, 0);
    case 3: return QColor(0, 0, 255);
    case 4: return QColor(255, 192, 192);
    case 5: return QColor(0, 192, 0);
    }
    return QColor(0, 0, 128);
}

QColor vowelColour(const QString &letter)
{
    return vowelColour(vowelNumber(letter));
}

QString letterInStyle(const QString &letter, int style)
{
    return style == 2 || style == 4 ? letter.toLower() : letter;
}

PictureFile vowelPicture(const MediaPaths &media, Pictures kind, const QString &letter, int style)
{
    switch (kind) {
    case Pictures::Letters:
        return {media.letterPicture(letter, style), letterInStyle(letter, style)};
    case Pictures::Faces:
    case Pictures::Words:
        break;
    }
    return {media.facePicture(letter), letter};
}

} // namespace zampli
