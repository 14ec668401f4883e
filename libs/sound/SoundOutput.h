// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

namespace zampli {

// What actually makes a sound heard. SoundRouter decides what to play and
// drives this; a test records the calls instead of making any noise.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // Called before a source's first start, and again when its file has
    // changed; the sound stays loaded until then.
    virtual void load(const QUrl &source) = 0;
    // Plays a loaded source from its beginning.
    virtual void start(const QUrl &source) = 0;
    // Silences a source at once; harmless when it has already ended.
    virtual void stop(const QUrl &source) = 0;
};

} // namespace zampli
