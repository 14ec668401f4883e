// SPDX-License-Identifier: GPL-3.0-or-later
#include "WordLists.h"

#include "wordlist/WordList.h"

#include <QDir>
#include <QFile>

namespace mediagen {

QString writeWordLists(const WordTable &table, const QString &setFolder)
{
    const QString folder = setFolder + QStringLiteral("/testi");
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create %1").arg(folder);
    for (const QChar vowel : QStringLiteral("aeiou")) {
        QByteArray text;
        QStringList words;
        for (const Word &word : table.wordsFor(vowel)) {
            text += word.text.toLatin1() + "\r\n";
            words << word.text;
        }
        // Read back as the program reads it, every word must name its own
        // picture and voice: no comma, quote, blank or letter outside Latin-1.
        const zampli::WordList read = zampli::readWordList(text);
        if (read.words != words || read.cut)
            return QStringLiteral("testi/%1.txt would not read back as its %2 words").arg(vowel).arg(words.size());
        QFile file(folder + QLatin1Char('/') + vowel + QStringLiteral(".txt"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
            return QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
    }
    return {};
}

} // namespace mediagen
