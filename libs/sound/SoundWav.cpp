// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/SoundWav.h"

#include "media/MediaContent.h"
#include "safefile/CappedFile.h"

#include <QFile>
#include <QLocale>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <vector>

namespace zampli {

namespace {

// Any WAV holds less: a file larger is not a voice, and is not opened.
constexpr qint64 kMostFileBytes = qint64(4) << 30;
constexpr int kMostChannels = 32; // the audio server's own limit

// libsndfile reading through a QIODevice: a file opened safely or a resource.
sf_count_t deviceLength(void *device) { return static_cast<QIODevice *>(device)->size(); }
sf_count_t deviceTell(void *device) { return static_cast<QIODevice *>(device)->pos(); }
sf_count_t deviceRead(void *to, sf_count_t bytes, void *device)
{
    return static_cast<QIODevice *>(device)->read(static_cast<char *>(to), bytes);
}
sf_count_t deviceWrite(const void *, sf_count_t, void *) { return 0; }
sf_count_t deviceSeek(sf_count_t offset, int whence, void *user)
{
    auto *device = static_cast<QIODevice *>(user);
    const qint64 to = whence == SEEK_SET ? offset : whence == SEEK_CUR ? device->pos() + offset : device->size() + offset;
    return device->seek(to) ? to : -1;
}

using SoundFile = std::unique_ptr<SNDFILE, decltype(&sf_close)>;

QString encodingText(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_S8: return QStringLiteral("PCM 8 bit");
    case SF_FORMAT_PCM_16: return QStringLiteral("PCM 16 bit");
    case SF_FORMAT_PCM_24: return QStringLiteral("PCM 24 bit");
    case SF_FORMAT_PCM_32: return QStringLiteral("PCM 32 bit");
    case SF_FORMAT_FLOAT: return QStringLiteral("virgola mobile 32 bit");
    case SF_FORMAT_DOUBLE: return QStringLiteral("virgola mobile 64 bit");
    default: return QStringLiteral("compresso");
    }
}

QString kindText(const SF_INFO &info)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    const QString channels = info.channels == 1   ? QStringLiteral("mono")
                             : info.channels == 2 ? QStringLiteral("stereo")
                                                  : QStringLiteral("%1 canali").arg(info.channels);
    return QStringLiteral("WAV %1, %2 Hz, %3, %4")
        .arg(encodingText(info.format), italian.toString(info.samplerate), channels,
             durationText(double(info.frames) / info.samplerate));
}

bool isWav(int format)
{
    const int container = format & SF_FORMAT_TYPEMASK;
    return container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX || container == SF_FORMAT_RF64;
}

short toInt16(float x)
{
    return short(std::clamp(std::lrint(double(x) * 32768.0), -32768L, 32767L));
}

// The first `frames` frames as 16-bit samples, through floats: libsndfile
// scales every kind to [-1, 1], which integer reading does not do for float
// files. Mixed down to one channel where the server takes too many.
QByteArray readSamples(SNDFILE *file, const SF_INFO &info, sf_count_t frames, int outChannels)
{
    constexpr sf_count_t kBlock = 4096;
    QByteArray samples(frames * outChannels * 2, Qt::Uninitialized);
    auto *out = reinterpret_cast<short *>(samples.data());
    std::vector<float> block(size_t(kBlock * info.channels));
    sf_count_t done = 0;
    while (done < frames) {
        const sf_count_t got = sf_readf_float(file, block.data(), std::min(kBlock, frames - done));
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f, ++done) {
            const float *in = block.data() + f * info.channels;
            if (outChannels == info.channels) {
                for (int c = 0; c < outChannels; ++c)
                    out[done * outChannels + c] = toInt16(in[c]);
            } else {
                out[done] = toInt16(std::accumulate(in, in + info.channels, 0.0f) / float(info.channels));
            }
        }
    }
    samples.truncate(done * outChannels * 2);
    return samples;
}

WavRead readDevice(QIODevice &device, bool withSamples)
{
    SF_VIRTUAL_IO io{deviceLength, deviceSeek, deviceRead, deviceWrite, deviceTell};
    SF_INFO info{};
    SoundFile file(sf_open_virtual(&io, SFM_READ, &info, &device), &sf_close);
    if (!file || !isWav(info.format))
        return {{}, QStringLiteral("non è un file WAV che si possa leggere"), {}};
    WavRead read{{}, {}, kindText(info)};
    if (info.frames <= 0 || info.samplerate <= 0 || info.channels <= 0)
        return {{}, QStringLiteral("non contiene suono"), read.kind};
    const int channels = info.channels > kMostChannels ? 1 : info.channels;
    WavSound sound{{channels, info.samplerate}, {}, info.frames};
    if (withSamples) {
        const sf_count_t frames = std::min<sf_count_t>(info.frames, kMostClipBytes / (2 * channels));
        sound.samples = readSamples(file.get(), info, frames, channels);
        if (sound.samples.isEmpty())
            return {{}, QStringLiteral("il suono non si può leggere, il file è rovinato"), read.kind};
    }
    read.sound = std::move(sound);
    return read;
}

WavRead readFile(const QString &path, bool withSamples)
{
    if (path.startsWith(QLatin1Char(':'))) {
        QFile resource(path);
        if (!resource.open(QIODevice::ReadOnly))
            return {{}, QStringLiteral("manca"), {}};
        return readDevice(resource, withSamples);
    }
    CappedFile file = CappedFile::open(path, kMostFileBytes);
    QFile device;
    if (!file.isOpen())
        return {{}, file.refusal(), {}};
    if (!device.open(file.fd(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return {{}, QStringLiteral("illeggibile"), {}};
    // libsndfile plays a recording cut short as far as it goes, silently:
    // refused like a cut picture, so the adult hears of it.
    if (const QString fault = wavFault(device); !fault.isEmpty())
        return {{}, fault, {}};
    return readDevice(device, withSamples);
}

} // namespace

bool WavRead::cut() const
{
    return sound && sound->fileFrames * sound->format.bytesPerFrame() > kMostClipBytes;
}

WavRead probeWav(const QString &path) { return readFile(path, false); }
WavRead loadWav(const QString &path) { return readFile(path, true); }

QString durationText(double seconds)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    if (seconds < 60)
        return italian.toString(seconds, 'f', 1) + QStringLiteral(" s");
    const qint64 whole = qint64(seconds + 0.5);
    return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60);
}

} // namespace zampli
