// SPDX-License-Identifier: GPL-3.0-or-later
#include "WordTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringConverter>
#include <QTextStream>

namespace mediagen {

namespace {

const QString vowels = QStringLiteral("aeiou");

// A relative picture path is read from the table's own folder.
QString picturePath(const QString &column, const QDir &tableFolder, QString *error)
{
    const QString path = column.trimmed();
    if (!path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        *error = QStringLiteral("picture \"%1\" is not an SVG file").arg(path);
        return {};
    }
    return QDir::cleanPath(tableFolder.absoluteFilePath(path));
}

// The program reads the lists as 8-bit text split at commas and quotes.
QString checkSpelling(const QString &word)
{
    // One letter would clash with the vowel's own face picture.
    if (word.size() < 2)
        return QStringLiteral("\"%1\" is too short").arg(word);
    for (const QChar c : word) {
        if (c.unicode() > 0xFF)
            return QStringLiteral("\"%1\" is not Latin-1").arg(word);
        if (!c.isLetter())
            return QStringLiteral("\"%1\" has a character that is not a letter").arg(word);
    }
    if (initialVowel(word).isNull())
        return QStringLiteral("\"%1\" does not start with a vowel").arg(word);
    return {};
}

} // namespace

QChar initialVowel(const QString &word)
{
    if (word.isEmpty())
        return {};
    const QChar first = word.normalized(QString::NormalizationForm_D).at(0).toLower();
    return vowels.contains(first) ? first : QChar();
}

WordTable WordTable::load(const QString &path)
{
    WordTable table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        table.error_ = QStringLiteral("%1: %2").arg(path, file.errorString());
        return table;
    }
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    int number = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++number;
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString problem = table.parseLine(line, QFileInfo(path).absoluteDir());
        if (!problem.isEmpty()) {
            table.error_ = QStringLiteral("%1:%2: %3").arg(path).arg(number).arg(problem);
            return table;
        }
    }
    table.error_ = table.checkCounts();
    return table;
}

QString WordTable::parseLine(const QString &line, const QDir &folder)
{
    const QStringList columns = line.split(QLatin1Char('\t'));
    if (columns.size() < 2 || columns.size() > 3)
        return QStringLiteral("expected 2 or 3 tab-separated columns");
    Word word;
    word.text = columns.at(0).trimmed();
    if (const QString problem = checkSpelling(word.text); !problem.isEmpty())
        return problem;
    for (const Word &seen : std::as_const(words_)) {
        if (seen.text.compare(word.text, Qt::CaseInsensitive) == 0)
            return QStringLiteral("\"%1\" appears twice").arg(word.text);
    }
    QString problem;
    word.picture = picturePath(columns.at(1), folder, &problem);
    if (!problem.isEmpty())
        return problem;
    word.spoken = columns.size() == 3 ? columns.at(2).trimmed() : QString();
    if (word.spoken.isEmpty())
        word.spoken = word.text;
    // Festival reads its script as Latin-1.
    if (QString::fromLatin1(word.spoken.toLatin1()) != word.spoken)
        return QStringLiteral("pronunciation \"%1\" is not Latin-1").arg(word.spoken);
    word.vowel = initialVowel(word.text);
    words_.append(word);
    return {};
}

QString WordTable::checkCounts() const
{
    for (const QChar vowel : vowels) {
        const qsizetype count = wordsFor(vowel).size();
        if (count < minPerVowel || count > maxPerVowel)
            return QStringLiteral("%1 words for '%2', expected %3 to %4")
                .arg(count).arg(vowel).arg(minPerVowel).arg(maxPerVowel);
    }
    return {};
}

QList<Word> WordTable::wordsFor(QChar vowel) const
{
    QList<Word> found;
    for (const Word &word : words_) {
        if (word.vowel == vowel)
            found.append(word);
    }
    return found;
}

} // namespace mediagen
