// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/SoundPlayer.h"

#include <functional>
#include <memory>

namespace zampli {

// Makes the real player only when start() is called or the first sound is
// played, so the sound thread and the audio server's libraries do not stand
// between the program's start and its first window.
class LateSoundPlayer final : public SoundPlayer {
public:
    using Make = std::function<std::unique_ptr<SoundPlayer>()>;
    explicit LateSoundPlayer(Make make) : make_(std::move(make)) {}

    void start()
    {
        if (!player_)
            player_ = make_();
    }

    void play(const QString &path) override
    {
        start();
        player_->play(path);
    }

private:
    Make make_;
    std::unique_ptr<SoundPlayer> player_;
};

} // namespace zampli
