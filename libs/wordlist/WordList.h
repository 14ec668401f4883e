// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace zampli {

// A word list as the program reads it: one field a word, a field ending at a
// line end or a comma, blanks before it skipped, a field in double quotes
// running to the next quote without them. Pure Qt Core, so the media
// generator and its test read lists exactly as the program does.
struct WordList {
    static constexpr int kMaxWords = 50;
    // Longer than any file name can be: such a field is no word.
    static constexpr qsizetype kMaxFieldLength = 255;

    QStringList words;   // in file order, at most kMaxWords
    bool cut = false;    // the list went on past kMaxWords words
    QStringList refused; // fields that cannot name a file, shortened for a report
};

// The text of a list file: a byte-order mark (UTF-8, UTF-16, UTF-32) decides
// and is dropped; without one, a zero in every other byte is UTF-16, and
// otherwise each line is UTF-8 where it is valid UTF-8 and else
// Windows-1252, as lists saved on Windows are.
QString decodeWordListText(QByteArrayView bytes);

// The words of a list file's bytes.
WordList readWordList(QByteArrayView bytes);

// The words of a decoded list text, at most maxWords of them: the teacher's
// editor reads past the program's limit with the same field rules.
WordList readWordListText(const QString &text, qsizetype maxWords = WordList::kMaxWords);

// A plain file name a child can see: not only blanks, no path separator, no
// "..", no control character.
bool isPlainWord(const QString &word);

// A list file's bytes from disk: all of them, or the first maxBytes and the
// word that there were more. Only a regular file is read (never a pipe).
struct WordListBytes {
    bool opened = false; // false: missing, unreadable or not a regular file
    QString refusal;     // why not, for the adult
    bool whole = false;  // bytes hold the whole file
    qint64 size = 0;     // the file's size on disk when it was opened
    QByteArray bytes;    // at most maxBytes
};
WordListBytes readWordListBytes(const QString &path, qint64 maxBytes);

// A list file as the child's program reads it: never more than
// kMaxFileBytes, where 50 words have long been found.
struct WordListFile {
    static constexpr qint64 kMaxFileBytes = 1 << 20;

    bool opened = false; // false: missing, unreadable or not a regular file
    QString refusal;     // why not, for the adult
    bool tooBig = false; // only the first kMaxFileBytes were read
    WordList list;
};
WordListFile loadWordList(const QString &path);

} // namespace zampli
