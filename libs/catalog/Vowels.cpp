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

int vowelNumber(const QString &letter)
{
    return letter.size() == 1 ? int(kLetters.indexOf(letter)) + 1 : 0;
}

} // namespace zampli
