// SPDX-License-Identifier: GPL-3.0-or-later
// ZIP files no ZIP writer makes, patched byte by byte from one that libzip
// wrote: the shapes a stranger's file may take to fill a disk.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QList>
#include <QtEndian>

// `zip` with one more central directory header for each of `others`, a copy
// of `name`'s under that name (as long as `name`): each points at the same
// local header and compressed data, so that one stream comes out as many files.
inline QByteArray withSharedEntries(QByteArray zip, const QByteArray &name, const QList<QByteArray> &others)
{
    const QByteArray central("PK\x01\x02", 4);
    const QByteArray end("PK\x05\x06", 4);
    const qsizetype endAt = zip.lastIndexOf(end);
    qsizetype at = zip.indexOf(central);
    while (at >= 0 && zip.mid(at + 46, name.size()) != name)
        at = zip.indexOf(central, at + 1);
    if (at < 0 || endAt < 0)
        qFatal("withSharedEntries: no central header for %s", name.constData());
    const qsizetype length = 46 + qFromLittleEndian<quint16>(zip.constData() + at + 28)
                             + qFromLittleEndian<quint16>(zip.constData() + at + 30)
                             + qFromLittleEndian<quint16>(zip.constData() + at + 32);
    const QByteArray header = zip.mid(at, length);
    QByteArray added;
    for (const QByteArray &other : others) {
        if (other.size() != name.size())
            qFatal("withSharedEntries: %s is not as long as %s", other.constData(), name.constData());
        added += header;
        added.replace(added.size() - length + 46, name.size(), other);
    }
    zip.insert(at + length, added);
    char *record = zip.data() + endAt + added.size();
    const auto count = quint16(qFromLittleEndian<quint16>(record + 10) + others.size());
    qToLittleEndian(count, record + 8);
    qToLittleEndian(count, record + 10);
    qToLittleEndian(quint32(qFromLittleEndian<quint32>(record + 12) + quint32(added.size())), record + 12);
    return zip;
}

// `zip` (without a comment, as libzip writes it) in ZIP64's form: each
// central header's sizes and offset moved into a ZIP64 extra field, and the
// directory found through a ZIP64 end record, as writers do past 4 GB.
inline QByteArray asZip64(const QByteArray &zip)
{
    const qsizetype endAt = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (endAt < 0)
        qFatal("asZip64: no end record");
    const char *end = zip.constData() + endAt;
    const quint16 count = qFromLittleEndian<quint16>(end + 10);
    const quint32 directoryAt = qFromLittleEndian<quint32>(end + 16);
    QByteArray directory;
    qsizetype at = directoryAt;
    for (quint16 i = 0; i < count; ++i) {
        const char *header = zip.constData() + at;
        const quint16 nameLength = qFromLittleEndian<quint16>(header + 28);
        const qsizetype length = 46 + nameLength + qFromLittleEndian<quint16>(header + 30)
                                 + qFromLittleEndian<quint16>(header + 32);
        QByteArray wide = zip.mid(at, length);
        QByteArray extra(28, '\0');
        qToLittleEndian(quint16(0x0001), extra.data());
        qToLittleEndian(quint16(24), extra.data() + 2);
        qToLittleEndian(quint64(qFromLittleEndian<quint32>(header + 24)), extra.data() + 4);  // uncompressed
        qToLittleEndian(quint64(qFromLittleEndian<quint32>(header + 20)), extra.data() + 12); // compressed
        qToLittleEndian(quint64(qFromLittleEndian<quint32>(header + 42)), extra.data() + 20); // local header
        for (const int field : {20, 24, 42})
            qToLittleEndian(quint32(0xFFFFFFFF), wide.data() + field);
        qToLittleEndian(quint16(qFromLittleEndian<quint16>(header + 30) + 28), wide.data() + 30);
        wide.insert(46 + nameLength, extra);
        directory += wide;
        at += length;
    }
    QByteArray out = zip.left(directoryAt) + directory;
    const quint64 recordAt = quint64(out.size());
    QByteArray record(56, '\0');
    record.replace(0, 4, QByteArray("PK\x06\x06", 4));
    qToLittleEndian(quint64(44), record.data() + 4);
    qToLittleEndian(quint16(45), record.data() + 12);
    qToLittleEndian(quint16(45), record.data() + 14);
    qToLittleEndian(quint64(count), record.data() + 24);
    qToLittleEndian(quint64(count), record.data() + 32);
    qToLittleEndian(quint64(directory.size()), record.data() + 40);
    qToLittleEndian(quint64(directoryAt), record.data() + 48);
    QByteArray locator(20, '\0');
    locator.replace(0, 4, QByteArray("PK\x06\x07", 4));
    qToLittleEndian(recordAt, locator.data() + 8);
    qToLittleEndian(quint32(1), locator.data() + 16);
    QByteArray end32 = zip.mid(endAt);
    qToLittleEndian(quint16(0xFFFF), end32.data() + 8);
    qToLittleEndian(quint16(0xFFFF), end32.data() + 10);
    qToLittleEndian(quint32(0xFFFFFFFF), end32.data() + 12);
    qToLittleEndian(quint32(0xFFFFFFFF), end32.data() + 16);
    return out + record + locator + end32;
}

// The bytes of every file under `folder`, hidden ones too: what an import of
// an archive left, wherever it hid it.
inline qint64 bytesUnder(const QString &folder)
{
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        bytes += QFileInfo(it.next()).size();
    return bytes;
}
