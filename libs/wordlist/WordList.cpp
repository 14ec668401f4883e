// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordlist/WordList.h"

#include "safefile/CappedFile.h"

#include <QStringDecoder>
#include <limits>

#include <algorithm>

namespace zampli {

namespace {

// Windows-1252 where it differs from Latin-1; its five unused bytes stay the
// control characters Latin-1 gives them, so such a word is refused.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QChar *appendWindows1252(QChar *out, QByteArrayView bytes)
{
    for (const char c : bytes) {
        const uchar b = uchar(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool endsField(QChar c)
{
    return c == u',' || c == u'\r' || c == u'\n';
}

// Steps over one delimiter (comma, CR LF, CR or LF) at `pos`, if any.
qsizetype pastDelimiter(const QString &text, qsizetype pos)
{
    if (pos >= text.size())
        return pos;
    if (text[pos] == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n')
        return pos + 2;
    return pos + 1;
}

// A refused field as a report can show it: short, control characters as '?'.
QString forReport(const QString &text, qsizetype from, qsizetype length)
{
    constexpr qsizetype kShown = 40;
    QString shown = text.mid(from, qMin(length, kShown));
    for (QChar &c : shown)
        if (c.category() == QChar::Other_Control)
            c = u'?';
    if (length > kShown)
        shown += QStringLiteral("... (%1 caratteri)").arg(length);
    return shown;
}

// Lists saved as "Unicode" by some editors have no byte-order mark: a text of
// Latin letters then has a zero in every other byte, which no 8-bit text has.
std::optional<QStringConverter::Encoding> utf16WithoutMark(QByteArrayView bytes)
{
    const qsizetype pairs = qMin<qsizetype>(bytes.size(), 4096) / 2;
    qsizetype zeroFirst = 0, zeroSecond = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        zeroFirst += bytes[2 * i] == 0;
        zeroSecond += bytes[2 * i + 1] == 0;
    }
    if (zeroSecond * 2 > pairs && zeroFirst * 8 < pairs)
        return QStringConverter::Utf16LE;
    if (zeroFirst * 2 > pairs && zeroSecond * 8 < pairs)
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

// A word typed on Linux and appended to a list saved on Windows leaves one
// file in two encodings; each line is read in the one it is valid in. CR and
// LF are the same byte in both, so lines split before decoding.
QString decodeEachLine(QByteArrayView bytes)
{
    // Neither encoding gives more characters than bytes.
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype end = from;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const QByteArrayView line = bytes.sliced(from, end - from);
        out = line.isValidUtf8() ? utf8.appendToBuffer(out, line) : appendWindows1252(out, line);
        if (end < bytes.size())
            *out++ = QLatin1Char(bytes[end]);
        from = end + 1;
    }
    text.truncate(out - text.constData());
    return text;
}

// Blanks and invisible format marks only: a quoted "   " names no picture a
// child could see.
bool showsNothing(const QString &word)
{
    return std::all_of(word.cbegin(), word.cend(),
                       [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Format; });
}

// One field from `pos` on, which moves past its delimiter.
struct Field {
    qsizetype from = 0;
    qsizetype length = 0;
};
Field nextField(const QString &text, qsizetype &pos)
{
    const qsizetype n = text.size();
    while (pos < n && isBlank(text[pos]))
        ++pos;
    Field f{pos, 0};
    if (pos < n && text[pos] == u'"') {
        f.from = pos + 1;
        const qsizetype close = text.indexOf(u'"', f.from);
        f.length = (close < 0 ? n : close) - f.from;
        pos = close < 0 ? n : close + 1;
        // Whatever follows the closing quote up to the delimiter is not part of the word.
        while (pos < n && !endsField(text[pos]))
            ++pos;
    } else {
        while (pos < n && !endsField(text[pos]))
            ++pos;
        f.length = pos - f.from;
        // A file name never ends in a blank: one left there by an editor is no part of the word.
        while (f.length > 0 && isBlank(text[f.from + f.length - 1]))
            --f.length;
    }
    pos = pastDelimiter(text, pos);
    return f;
}

} // namespace

QString decodeWordListText(QByteArrayView bytes)
{
    std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(bytes);
    if (!encoding)
        encoding = utf16WithoutMark(bytes);
    if (encoding) {
        QStringDecoder decoder(*encoding, QStringConverter::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    return decodeEachLine(bytes);
}

bool isPlainWord(const QString &word)
{
    if (showsNothing(word) || word.contains(QLatin1String("..")))
        return false;
    for (const QChar c : word) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

WordList readWordList(QByteArrayView bytes)
{
    return readWordListText(decodeWordListText(bytes));
}

WordList readWordListText(const QString &text, qsizetype maxWords)
{
    WordList list;
    qsizetype pos = 0;
    // The end test comes before every field: a last line without its line
    // end gives the same words as one with it.
    while (pos < text.size()) {
        const Field field = nextField(text, pos);
        if (field.length == 0)
            continue; // a blank line or an empty field: nothing to draw
        if (field.length > WordList::kMaxFieldLength || !isPlainWord(text.mid(field.from, field.length))) {
            list.refused << forReport(text, field.from, field.length);
            continue;
        }
        if (list.words.size() == maxWords) {
            list.cut = true;
            break;
        }
        list.words << text.mid(field.from, field.length);
    }
    return list;
}

WordListBytes readWordListBytes(const QString &path, qint64 maxBytes)
{
    WordListBytes result;
    // Never a pipe or a device: either would hold the window for good.
    CappedFile file = CappedFile::open(path, std::numeric_limits<qint64>::max());
    result.refusal = file.refusal();
    if (!file.isOpen())
        return result;
    result.size = file.stamp().bytes;
    // One byte past the cap tells a file that ends there from a longer one;
    // a file that grows while it is read is read on up to the cap.
    qint64 ask = qMin(result.size, maxBytes) + 1;
    for (;;) {
        const std::optional<QByteArray> part = file.read(ask);
        if (!part) {
            result.refusal = QStringLiteral("illeggibile");
            result.bytes.clear();
            return result;
        }
        result.bytes += *part;
        if (part->size() < ask || result.bytes.size() > maxBytes)
            break;
        ask = maxBytes + 1 - result.bytes.size();
    }
    result.opened = true;
    result.whole = result.bytes.size() <= maxBytes;
    result.bytes.truncate(maxBytes);
    return result;
}

WordListFile loadWordList(const QString &path)
{
    WordListFile result;
    const WordListBytes read = readWordListBytes(path, WordListFile::kMaxFileBytes);
    result.opened = read.opened;
    result.refusal = read.refusal;
    result.tooBig = read.opened && !read.whole;
    if (read.opened)
        result.list = readWordList(read.bytes);
    return result;
}

} // namespace zampli
