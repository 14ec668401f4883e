// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/SoundRouter.h"

#include "sound/Diagnostics.h"

#include "media/FileNames.h"
#include "sound/SoundWav.h"

#include <QFileInfo>

namespace zampli {

SoundRouter::SoundRouter(SoundOutput &output, ReportMissing reportMissing, QUrl defaultSound)
    : output_(output), reportMissing_(std::move(reportMissing)), default_(std::move(defaultSound))
{
}

QUrl SoundRouter::builtInDefault()
{
    return QUrl(QStringLiteral("qrc:/sounds/alert.wav"));
}

void SoundRouter::play(const QString &path)
{
    const QUrl source = resolve(path);
    qCDebug(lcSound) << "asked" << path << "plays" << source;
    start(source);
}

std::optional<FileStamp> SoundRouter::stampOf(const QUrl &source)
{
    return source.isLocalFile() ? zampli::stampOf(source.toLocalFile()) : std::nullopt;
}

void SoundRouter::loadFailed(const QUrl &source)
{
    if (source == default_ || broken_.contains(source))
        return;
    broken_.insert(source, stampOf(source));
    loaded_.remove(source);
    reportMissing_(source.toLocalFile(), QStringLiteral("il suono non si può leggere"));
    if (source == current_)
        start(default_);
}

QUrl SoundRouter::resolve(const QString &asked)
{
    const QString path = existingFile(asked);
    const QUrl file = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    const std::optional<FileStamp> now = stampOf(file);
    if (const auto b = broken_.constFind(file); b != broken_.cend()) {
        if (!now || now == *b)
            return default_;
        broken_.erase(b); // replaced since: try the new one
    }
    if (const auto l = loaded_.constFind(file); l != loaded_.cend()) {
        // Plays from memory while the file is unchanged, or gone for a
        // moment as an editor saves it anew.
        if (!now || now == *l)
            return file;
        loaded_.erase(l);
    }
    const WavRead probe = probeWav(path);
    if (probe.cut())
        reportMissing_(asked, QStringLiteral("troppo lungo, se ne sente solo l'inizio (%1)").arg(probe.kind));
    if (probe.sound)
        return file;
    if (now)
        broken_.insert(file, now);
    reportMissing_(asked, probe.why);
    return default_;
}

void SoundRouter::start(const QUrl &source)
{
    if (!current_.isEmpty())
        output_.stop(current_);
    if (!loaded_.contains(source)) {
        output_.load(source);
        loaded_.insert(source, stampOf(source));
    }
    output_.start(source);
    current_ = source;
}

} // namespace zampli
