// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the WAV reader: any bytes give either a refusal that
// says why, or whole 16-bit frames of 1 to 32 channels at a positive rate,
// never more than a clip may hold.
#include "sound/SoundWav.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    const zampli::WavRead read = zampli::loadWav(buffer);
    if (read.sound.has_value() == !read.why.isEmpty())
        std::abort();
    if (!read.sound)
        return 0;
    const zampli::WavFormat &format = read.sound->format;
    const qsizetype bytes = read.sound->samples.size();
    if (format.channels < 1 || format.channels > 32 || format.rate <= 0 || bytes <= 0
        || bytes % format.bytesPerFrame() != 0 || bytes > zampli::kMostClipBytes)
        std::abort();
    return 0;
}
