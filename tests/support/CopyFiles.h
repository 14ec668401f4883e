// SPDX-License-Identifier: GPL-3.0-or-later
// Files of the tests: written whole, read back, a folder's entries, a program run.
#pragma once

#include "SoundFiles.h"

#include <QtTest>

using zampli::test::writeFile;

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Every name in `folder`, hidden ones too.
inline QStringList entriesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A program's exit code and all it printed; -1 when it ran past 30 s.
inline std::pair<int, QString> runProcess(QProcess &p, const QString &program, const QStringList &args)
{
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return {-1, QString()};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
}

inline std::pair<int, QString> runProcess(const QString &program, const QStringList &args)
{
    QProcess p;
    return runProcess(p, program, args);
}

// Sends the menu's and the home's folders into `root`; the menu's folder.
inline QString homeIn(const QString &root)
{
    qputenv("HOME", QFile::encodeName(root + "/home"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + "/home/.local/share"));
    return root + "/home/.local/share/applications";
}

// A stand-in for the program in `folder`: it tells which file was started, and from where.
inline void writeStandInProgram(const QString &folder)
{
    writeFile(folder + "/zampli", "#!/bin/sh\nprintf '%s\\n%s\\n' \"$0\" \"$(pwd)\" > \"$(dirname \"$0\")/started\"\n");
    QVERIFY(QFile::setPermissions(folder + "/zampli", QFile::permissions(folder + "/zampli") | QFile::ExeOwner));
}

// A program folder copies are made from: the stand-in program, the real
// zampli-copia beside it, and the media folders, empty.
inline void writeCopyingProgram(const QString &folder)
{
    writeStandInProgram(folder);
    for (const char *media : {"jpg", "voci", "suoni", "testi"})
        QVERIFY(QDir().mkpath(folder + "/" + media));
    QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/zampli-copia", folder + "/zampli-copia"));
}
