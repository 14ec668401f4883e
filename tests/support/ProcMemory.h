// SPDX-License-Identifier: GPL-3.0-or-later
// What the benchmarks and the tests read of a process from /proc: its memory,
// its CPU time, its program file. Header only and Qt Core only, so a
// benchmark linked to nothing of ours can include it.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace zampli::proc {

// The number after "field:" in text of lines "Name:   1234 kB", as MB; 0
// when no line has it. The value is in kB in every /proc file that has one.
inline double fieldMb(const QByteArray &text, const char *field)
{
    const QByteArray name = QByteArray(field) + ':';
    for (const QByteArray &line : text.split('\n'))
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// The path of a file of a process's /proc folder, of this one by default.
inline QString processFile(const char *file, qint64 pid = 0)
{
    return QStringLiteral("/proc/%1/%2").arg(pid > 0 ? QString::number(pid) : QStringLiteral("self"), QLatin1String(file));
}

inline QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A field of a process's status ("VmHWM", "VmSize"), in MB.
inline double statusMb(const char *field, qint64 pid = 0)
{
    return fieldMb(contents(processFile("status", pid)), field);
}

// The resident size in MB, exact: the kernel keeps the VmRSS of status only
// roughly, off by megabytes in either direction.
inline double rssMb(qint64 pid = 0)
{
    return fieldMb(contents(processFile("smaps_rollup", pid)), "Rss");
}

// The kernel's peak resident size (VmHWM) starts again from the size now,
// which it returns in MB: the peak of what follows is measured alone.
inline double resetPeakMb()
{
    QFile peak(processFile("clear_refs"));
    if (!peak.open(QIODevice::WriteOnly) || peak.write("5") != 1)
        qFatal("cannot reset the peak resident size");
    peak.close();
    return statusMb("VmRSS");
}

// CPU time of every thread of a process so far, in ms, from the scheduler's
// own ns counters: what a load on the machine does not change.
inline double cpuMs(qint64 pid)
{
    const QString tasks = processFile("task", pid);
    double ns = 0;
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        ns += contents(tasks + '/' + task + QStringLiteral("/schedstat")).split(' ').value(0).toDouble();
    return ns / 1e6;
}

// The program file a process runs.
inline QString programFile(qint64 pid)
{
    return QFile::symLinkTarget(processFile("exe", pid));
}

} // namespace zampli::proc
