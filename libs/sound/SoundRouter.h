// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sound/SoundOutput.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QUrl>
#include <functional>

namespace zampli {

// Decides what is heard when a sound file is asked for, and drives an output:
// a playable WAV is heard itself; a missing or unreadable one gives the
// default sound and is reported with the reason, and is not read again until
// its size or time change. One longer than a clip may be is heard from its
// start, and said so. A new sound cuts off the one before, and
// every sound stays loaded after its first play so a replay starts at once,
// until its file changes on disk (a word recorded again), judged by size and
// time alone. Never asks whether a sound is still playing.
class SoundRouter {
public:
    // Told the path of a file that cannot be played, or is heard only in
    // part, and why, in Italian for the adult (ProblemLog keeps it to once a file).
    using ReportMissing = std::function<void(const QString &path, const QString &why)>;

    SoundRouter(SoundOutput &output, ReportMissing reportMissing,
                QUrl defaultSound = builtInDefault());

    static QUrl builtInDefault(); // qrc:/sounds/alert.wav

    void play(const QString &path);

    // The output could not load a source after all (its header looked right
    // but the file could not be read whole): report the file, never try it
    // again, and give the default sound if it is the one meant to be heard.
    void loadFailed(const QUrl &source);

private:
    // What tells a file's versions apart without reading it.
    struct FileStamp {
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const FileStamp &) const = default;
    };
    static FileStamp stampOf(const QUrl &source); // size -1: no such file

    QUrl resolve(const QString &path);
    void start(const QUrl &source);

    SoundOutput &output_;
    const ReportMissing reportMissing_;
    const QUrl default_;
    QHash<QUrl, FileStamp> loaded_; // as the file was when loaded
    QHash<QUrl, FileStamp> broken_; // as the file was when it failed
    QUrl current_; // the last one started; empty before the first
};

} // namespace zampli
