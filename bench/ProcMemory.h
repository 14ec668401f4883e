// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

namespace zampli::bench {

// A field of /proc/self/status ("VmHWM"), or of another such file, in MB.
inline double statusMb(const char *field, const char *file = "/proc/self/status")
{
    QFile status(QString::fromLatin1(file));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// The resident size in MB, exact: the kernel keeps the VmRSS of status only
// roughly, off by megabytes in either direction.
inline double rssMb()
{
    return statusMb("Rss", "/proc/self/smaps_rollup");
}

// The kernel's peak resident size (VmHWM) starts again from the size now,
// which it returns in MB: the peak of what follows is measured alone.
inline double resetPeakMb()
{
    QFile peak(QStringLiteral("/proc/self/clear_refs"));
    if (!peak.open(QIODevice::WriteOnly) || peak.write("5") != 1)
        qFatal("cannot reset the peak resident size");
    peak.close();
    return statusMb("VmRSS:");
}

// Lets the event loop run for a while: windows map, paint, settle, sounds play.
inline void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace zampli::bench
