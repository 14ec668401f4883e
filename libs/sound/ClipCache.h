// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QUrl>
#include <pulse/channelmap.h>
#include <pulse/sample.h>

#include <map>
#include <memory>
#include <set>

namespace zampli {

// A sound as the audio server takes it.
struct Clip {
    pa_sample_spec sample;
    pa_channel_map map;
    QByteArray samples;
};

// The clips loaded for a replay at once, within a memory budget: the least
// recently played are let go first and read again when next asked for. A
// clip playing stays whole while its stream holds it.
class ClipCache {
public:
    // Reads the source anew; null when it cannot be played.
    std::shared_ptr<const Clip> load(const QUrl &source);
    // The loaded clip, read again if let go for the budget; null if never loaded.
    std::shared_ptr<const Clip> get(const QUrl &source);
    qsizetype bytes() const;

private:
    struct Entry {
        std::shared_ptr<const Clip> clip;
        quint64 used = 0;
    };
    void keepWithinBudget();

    std::map<QUrl, Entry> clips_;
    std::set<QUrl> letGo_;
    quint64 uses_ = 0;
};

} // namespace zampli
