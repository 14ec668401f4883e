#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QIODevice;

namespace zampli {

// How a WAV's samples are laid out, as the audio server is told.
struct WavFormat {
    enum class Sample { UInt8, Int16, Int32 };
    Sample sample = Sample::Int16;
    int channels = 0;
    int rate = 0; // frames a second

    int bytesPerFrame() const { return channels * (sample == Sample::UInt8 ? 1 : sample == Sample::Int16 ? 2 : 4); }
    bool operator==(const WavFormat &) const = default;
};

// Where the audio of a WAV file lies, read from its chunk headers only.
struct WavLayout {
    WavFormat format;
    qint64 dataOffset = 0;
    qint64 dataSize = 0; // whole frames the file really holds
};

// The layout of a WAV the audio server plays as it is: "RIFF"/"WAVE", a
// plain PCM "fmt " chunk of 8, 16 or 32 bits, then a "data" chunk holding
// some audio. Anything else (float, 24 bits, the extensible header, a text
// file, a cut-off header) gives nullopt, and the caller plays the default
// sound instead of silence.
std::optional<WavLayout> readWavLayout(QIODevice &device);

// The same check for a file, cheap enough to make before every first play.
bool isPlayableWav(const QString &path);

struct WavSound {
    WavFormat format;
    QByteArray samples;
};

// Reads a playable WAV whole; path may be a ":/" resource.
std::optional<WavSound> loadWav(const QString &path);
// The same from a device open for reading, standing at the first byte.
std::optional<WavSound> loadWav(QIODevice &device);

} // namespace zampli
