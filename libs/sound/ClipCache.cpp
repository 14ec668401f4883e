// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/ClipCache.h"

#include "sound/SoundWav.h"

#include <algorithm>

namespace zampli {

namespace {

// Four clips of the longest kept, or hours of vowels and words: the program
// stays small however long the voices a teacher records.
constexpr qsizetype kBudget = 4 * kMostClipBytes;

// A file path QFile reads, for a local file or a qrc: resource.
QString readablePath(const QUrl &source)
{
    if (source.scheme() == QLatin1String("qrc"))
        return QLatin1Char(':') + source.path();
    return source.toLocalFile();
}

} // namespace

std::shared_ptr<const Clip> ClipCache::load(const QUrl &source)
{
    letGo_.erase(source);
    clips_.erase(source); // an earlier version of the file is not what was asked for
    std::optional<WavSound> sound = loadWav(readablePath(source)).sound;
    if (!sound)
        return nullptr;
    auto clip = std::make_shared<Clip>();
    clip->sample = {PA_SAMPLE_S16NE, uint32_t(sound->format.rate), uint8_t(sound->format.channels)};
    clip->samples = std::move(sound->samples);
    if (!pa_sample_spec_valid(&clip->sample)
        || !pa_channel_map_init_extend(&clip->map, clip->sample.channels, PA_CHANNEL_MAP_DEFAULT))
        return nullptr;
    clips_[source] = {clip, ++uses_};
    keepWithinBudget();
    return clip;
}

std::shared_ptr<const Clip> ClipCache::get(const QUrl &source)
{
    const auto it = clips_.find(source);
    if (it != clips_.end()) {
        it->second.used = ++uses_;
        return it->second.clip;
    }
    return letGo_.count(source) ? load(source) : nullptr;
}

qsizetype ClipCache::bytes() const
{
    qsizetype sum = 0;
    for (const auto &[source, entry] : clips_)
        sum += entry.clip->samples.size();
    return sum;
}

void ClipCache::keepWithinBudget()
{
    qsizetype sum = bytes();
    while (sum > kBudget && clips_.size() > 1) {
        const auto oldest = std::min_element(clips_.begin(), clips_.end(),
                                             [](const auto &a, const auto &b) { return a.second.used < b.second.used; });
        sum -= oldest->second.clip->samples.size();
        letGo_.insert(oldest->first);
        clips_.erase(oldest);
    }
}

} // namespace zampli
