// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's voice import, in peak memory: a FLAC whose header claims
// 655,350 Hz, 8 channels and 40 s (room for that would be 840 MB), one that
// claims a plausible 192 kHz, 8 channels and 59 s over a second of sound,
// and a normal 3 s voice. Goal: under 100 MB for any file. Each import's
// peak is measured from the resident size just before it.
#include "ProcMemory.h"
#include "SoundFiles.h"
#include "imports/VoiceImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace zampli::proc;
using namespace zampli::teacher;
using namespace zampli::test;

namespace {

void measure(const char *what, const QString &file)
{
    const double before = resetPeakMb();
    QElapsedTimer clock;
    clock.start();
    const ImportedVoice voice = importVoice(file);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    const double peak = statusMb("VmHWM") - before;
    std::printf("voice import, %s: peak %.1f MB over %.0f MB, %.0f ms, %s (goal under 100 MB)\n", what, peak, before,
                ms, voice.samples.empty() ? "refused" : "imported");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    measure("forged FLAC claiming 655,350 Hz, 8 channels, 40 s",
            forgedFlac(dir.filePath("finto.flac"), 44100, 2, 655350, 8, 40));
    measure("FLAC at 192 kHz, 8 channels, claiming 59 s",
            forgedFlac(dir.filePath("lungo.flac"), 192000, 8, 192000, 8, 59));
    measure("normal 3 s voice, WAV 44.1 kHz stereo",
            writeSound(dir.filePath("voce.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 2.4));
    return 0;
}
