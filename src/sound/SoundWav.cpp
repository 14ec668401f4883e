#include "sound/SoundWav.h"

#include <QFile>
#include <QtEndian>

namespace zampli {

namespace {

// Files carry a few chunks (LIST, fact, ...) before the audio; a file with
// more than this is not one we made and need not be read through.
constexpr int kMaxChunks = 32;
constexpr quint16 kPlainPcm = 1;

quint16 le16(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 le32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

std::optional<WavFormat::Sample> sampleFor(quint16 bits)
{
    switch (bits) {
    case 8:
        return WavFormat::Sample::UInt8;
    case 16:
        return WavFormat::Sample::Int16;
    case 32:
        return WavFormat::Sample::Int32;
    default:
        return std::nullopt;
    }
}

std::optional<WavFormat> plainPcmFormat(const QByteArray &fmt)
{
    if (fmt.size() < 16)
        return std::nullopt;
    const quint16 tag = le16(fmt, 0);
    const quint16 channels = le16(fmt, 2);
    const quint32 rate = le32(fmt, 4);
    const quint16 blockAlign = le16(fmt, 12);
    const quint16 bits = le16(fmt, 14);
    const std::optional<WavFormat::Sample> sample = sampleFor(bits);
    if (tag != kPlainPcm || channels == 0 || rate == 0 || rate > 384000 || !sample
        || blockAlign != channels * bits / 8)
        return std::nullopt;
    return WavFormat{*sample, channels, int(rate)};
}

bool hasRiffWaveHeader(QIODevice &device)
{
    const QByteArray head = device.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

} // namespace

std::optional<WavLayout> readWavLayout(QIODevice &device)
{
    if (!hasRiffWaveHeader(device))
        return std::nullopt;

    std::optional<WavFormat> format;
    for (int i = 0; i < kMaxChunks; ++i) {
        const QByteArray header = device.read(8);
        if (header.size() < 8)
            return std::nullopt;
        const QByteArray id = header.left(4);
        const qint64 size = le32(header, 4);
        if (id == "data") {
            if (!format)
                return std::nullopt;
            const qint64 frame = format->bytesPerFrame();
            const qint64 held = std::min(size, device.size() - device.pos());
            const qint64 whole = held - held % frame;
            if (whole <= 0)
                return std::nullopt;
            return WavLayout{*format, device.pos(), whole};
        }
        if (id == "fmt ") {
            if (format || size < 16 || size > 64)
                return std::nullopt;
            format = plainPcmFormat(device.read(size));
            if (!format)
                return std::nullopt;
            // Chunks start on even offsets.
            if (size % 2 != 0)
                device.read(1);
            continue;
        }
        if (!device.seek(device.pos() + size + size % 2))
            return std::nullopt;
    }
    return std::nullopt;
}

bool isPlayableWav(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && readWavLayout(file).has_value();
}

std::optional<WavSound> loadWav(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return loadWav(file);
}

std::optional<WavSound> loadWav(QIODevice &device)
{
    const std::optional<WavLayout> layout = readWavLayout(device);
    if (!layout || !device.seek(layout->dataOffset))
        return std::nullopt;
    QByteArray samples = device.read(layout->dataSize);
    if (samples.size() != layout->dataSize)
        return std::nullopt;
    return WavSound{layout->format, std::move(samples)};
}

} // namespace zampli
