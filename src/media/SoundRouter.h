#pragma once

#include "media/SoundOutput.h"

#include <QSet>
#include <QString>
#include <QUrl>
#include <functional>

namespace zampli {

// Decides what is heard when a sound file is asked for, and drives an output:
// a playable WAV is heard itself; a missing or unreadable one gives the
// default sound and is reported. A new sound cuts off the one before, and
// every sound stays loaded after its first play so a replay starts at once.
// Never asks whether a sound is still playing.
class SoundRouter {
public:
    // Told the path of a file that cannot be played, at every attempt
    // (ProblemLog keeps it to once a file).
    using ReportMissing = std::function<void(const QString &path)>;

    SoundRouter(SoundOutput &output, ReportMissing reportMissing,
                QUrl defaultSound = builtInDefault());

    static QUrl builtInDefault(); // qrc:/sounds/alert.wav

    void play(const QString &path);

    // The output could not load a source after all (its header looked right
    // but the file could not be read whole): report the file, never try it
    // again, and give the default sound if it is the one meant to be heard.
    void loadFailed(const QUrl &source);

private:
    QUrl resolve(const QString &path);
    void start(const QUrl &source);

    SoundOutput &output_;
    const ReportMissing reportMissing_;
    const QUrl default_;
    QSet<QUrl> loaded_;
    QSet<QUrl> broken_;
    QUrl current_; // the last one started; empty before the first
};

} // namespace zampli
