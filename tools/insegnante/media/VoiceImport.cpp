// SPDX-License-Identifier: GPL-3.0-or-later
#include "VoiceImport.h"

#include "WordListDocument.h"

#include <QFile>
#include <QFileInfo>

#include <samplerate.h>
#include <sndfile.h>

#include <memory>

namespace zampli::teacher {

namespace {

// A minute is far longer than any word; more is some other file.
constexpr sf_count_t kMaxSeconds = 60;

struct SndfileCloser {
    void operator()(SNDFILE *f) const { sf_close(f); }
};

QString unreadable(const QString &file)
{
    return QStringLiteral("%1 non è un suono che il programma sa leggere: scegli un file WAV, FLAC o OGG, "
                          "oppure registra la voce col microfono.").arg(QFileInfo(file).fileName());
}

} // namespace

Samples resampled(const Samples &in, int rate)
{
    if (rate == kVoiceRate || in.empty())
        return in;
    const double ratio = double(kVoiceRate) / rate;
    Samples out(size_t(double(in.size()) * ratio) + 16);
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = long(in.size());
    data.data_out = out.data();
    data.output_frames = long(out.size());
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1) != 0)
        return {};
    out.resize(size_t(data.output_frames_gen));
    return out;
}

ImportedVoice importVoice(const QString &file)
{
    SF_INFO info{};
    // sf_open takes a path in the file system's own encoding.
    std::unique_ptr<SNDFILE, SndfileCloser> sound(sf_open(QFile::encodeName(file).constData(), SFM_READ, &info));
    if (!sound || info.channels < 1 || info.samplerate < 1000)
        return {{}, unreadable(file)};
    if (info.frames > kMaxSeconds * info.samplerate)
        return {{}, QStringLiteral("%1 dura più di un minuto: per una parola basta qualche secondo. Tagliala prima, "
                                   "o registrala col microfono.").arg(QFileInfo(file).fileName())};
    std::vector<float> frames(size_t(info.frames) * size_t(info.channels));
    const sf_count_t read = sf_readf_float(sound.get(), frames.data(), info.frames);
    Samples mono(size_t(std::max<sf_count_t>(read, 0)));
    for (size_t i = 0; i < mono.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c)
            sum += frames[i * size_t(info.channels) + size_t(c)];
        mono[i] = sum / float(info.channels);
    }
    Samples voice = cleanVoice(resampled(mono, info.samplerate));
    if (voice.empty())
        return {{}, QStringLiteral("In %1 si sente solo silenzio: scegli un altro file o registra la voce.")
                        .arg(QFileInfo(file).fileName())};
    return {std::move(voice), {}};
}

QString saveVoice(const Samples &voice, const QString &path)
{
    return saveWhole(path, wavBytes(voice));
}

} // namespace zampli::teacher
