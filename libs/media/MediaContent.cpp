// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/MediaContent.h"

#include "safefile/CappedFile.h"
#include "media/SvgCheck.h"

#include <QBuffer>
#include <QLocale>
#include <QtEndian>
#include <optional>

namespace zampli {

namespace {

// Coded pixels never take more than raw ones; metadata and thumbnails on top.
constexpr qint64 kBytesPerPixel = 4;
constexpr qint64 kMetadataBytes = qint64(16) << 20;

// Far past any chunk list before the sound of a real recording.
constexpr int kMostWavChunks = 1000;

QString pixels(QSize size)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    return QStringLiteral("%1 × %2 pixel").arg(italian.toString(size.width()), italian.toString(size.height()));
}

bool isPng(const QByteArray &bytes) { return bytes.startsWith("\x89PNG\r\n\x1A\n"); }
bool isJpeg(const QByteArray &bytes) { return bytes.startsWith("\xFF\xD8\xFF"); }

quint16 big16(const QByteArray &bytes, qsizetype at) { return qFromBigEndian<quint16>(bytes.constData() + at); }

// The size a PNG's first chunk (IHDR) declares.
std::optional<QSize> pngSize(const QByteArray &bytes)
{
    if (bytes.size() < 24 || bytes.mid(12, 4) != "IHDR")
        return std::nullopt;
    const quint32 width = qFromBigEndian<quint32>(bytes.constData() + 16);
    const quint32 height = qFromBigEndian<quint32>(bytes.constData() + 20);
    return QSize(int(qMin<quint32>(width, INT_MAX)), int(qMin<quint32>(height, INT_MAX)));
}

// The size a JPEG's frame header (SOFn) declares, walking the segments
// before it: each after the start marker is FF, a kind, a two-byte length.
std::optional<QSize> jpegSize(const QByteArray &bytes)
{
    qsizetype at = 2;
    while (at + 4 <= bytes.size()) {
        if (uchar(bytes[at]) != 0xFF)
            return std::nullopt;
        const uchar kind = uchar(bytes[at + 1]);
        if (kind == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (kind == 0xDA || kind == 0xD9) // scan or end before any frame
            return std::nullopt;
        const quint16 length = big16(bytes, at + 2);
        const bool frame = kind >= 0xC0 && kind <= 0xCF && kind != 0xC4 && kind != 0xC8 && kind != 0xCC;
        if (frame) {
            if (length < 7 || at + 9 > bytes.size())
                return std::nullopt;
            return QSize(big16(bytes, at + 7), big16(bytes, at + 5));
        }
        if (length < 2)
            return std::nullopt;
        at += 2 + length;
    }
    return std::nullopt;
}

bool readAt(QIODevice &device, qint64 at, char *to, qint64 bytes)
{
    return device.seek(at) && device.read(to, bytes) == bytes;
}

QString wavChunksFault(QIODevice &device)
{
    char riff[12];
    if (!readAt(device, 0, riff, 12) || QByteArray(riff + 8, 4) != "WAVE")
        return QStringLiteral("non è un file WAV");
    const QByteArray kind(riff, 4);
    if (kind == "RF64") // sizes in a chunk of their own, past what a voice needs: libsndfile judges it
        return {};
    if (kind != "RIFF")
        return QStringLiteral("non è un file WAV");
    const qint64 fileBytes = device.size();
    bool format = false;
    qint64 at = 12;
    for (int n = 0; n < kMostWavChunks && at + 8 <= fileBytes; ++n) {
        char head[8];
        if (!readAt(device, at, head, 8))
            return QStringLiteral("non si legge");
        const QByteArray id(head, 4);
        const qint64 length = qFromLittleEndian<quint32>(head + 4);
        if (id == "fmt ") {
            char fmt[8];
            if (length < 16 || !readAt(device, at + 8, fmt, 8) || qFromLittleEndian<quint16>(fmt + 2) == 0
                || qFromLittleEndian<quint32>(fmt + 4) == 0)
                return QStringLiteral("file WAV con un formato che non si legge");
            format = true;
        } else if (id == "data") {
            if (!format)
                return QStringLiteral("file WAV senza formato prima del suono");
            // All ones: a recorder that never came back to write the size.
            const qint64 held = fileBytes - (at + 8);
            if (length != 0xFFFFFFFF && length > held)
                return QStringLiteral("file WAV tagliato: dichiara %1 di suono e ne contiene %2")
                    .arg(sizeText(length), sizeText(held));
            return {};
        }
        at += 8 + length + (length & 1);
    }
    return QStringLiteral("file WAV senza suono");
}

bool isPicture(const QString &name) { return name.startsWith(QLatin1String("jpg/")); }
bool isSound(const QString &name)
{
    return name.startsWith(QLatin1String("voci/")) || name.startsWith(QLatin1String("suoni/"));
}

bool looksLikeDrawing(const QByteArray &bytes)
{
    return bytes.startsWith("\x1F\x8B") || bytes.left(4096).contains("<svg");
}

} // namespace

QString pictureSizeFault(QSize size, qint64 fileBytes)
{
    if (size.isEmpty() || size.width() > pictureLimits::kMostSide || size.height() > pictureLimits::kMostSide
        || qint64(size.width()) * size.height() > pictureLimits::kMostPixels)
        return QStringLiteral("dice di misurare %1, più di quanto un'immagine possa essere: è danneggiata").arg(pixels(size));
    if (fileBytes > qint64(size.width()) * size.height() * kBytesPerPixel + kMetadataBytes)
        return QStringLiteral("troppo grande per un'immagine di %1: %2").arg(pixels(size), sizeText(fileBytes));
    return {};
}

QString bitmapFault(const QByteArray &bytes, qint64 fileBytes)
{
    if (fileBytes > pictureLimits::kMostBytes)
        return QStringLiteral("troppo grande: %1").arg(sizeText(fileBytes));
    const std::optional<QSize> size = isPng(bytes) ? pngSize(bytes) : isJpeg(bytes) ? jpegSize(bytes) : std::nullopt;
    if (!isPng(bytes) && !isJpeg(bytes))
        return QStringLiteral("non è un'immagine PNG o JPEG");
    if (!size)
        return QStringLiteral("immagine %1 danneggiata: l'intestazione non si legge")
            .arg(isPng(bytes) ? QStringLiteral("PNG") : QStringLiteral("JPEG"));
    return pictureSizeFault(*size, fileBytes);
}

QString wavFault(QIODevice &device)
{
    const QString fault = wavChunksFault(device);
    device.seek(0);
    return fault;
}

namespace {

QString fileFault(const QString &name, const QByteArray &bytes)
{
    if (isPicture(name)) {
        if (isPng(bytes) || isJpeg(bytes))
            return bitmapFault(bytes, bytes.size());
        if (!looksLikeDrawing(bytes))
            return QStringLiteral("i primi byte non sono di un'immagine JPEG, PNG o SVG");
        if (bytes.size() > pictureLimits::kMostDrawingBytes)
            return QStringLiteral("troppo grande per un disegno: %1").arg(sizeText(bytes.size()));
        return svgFault(bytes);
    }
    if (isSound(name)) {
        QByteArray copy = bytes; // shared, not copied: QBuffer only reads it
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        return wavFault(buffer);
    }
    return {};
}

// What the file should have been, said first: the reason alone may not say it.
QString said(const QString &name, const QString &why)
{
    if (why.isEmpty())
        return why;
    return (isPicture(name) ? QStringLiteral("non è un'immagine JPEG che ZAMPLI possa mostrare: %1")
                            : QStringLiteral("non è un suono WAV che ZAMPLI possa far sentire: %1"))
        .arg(why);
}

} // namespace

QString importedFileFault(const QString &name, const QByteArray &bytes) { return said(name, fileFault(name, bytes)); }

} // namespace zampli
