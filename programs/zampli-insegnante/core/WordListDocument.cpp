// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/WordListDocument.h"

#include "core/WordRules.h"
#include "core/WriteReason.h"
#include "safefile/CappedFile.h"
#include "safefile/WholeFile.h"
#include "wordlist/WordList.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <climits>

namespace zampli::teacher {

namespace {

// The byte that Windows-1252 gives `c`, taken from the reader itself so the
// two can never disagree; 0 when there is none.
char windows1252Byte(QChar c)
{
    static const QString high = [] {
        QString s;
        for (int b = 0x80; b < 0xA0; ++b)
            s += decodeWordListText(QByteArray(1, char(b)));
        return s;
    }();
    if (c.unicode() < 0x80 || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF))
        return char(c.unicode());
    const qsizetype at = high.indexOf(c);
    return at < 0 ? 0 : char(0x80 + at);
}

// The first line end of the decoded text; CR LF, the shipped lists' own, when there is none.
QByteArray firstLineEnd(const QString &text)
{
    const qsizetype cr = text.indexOf(u'\r'), lf = text.indexOf(u'\n');
    if (cr < 0 && lf < 0)
        return "\r\n";
    if (cr >= 0 && (lf < 0 || cr < lf))
        return lf == cr + 1 ? "\r\n" : "\r";
    return "\n";
}

ListEncoding encodingOf(const QByteArray &bytes, bool &mixed)
{
    mixed = false;
    if (const auto e = QStringConverter::encodingForData(bytes)) {
        if (*e == QStringConverter::Utf16LE || *e == QStringConverter::Utf16BE)
            return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")
                       ? (*e == QStringConverter::Utf16LE ? ListEncoding::Utf16LEWithMark : ListEncoding::Utf16BEWithMark)
                       : ListEncoding::Utf8WithMark; // no mark: written as UTF-8 with one
        return ListEncoding::Utf8WithMark; // UTF-8 or UTF-32 with a mark
    }
    if (bytes.contains('\0'))
        return ListEncoding::Utf8WithMark; // UTF-16 without a mark: written with one, in UTF-8
    if (QByteArrayView(bytes).isValidUtf8()) {
        const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
        return ascii ? ListEncoding::Windows1252 : ListEncoding::Utf8;
    }
    // Not UTF-8 as a whole: a Windows list, with lines of UTF-8 among them when mixed.
    for (const QByteArray &line : bytes.split('\n')) {
        const bool high = std::any_of(line.cbegin(), line.cend(), [](char c) { return uchar(c) >= 0x80; });
        mixed = mixed || (high && QByteArrayView(line).isValidUtf8());
    }
    return ListEncoding::Windows1252;
}

} // namespace

WordListDocument WordListDocument::fromBytes(const QByteArray &bytes)
{
    WordListDocument doc;
    doc.encoding_ = encodingOf(bytes, doc.mixed_);
    const QString text = decodeWordListText(bytes);
    doc.lineEnd_ = firstLineEnd(text);
    const WordList read = readWordListText(text, LLONG_MAX);
    doc.words_ = read.words;
    doc.refused_ = read.refused;
    return doc;
}

QByteArray WordListDocument::bytes() const
{
    ListEncoding encoding;
    return written(encoding);
}

// The bytes to write, with their encoding: the file's own when its words fit
// and read back, else UTF-8 with a mark. Found together, so a long list is
// encoded once when it keeps its encoding.
QByteArray WordListDocument::written(ListEncoding &encoding) const
{
    encoding = encoding_;
    if (encoding_ != ListEncoding::Windows1252 && encoding_ != ListEncoding::Utf8)
        return encoded(encoding_);
    // Without a mark the reader guesses: the bytes must read back as these words.
    QByteArray plain = encoded(encoding_);
    if (!plain.isNull() && readWordListText(decodeWordListText(plain), LLONG_MAX).words == words_)
        return plain;
    encoding = ListEncoding::Utf8WithMark;
    return encoded(encoding);
}

// Null when a word has no place in `encoding`.
QByteArray WordListDocument::encoded(ListEncoding encoding) const
{
    const QString end = QString::fromLatin1(lineEnd_);
    qsizetype length = 0;
    for (const QString &w : words_)
        length += w.size() + end.size();
    QString text;
    text.reserve(length);
    for (const QString &w : words_)
        text.append(w).append(end);
    switch (encoding) {
    case ListEncoding::Windows1252: {
        QByteArray out(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            if (!(out[i] = windows1252Byte(text[i])))
                return {};
        return out;
    }
    case ListEncoding::Utf8:
        return text.toUtf8();
    case ListEncoding::Utf8WithMark:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case ListEncoding::Utf16LEWithMark:
        return QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)(text);
    case ListEncoding::Utf16BEWithMark:
        return QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom)(text);
    }
    return {};
}

QString WordListDocument::newWordRefusal(const QString &word, const QStringList &others) const
{
    QString why = wordRefusal(word, others);
    if (why.isEmpty() && !initial_.isNull())
        why = initialRefusal(word, initial_);
    return why;
}

QString WordListDocument::add(const QString &typed, qsizetype at)
{
    const QString word = cleanedWord(typed);
    if (QString why = newWordRefusal(word, words_); !why.isEmpty())
        return why;
    words_.insert(at < 0 || at > words_.size() ? words_.size() : at, word);
    return {};
}

QString WordListDocument::rename(qsizetype row, const QString &typed)
{
    const QString word = cleanedWord(typed);
    QStringList others = words_;
    others.removeAt(row);
    if (word == words_.at(row))
        return {};
    if (QString why = newWordRefusal(word, others); !why.isEmpty())
        return why;
    words_[row] = word;
    return {};
}

void WordListDocument::remove(qsizetype row)
{
    words_.removeAt(row);
}

void WordListDocument::move(qsizetype from, qsizetype to)
{
    if (from == to || to < 0 || to >= words_.size())
        return;
    words_.move(from, to);
}

OpenedWordList openWordList(const QString &path)
{
    OpenedWordList opened;
    const QString name = QFileInfo(path).fileName();
    // Taken first: a change made while the file is read shows as a change later.
    opened.stamp = stampOf(path);
    const WordListBytes read = readWordListBytes(path, OpenedWordList::kEditableBytes);
    if (!read.opened) {
        opened.missing = !QFileInfo::exists(path);
        if (!opened.missing)
            opened.readOnly = QStringLiteral("L'elenco %1 non si può aprire (%2), quindi qui non si può cambiare. "
                                             "Controlla il file, poi riapri la cartella con File › Apri.")
                                  .arg(name, read.refusal);
        return opened;
    }
    if (!read.whole) {
        opened.readOnly = QStringLiteral("L'elenco %1 è troppo grande per questo programma (%2; al massimo %3): non è "
                                         "stato letto e non verrà cambiato. Aprilo con un editor di testo e tieni solo "
                                         "le parole che ti servono: ZAMPLI ne usa al massimo %4.")
                              .arg(name, sizeText(read.size), sizeText(OpenedWordList::kEditableBytes))
                              .arg(WordList::kMaxWords);
        return opened;
    }
    opened.document = WordListDocument::fromBytes(read.bytes);
    return opened;
}

QString saveWhole(const QString &path, const QByteArray &bytes, std::optional<FileStamp> *written)
{
    const WholeWrite write = writeWhole(path, bytes);
    if (write.ok() && written)
        *written = write.written;
    return copyWriteReason(path, write);
}

} // namespace zampli::teacher
