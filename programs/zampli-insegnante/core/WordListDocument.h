// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safefile/FileStamp.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace zampli::teacher {

// How a list file is written.
enum class ListEncoding { Windows1252, Utf8, Utf8WithMark, Utf16LEWithMark, Utf16BEWithMark };

// A vowel's word list as the teacher edits it: every word of the file, past
// the 50 the program uses too, read by the child's own reader, and written
// back so that reader gives the same words. The file keeps its encoding and
// line ends as long as every word fits in them (the shipped lists:
// Windows-1252 with CR LF); otherwise it becomes UTF-8 with a byte-order
// mark. A list whose lines came in two encodings is written in one.
class WordListDocument {
public:
    WordListDocument() = default;
    static WordListDocument fromBytes(const QByteArray &bytes);

    const QStringList &words() const { return words_; }
    // Fields of the file the reader skips: they are not written back.
    const QStringList &refused() const { return refused_; }
    // Its lines were decoded each on its own (two encodings in one file).
    bool mixed() const { return mixed_; }

    // Words added or renamed from now on must begin with `vowel`; the words
    // already there stay, whatever they begin with.
    void requireInitial(QChar vowel) { initial_ = vowel; }

    // Each change returns why it was refused, or an empty string; a refused
    // change leaves the list as it was.
    QString add(const QString &typed, qsizetype at = -1);
    QString rename(qsizetype row, const QString &typed);
    void remove(qsizetype row);
    void move(qsizetype from, qsizetype to);
    // Puts back words this list held before (an undo or a redo).
    void setWords(const QStringList &words) { words_ = words; }

    QByteArray bytes() const;

private:
    QString newWordRefusal(const QString &word, const QStringList &others) const;
    QByteArray written(ListEncoding &encoding) const;
    QByteArray encoded(ListEncoding encoding) const;

    QStringList words_;
    QStringList refused_;
    ListEncoding encoding_ = ListEncoding::Windows1252;
    QByteArray lineEnd_ = "\r\n";
    bool mixed_ = false;
    QChar initial_; // none: any initial
};

// A list file as the teacher's program opens it: read whole and editable,
// or not read at all and read-only, never a part of it.
struct OpenedWordList {
    // 8 MB of short words (940,000) save a change in 0.27 s; 16 MB take 0.76 s, past the half second.
    static constexpr qint64 kEditableBytes = 8 << 20;

    WordListDocument document;
    bool missing = false; // no file yet: the first word added makes it
    QString readOnly;     // why the list may not be changed, for the teacher; empty when it may
    // The file as it was before it was read; a later stamp that differs
    // means someone else has written it since.
    std::optional<FileStamp> stamp;
};
OpenedWordList openWordList(const QString &path);

// Writes `bytes` over `path` whole or not at all: a temporary file beside it,
// renamed over it once complete (a full disk or a crash leaves the old file
// as it was). A symbolic link at `path` is replaced, never written through.
// Empty on success, else what went wrong and what to do, in Italian.
// `written`, when given, receives the stamp of the file as this wrote it.
QString saveWhole(const QString &path, const QByteArray &bytes, std::optional<FileStamp> *written = nullptr);

} // namespace zampli::teacher
