// SPDX-License-Identifier: GPL-3.0-or-later
#include "imports/VoiceImport.h"

#include "core/WriteReason.h"
#include "safefile/CappedFile.h"
#include "safefile/WholeFile.h"

#include <QFileInfo>
#include <QLocale>

#include <samplerate.h>
#include <sndfile.h>

#include <memory>

namespace zampli::teacher {

namespace {

// What a recorded voice can be. Recorders offer up to 192 kHz and FLAC up to
// 8 channels; past either the header is broken or forged.
constexpr int kLeastRate = 1000;
constexpr int kMostRate = 192000;
constexpr int kMostChannels = 8;
// A minute is far longer than any word; more is some other file.
constexpr sf_count_t kMaxSeconds = 60;
// Only ever the header and a chunk are read at a time, so size costs no memory:
// the cap stops a file the size of a disk from keeping the teacher waiting.
constexpr qint64 kMostBytes = qint64(1) << 30;
// 4096 frames of 8 channels are 128 kB, whatever the file claims.
constexpr sf_count_t kChunkFrames = 4096;

struct SndfileCloser {
    void operator()(SNDFILE *f) const { sf_close(f); }
};

struct ResamplerDeleter {
    void operator()(SRC_STATE *s) const { src_delete(s); }
};

QString nameOf(const QString &file)
{
    return QFileInfo(file).fileName();
}

QString number(qint64 n)
{
    return QLocale(QLocale::Italian, QLocale::Italy).toString(n);
}

QString unreadable(const QString &file)
{
    return QStringLiteral("%1 non è un suono che il programma sa leggere: scegli un file WAV, FLAC o OGG, "
                          "oppure registra la voce col microfono.").arg(nameOf(file));
}

QString tooLong(const QString &file)
{
    return QStringLiteral("%1 dura più di un minuto: per una parola basta qualche secondo. Tagliala prima, "
                          "o registrala col microfono.").arg(nameOf(file));
}

// Why a header is refused before any sound is read, or nothing.
QString headerFault(const SF_INFO &info, const QString &file)
{
    const QString damaged = QStringLiteral("Forse il file è danneggiato: scegli un altro file o registra la voce col microfono.");
    if (info.samplerate < kLeastRate || info.samplerate > kMostRate)
        return QStringLiteral("%1 dice di avere %2 campioni al secondo, ma una voce registrata ne ha da %3 a %4. %5")
            .arg(nameOf(file), number(info.samplerate), number(kLeastRate), number(kMostRate), damaged);
    if (info.channels < 1 || info.channels > kMostChannels)
        return QStringLiteral("%1 dice di avere %2 canali, ma una voce registrata ne ha da 1 a %3. %4")
            .arg(nameOf(file), number(info.channels), number(kMostChannels), damaged);
    if (info.frames > kMaxSeconds * info.samplerate)
        return tooLong(file);
    return {};
}

// Brings mono sound at `rate` to kVoiceRate as it comes, a chunk at a time:
// only the result is held whole. The same samples as converting it all at once.
class Resampler {
public:
    explicit Resampler(int rate) : ratio_(double(kVoiceRate) / rate)
    {
        int error = 0;
        if (rate != kVoiceRate)
            state_.reset(src_new(SRC_SINC_MEDIUM_QUALITY, 1, &error));
        failed_ = rate != kVoiceRate && !state_;
    }

    void add(const float *mono, long frames, bool last)
    {
        if (!state_) {
            out_.insert(out_.end(), mono, mono + frames);
            return;
        }
        SRC_DATA data{};
        data.data_in = mono;
        data.input_frames = frames;
        data.end_of_input = last;
        data.src_ratio = ratio_;
        float buffer[kChunkFrames];
        do {
            data.data_out = buffer;
            data.output_frames = kChunkFrames;
            if (src_process(state_.get(), &data) != 0) {
                failed_ = true;
                return;
            }
            out_.insert(out_.end(), buffer, buffer + data.output_frames_gen);
            data.data_in += data.input_frames_used;
            data.input_frames -= data.input_frames_used;
        } while (data.input_frames > 0 || (last && data.output_frames_gen > 0));
    }

    // Empty when the converter failed.
    Samples take() { return failed_ ? Samples() : std::move(out_); }

private:
    double ratio_;
    std::unique_ptr<SRC_STATE, ResamplerDeleter> state_;
    bool failed_ = false;
    Samples out_;
};

// The sound mixed to mono and resampled a chunk at a time; nothing when it
// runs past kMaxSeconds after all, whatever its header said.
std::optional<Samples> readMono(SNDFILE *sound, const SF_INFO &info)
{
    const auto channels = size_t(info.channels);
    std::vector<float> frames(size_t(kChunkFrames) * channels);
    auto mono = Samples(size_t(kChunkFrames));
    Resampler resampler(info.samplerate);
    const sf_count_t most = kMaxSeconds * info.samplerate;
    sf_count_t total = 0;
    for (sf_count_t read; (read = sf_readf_float(sound, frames.data(), kChunkFrames)) > 0;) {
        if ((total += read) > most)
            return std::nullopt;
        for (size_t i = 0; i < size_t(read); ++i) {
            float sum = 0;
            for (size_t c = 0; c < channels; ++c)
                sum += frames[i * channels + c];
            mono[i] = sum / float(channels);
        }
        resampler.add(mono.data(), long(read), false);
    }
    resampler.add(mono.data(), 0, true);
    return resampler.take();
}

} // namespace

ImportedVoice importVoice(const QString &file)
{
    // Only a regular file: a pipe would keep the teacher waiting for good.
    const CappedFile media = CappedFile::open(file, kMostBytes);
    if (!media.isOpen())
        return {{}, QStringLiteral("%1 non si può usare: %2. Scegli un altro file o registra la voce col microfono.")
                        .arg(nameOf(file), media.refusal())};
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileCloser> sound(sf_open_fd(media.fd(), SFM_READ, &info, SF_FALSE));
    if (!sound)
        return {{}, unreadable(file)};
    if (const QString fault = headerFault(info, file); !fault.isEmpty())
        return {{}, fault};
    const std::optional<Samples> mono = readMono(sound.get(), info);
    if (!mono)
        return {{}, tooLong(file)};
    Samples voice = cleanVoice(*mono).samples;
    if (voice.empty())
        return {{}, QStringLiteral("In %1 si sente solo silenzio: scegli un altro file o registra la voce.").arg(nameOf(file))};
    return {std::move(voice), {}};
}

QString saveVoice(const Samples &voice, const QString &path)
{
    return copyWriteReason(path, writeWhole(path, wavBytes(voice)));
}

} // namespace zampli::teacher
