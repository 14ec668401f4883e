// SPDX-License-Identifier: GPL-3.0-or-later
// ZIP files no ZIP writer makes, patched byte by byte from one that libzip
// wrote: the shapes a stranger's file may take to fill a disk.
#pragma once

#include <QByteArray>
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
