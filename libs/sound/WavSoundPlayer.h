// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/SoundPlayer.h"

#include <memory>

class QThread;

namespace zampli {

class ProblemLog;
class SoundWorker;

// The program's sound player. Everything that talks to the audio server lives
// on a thread of its own: play() only posts the path there and returns at
// once, so a slow file or audio server can never freeze the window. Create it
// after QApplication and keep it for the whole run.
class WavSoundPlayer final : public SoundPlayer {
public:
    explicit WavSoundPlayer(ProblemLog &log);
    ~WavSoundPlayer() override;

    WavSoundPlayer(const WavSoundPlayer &) = delete;
    WavSoundPlayer &operator=(const WavSoundPlayer &) = delete;

    void play(const QString &path) override;

private:
    std::unique_ptr<QThread> thread_;
    std::unique_ptr<SoundWorker> worker_;
};

} // namespace zampli
