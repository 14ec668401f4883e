// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SoundModule.h"

#include "media/ProblemLog.h"

#include <QLibrary>

namespace zampli {

namespace {
struct Silent final : SoundPlayer {
    void play(const QString &) override {}
};
} // namespace

std::unique_ptr<SoundPlayer> loadSoundPlayer(const QString &programFolder, ProblemLog &log)
{
    // Never unloaded: the player's code lives there until the process ends.
    QLibrary module(programFolder + QStringLiteral("/zampli-suoni"));
    using Make = SoundPlayer *(*)(ProblemLog &);
    if (const auto make = reinterpret_cast<Make>(module.resolve("zampli_make_sound_player")))
        return std::unique_ptr<SoundPlayer>(make(log));
    log.note(QStringLiteral("manca il modulo dei suoni (%1): il programma resta muto").arg(module.errorString()));
    return std::make_unique<Silent>();
}

} // namespace zampli
