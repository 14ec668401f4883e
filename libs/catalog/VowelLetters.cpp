// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalog/VowelLetters.h"

#include "catalog/Vowels.h"

namespace zampli {

QStringList vowelLetters()
{
    QStringList letters;
    for (int vowel = 1; vowel <= kVowelCount; ++vowel)
        letters << vowelLetter(vowel);
    return letters;
}

QStringList vowelListNames()
{
    QStringList names = vowelLetters();
    for (QString &name : names)
        name = name.toLower();
    return names;
}

quint32 vowelArgb(int vowel)
{
    if (vowel < 1 || vowel > kVowelCount)
        return 0xff000080u;
    const Rgb &c = kVowelRgb[std::size_t(vowel - 1)];
    return 0xff000000u | quint32(c.red) << 16 | quint32(c.green) << 8 | quint32(c.blue);
}

} // namespace zampli
