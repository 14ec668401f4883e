// SPDX-License-Identifier: GPL-3.0-or-later
// Four 10-minute voices (44.1 kHz stereo, 106 MB each) played in turn, as
// the program plays them: resident memory before, after and once the next
// short sound has been played. Any audio server, or none, will do.
//
//   bench_long_voices

#include "media/ProblemLog.h"
#include "sound/WavSoundPlayer.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "ProcMemory.h"
#include "Settle.h"

using namespace zampli;

namespace {

// Silence, written sparse: the disk keeps only the header.
bool writeLongWav(const QString &path, int seconds)
{
    constexpr quint32 kRate = 44100, kChannels = 2;
    const quint32 bytes = kRate * kChannels * 2 * quint32(seconds);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QDataStream s(&f);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4), s << quint32(36 + bytes), s.writeRawData("WAVEfmt ", 8);
    s << quint32(16) << quint16(1) << quint16(kChannels) << kRate << kRate * kChannels * 2 << quint16(4) << quint16(16);
    s.writeRawData("data", 4), s << bytes;
    return f.resize(44 + bytes);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ProblemLog log;
    WavSoundPlayer player(log);
    bench::settle(300);
    const double before = proc::rssMb();
    for (int i = 1; i <= 4; ++i) {
        const QString path = dir.filePath(QStringLiteral("lunga%1.wav").arg(i));
        if (!writeLongWav(path, 600))
            return 1;
        player.play(path);
        bench::settle(1500);
    }
    const double after = proc::rssMb();
    std::printf("four 10-minute voices played in turn: resident %.0f MB before, %.0f MB after (+%.0f MB)\n", before,
                after, after - before);
    return 0;
}
