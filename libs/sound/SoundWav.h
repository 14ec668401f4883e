// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zampli {

// What the audio output is given: 16-bit signed samples in the machine's
// order, interleaved, at the file's own rate; at most 32 channels, which the
// server maps and mixes itself.
struct WavFormat {
    int channels = 0;
    int rate = 0; // frames a second

    int bytesPerFrame() const { return channels * 2; }
    bool operator==(const WavFormat &) const = default;
};

struct WavSound {
    WavFormat format;
    QByteArray samples;
    qint64 fileFrames = 0; // the whole recording; samples may hold only its start
};

// A WAV file read, or why it cannot be, in Italian for the adult.
struct WavRead {
    std::optional<WavSound> sound; // without samples when only probed
    QString why;                   // "è una pipe, non un file", "non è un file WAV", ...
    QString kind;                  // "WAV PCM 24 bit, 48.000 Hz, stereo, 3,2 s"
    // Longer than a clip may be: only its first kMostClipBytes are heard.
    bool cut() const;
};

// A clip kept in memory never holds more: 16 MB is a minute and a half of
// CD-quality stereo, far more than a vowel or a word takes.
constexpr qint64 kMostClipBytes = qint64(16) << 20;

// WAV files in every form libsndfile reads (PCM of 8 to 32 bits, float,
// the extensible header, A-law, ADPCM...), converted on load. A file is
// only opened when it is a regular file.
WavRead probeWav(const QString &path);     // the header only
WavRead loadWav(const QString &path);      // and its samples; path may be a ":/" resource

// "1 min 35 s", "3,2 s"
QString durationText(double seconds);

} // namespace zampli
