// SPDX-License-Identifier: GPL-3.0-or-later
// WAV files written byte by byte: any format a header may declare, chunks
// in any order, samples as given, so that a test makes what a reader meets.
#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QtEndian>

namespace zampli::test {

struct WavShape {
    quint16 tag = 1, channels = 1, bits = 16; // tag 1: plain PCM, 3: float, 0xFFFE: extensible
    int frames = 2205;
    quint32 rate = 22050;
    QByteArray sample = {}; // the bytes of every sample, where a test repeats one
};

inline QByteArray wavChunk(const char *id, const QByteArray &body)
{
    QByteArray out(id, 4);
    out.resize(8);
    qToLittleEndian(quint32(body.size()), out.data() + 4);
    return out + body + (body.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

// The fmt chunk's body. An extensible one ends as sox and recorders write
// it: all bits valid, the speakers of mono or stereo, the GUID of plain PCM.
inline QByteArray wavFormat(const WavShape &s)
{
    QByteArray fmt;
    QDataStream out(&fmt, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint16 blockAlign = quint16(s.channels * s.bits / 8);
    out << s.tag << s.channels << s.rate << quint32(s.rate * blockAlign) << blockAlign << s.bits;
    if (s.tag != 0xFFFE)
        return fmt;
    out << quint16(22) << s.bits << quint32(s.channels == 1 ? 0x4 : 0x3);
    return fmt + QByteArray::fromHex("0100000000001000800000aa00389b71");
}

inline QByteArray riffWave(const QByteArray &chunks) { return wavChunk("RIFF", "WAVE" + chunks); }

// A WAV file of `shape` whose data chunk holds `samples`.
inline QByteArray wavWith(const WavShape &shape, const QByteArray &samples)
{
    return riffWave(wavChunk("fmt ", wavFormat(shape)) + wavChunk("data", samples));
}

} // namespace zampli::test
