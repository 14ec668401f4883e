// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalog/Vowels.h"

namespace zampli {

namespace {
const QString kLetters = QStringLiteral("AEIOU");
}

QString vowelLetter(int vowel)
{
    return vowel >= 1 && vowel <= kVowelCount ? QString(kLetters.at(vowel - 1)) : QString();
}

QStringList vowelLetters()
{
    QStringList letters;
    for (const QChar c : kLetters)
        letters << QString(c);
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

int vowelNumber(const QString &letter)
{
    return letter.size() == 1 ? int(kLetters.indexOf(letter)) + 1 : 0;
}

} // namespace zampli
