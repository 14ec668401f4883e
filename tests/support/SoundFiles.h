// SPDX-License-Identifier: GPL-3.0-or-later
// Sound files made with libsndfile for the tests and the benchmarks: a known
// tone, and headers forged over it that claim what the file does not hold.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QtEndian>
#include <cmath>
#include <numbers>
#include <sndfile.h>
#include <vector>

namespace zampli::test {

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// 0.3 s of silence, `seconds` of 440 Hz at -26 dBFS, 0.3 s of silence, in a
// file of libsndfile's `format`.
inline QString writeSound(const QString &path, int format, int rate, int channels, double seconds = 0.5)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        qFatal("cannot write %s: %s", qPrintable(path), sf_strerror(nullptr));
    const int silence = rate * 3 / 10, tone = int(rate * seconds);
    std::vector<float> frames(size_t(2 * silence + tone) * size_t(channels), 0.0f);
    for (int i = 0; i < tone; ++i)
        for (int c = 0; c < channels; ++c)
            frames[size_t(silence + i) * size_t(channels) + size_t(c)] =
                float(0.05 * std::sin(2 * std::numbers::pi * 440 * i / rate));
    sf_writef_float(file, frames.data(), sf_count_t(frames.size() / size_t(channels)));
    sf_close(file);
    return path;
}

// A FLAC file coded at `rate` Hz with `channels` channels whose STREAMINFO
// then claims `claimedRate`, `claimedChannels` and `claimedSeconds`.
inline QString forgedFlac(const QString &path, int rate, int channels, int claimedRate, int claimedChannels, int claimedSeconds)
{
    writeSound(path, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, rate, channels);
    QByteArray bytes = readAll(path);
    // "fLaC", the block's header, then from byte 18: 20 bits of rate, 3 of
    // channels less one, 5 of bits per sample less one, 36 of total frames.
    quint64 fields = qFromBigEndian<quint64>(bytes.constData() + 18);
    const quint64 bits = (fields >> 36) & 0x1F;
    fields = quint64(claimedRate) << 44 | quint64(claimedChannels - 1) << 41 | bits << 36
             | quint64(claimedRate) * quint64(claimedSeconds);
    qToBigEndian(fields, bytes.data() + 18);
    writeFile(path, bytes);
    return path;
}

// A 16-bit WAV file of `channels` channels whose header says `claimed`.
inline QString forgedWav(const QString &path, int channels, int claimed)
{
    writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, channels);
    QByteArray bytes = readAll(path);
    qToLittleEndian(quint16(claimed), bytes.data() + 22);
    qToLittleEndian(quint32(44100 * 2 * claimed), bytes.data() + 28);
    qToLittleEndian(quint16(2 * claimed), bytes.data() + 32);
    writeFile(path, bytes);
    return path;
}

} // namespace zampli::test
