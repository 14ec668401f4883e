#pragma once

#include "media/SoundOutput.h"

#include <QSet>
#include <QString>
#include <QUrl>

namespace zampli {

class ProblemLog;

// Decides what is heard when a sound file is asked for, and drives an output:
// a playable WAV is heard itself; a missing or unreadable one gives the
// default sound and is reported once. A new sound cuts off the one before,
// and every sound stays loaded after its first play so a replay starts at
// once. Never asks whether a sound is still playing.
class SoundRouter {
public:
    SoundRouter(SoundOutput &output, ProblemLog &log, QUrl defaultSound = builtInDefault());

    static QUrl builtInDefault(); // qrc:/sounds/alert.wav

    void play(const QString &path);

    // The output could not load a source after all (it looked like a WAV but
    // the decoder refused it): report the file, never try it again, and give
    // the default sound if it is the one meant to be heard now.
    void loadFailed(const QUrl &source);

private:
    QUrl resolve(const QString &path);
    void start(const QUrl &source);

    SoundOutput &output_;
    ProblemLog &log_;
    const QUrl default_;
    QSet<QUrl> loaded_;
    QSet<QUrl> broken_;
    QUrl current_; // the last one started; empty before the first
};

} // namespace zampli
