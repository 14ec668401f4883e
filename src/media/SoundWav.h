#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QString>
#include <optional>

class QIODevice;

namespace zampli {

// Where the audio of a WAV file lies, read from its chunk headers only.
struct WavLayout {
    QAudioFormat format;
    qint64 dataOffset = 0;
    qint64 dataSize = 0; // whole frames the file really holds
};

// The layout of a WAV that Qt 6.4's audio output plays: "RIFF"/"WAVE", a
// plain PCM "fmt " chunk of 8, 16 or 32 bits, then a "data" chunk holding
// some audio. Anything else (float, 24 bits, the extensible header, a text
// file, a cut-off header) gives nullopt, and the caller plays the default
// sound instead of silence.
std::optional<WavLayout> readWavLayout(QIODevice &device);

// The same check for a file, cheap enough to make before every first play.
bool isPlayableWav(const QString &path);

struct WavSound {
    QAudioFormat format;
    QByteArray samples;
};

// Reads a playable WAV whole; path may be a ":/" resource.
std::optional<WavSound> loadWav(const QString &path);
// The same from a device open for reading, standing at the first byte.
std::optional<WavSound> loadWav(QIODevice &device);

} // namespace zampli
