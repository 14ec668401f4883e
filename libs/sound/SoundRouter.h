// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safefile/FileStamp.h"
#include "sound/SoundOutput.h"

#include <QHash>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace zampli {

// Decides what is heard when a sound file is asked for, and drives an output:
// a playable WAV is heard itself; a missing or unreadable one gives the
// default sound and is reported with the reason, and is not read again until
// it changes on disk. One longer than a clip may be is heard from its
// start, and said so. A new sound cuts off the one before, and
// every sound stays loaded after its first play so a replay starts at once,
// until its file changes on disk (a word recorded again), judged by its
// stamp alone. Never asks whether a sound is still playing.
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
    // Of a local file; none for a missing one or a resource.
    static std::optional<FileStamp> stampOf(const QUrl &source);

    QUrl resolve(const QString &path);
    void start(const QUrl &source);

    SoundOutput &output_;
    const ReportMissing reportMissing_;
    const QUrl default_;
    // As each file was when loaded, or when it failed; none when it was missing.
    QHash<QUrl, std::optional<FileStamp>> loaded_;
    QHash<QUrl, std::optional<FileStamp>> broken_;
    QUrl current_; // the last one started; empty before the first
};

} // namespace zampli
