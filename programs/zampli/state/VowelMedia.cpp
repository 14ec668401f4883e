// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/VowelMedia.h"

#include "media/MediaPaths.h"
#include "catalog/Vowels.h"

namespace zampli {

QColor vowelColour(int vowel)
{
    return QColor::fromRgb(vowelArgb(vowel));
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
