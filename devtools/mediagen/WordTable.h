// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QList>
#include <QString>

namespace mediagen {

// One word of the drills: how it is written (the base name of its picture
// and voice files), the drawing its picture is made from and the text the
// voice reads.
struct Word {
    QString text;
    QString picture; // absolute path of an SVG file
    QString spoken;
    QChar vowel;
};

// Reads the word source: UTF-8, one word a line, tab-separated columns
// "word, SVG picture (relative to the table's folder or absolute), optional
// pronunciation";
// blank lines and lines starting with '#' are skipped.
class WordTable {
public:
    // Fewer words a picture can show beyond doubt are better than more that
    // a child may name with another word.
    static constexpr int minPerVowel = 6;
    static constexpr int maxPerVowel = 50;

    // Empty error() means the table is usable.
    static WordTable load(const QString &path);

    const QList<Word> &words() const { return words_; }
    QList<Word> wordsFor(QChar vowel) const;
    const QString &error() const { return error_; }

private:
    QString parseLine(const QString &line, const QDir &folder);
    QString checkCounts() const;

    QList<Word> words_;
    QString error_;
};

// The plain vowel a word starts with ('a'..'u'), accents folded; null if none.
QChar initialVowel(const QString &word);

} // namespace mediagen
