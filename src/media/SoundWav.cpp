#include "media/SoundWav.h"

#include <QFile>
#include <QtEndian>

namespace zampli {

namespace {

// Files carry a few chunks (LIST, fact, ...) before the audio; a file with
// more than this is not one we made and need not be read through.
constexpr int kMaxChunks = 32;
constexpr int kPlainPcm = 1;

quint16 le16(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 le32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

bool isPlainPcmFormat(const QByteArray &fmt)
{
    if (fmt.size() < 16)
        return false;
    const quint16 tag = le16(fmt, 0);
    const quint16 channels = le16(fmt, 2);
    const quint32 rate = le32(fmt, 4);
    const quint16 blockAlign = le16(fmt, 12);
    const quint16 bits = le16(fmt, 14);
    const bool knownDepth = bits == 8 || bits == 16 || bits == 32;
    return tag == kPlainPcm && channels > 0 && rate > 0 && knownDepth
        && blockAlign == channels * bits / 8;
}

bool hasRiffWaveHeader(QFile &file)
{
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

} // namespace

bool isPlayableWav(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !hasRiffWaveHeader(file))
        return false;

    bool formatSeen = false;
    for (int i = 0; i < kMaxChunks; ++i) {
        const QByteArray header = file.read(8);
        if (header.size() < 8)
            return false;
        const QByteArray id = header.left(4);
        const quint32 size = le32(header, 4);
        if (id == "data")
            return formatSeen && size > 0 && file.bytesAvailable() > 0;
        if (id == "fmt ") {
            if (formatSeen || size < 16 || size > 64)
                return false;
            if (!isPlainPcmFormat(file.read(size)))
                return false;
            formatSeen = true;
            // Chunks start on even offsets.
            if (size % 2 != 0)
                file.read(1);
            continue;
        }
        if (!file.seek(file.pos() + size + size % 2))
            return false;
    }
    return false;
}

} // namespace zampli
