// libFuzzer target for the WAV reader: any bytes give either nothing or a
// layout that lies inside the bytes, holds whole frames of a format the
// audio output takes, and reads back as exactly that many samples.
#include "sound/SoundWav.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const std::optional<zampli::WavLayout> layout = zampli::readWavLayout(buffer);

    buffer.seek(0);
    const std::optional<zampli::WavSound> sound = zampli::loadWav(buffer);
    if (layout.has_value() != sound.has_value())
        std::abort();
    if (!layout)
        return 0;
    const zampli::WavFormat &format = layout->format;
    const qint64 frame = format.bytesPerFrame();
    if (frame <= 0 || layout->dataOffset < 12 || layout->dataSize <= 0
        || layout->dataSize % frame != 0 || layout->dataOffset + layout->dataSize > qint64(size))
        std::abort();
    if (sound->format != format || sound->samples != bytes.mid(layout->dataOffset, layout->dataSize))
        std::abort();
    return 0;
}
