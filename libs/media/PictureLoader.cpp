// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureLoader.h"

#include "media/Diagnostics.h"
#include "media/FileNames.h"
#include "media/PictureFile.h"
#include "media/ProblemLog.h"

#include <QPainter>
#include <QPixmapCache>
#include <QTimer>
#include <algorithm>
#include <malloc.h>

namespace zampli {

namespace {

// Decoded pictures nothing shows that may stay for a later turn, at most:
// every letter in every style at the size of a full-screen window's largest box.
constexpr qsizetype kUnshownBytes = 64 * 1024 * 1024;

} // namespace

PictureLoader::PictureLoader(ProblemLog &log) : log_(log)
{
    // Pictures are large and come and go with the turns and windows. Each
    // gets a mapping of its own, given back whole when it goes: the
    // allocator would otherwise raise this bound after the first one freed,
    // and keep the freed pictures' memory in its heap for good.
    static const bool ownMappings = mallopt(M_MMAP_THRESHOLD, 128 * 1024) == 1;
    Q_UNUSED(ownMappings);
}

std::optional<QImage> PictureLoader::load(const QString &path, QSize shown) const
{
    const QString file = existingFile(path);
    const std::optional<FileStamp> stamp = stampOf(file);
    ++loads_;
    sizesInUse_.insert({shown.width(), shown.height()});
    for (Kept &k : kept_) {
        if (k.path != file || k.shown != shown)
            continue;
        if (stamp && k.stamp == *stamp) {
            k.used = loads_;
            return k.image;
        }
        k.stale = true; // this load replaces it
    }
    if (const auto failed = failed_.find(file); failed != failed_.end()) {
        if (stamp && failed->second == *stamp)
            return std::nullopt; // told once already; reading it again would only cost the same
        failed_.erase(failed);
    }
    forgetUnshownSoon();
    qCDebug(lcMedia) << "decoding" << file << "for" << shown;
    const DecodedPicture decoded = stamp ? decodePicture(file, shown) : DecodedPicture{{}, QStringLiteral("manca")};
    const QImage &read = decoded.image;
    if (read.isNull()) {
        if (stamp)
            failed_[file] = *stamp;
        qCDebug(lcMedia) << "refused" << file << decoded.why;
        log_.missingFile(path, decoded.why);
        return std::nullopt;
    }
    // Scaled by the painter, whose smooth scaling is several times faster
    // than the reader's, into the screen's own format: painting it is a copy.
    const QImage::Format format = read.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    QImage image(shown.isEmpty() ? read.size() : shown, format);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(image.rect(), read);
    painter.end();
    kept_.push_back({file, shown, *stamp, image, loads_});
    return image;
}

void PictureLoader::forgetUnshownSoon() const
{
    if (forgetting_)
        return;
    forgetting_ = true;
    QTimer::singleShot(0, &lifetime_, [this] { forgetUnshown(); });
}

void PictureLoader::sizeLeft(QSize size) const
{
    sizesInUse_.erase({size.width(), size.height()});
    forgetUnshownSoon();
}

void PictureLoader::forgetUnshown() const
{
    forgetting_ = false;
    // Only the copy kept here is left of a picture nothing shows.
    const auto unshown = [](const Kept &k) { return k.image.isDetached(); };
    std::set<std::pair<int, int>> sizes;
    for (const Kept &k : kept_)
        if (!unshown(k))
            sizes.insert({k.shown.width(), k.shown.height()});
    if (sizes.empty()) {
        // No picture shown any more: a window closed, its controls and the
        // pictures it kept are gone. What the style drew for its buttons goes
        // too (kept under names no later window asks for: each window's
        // icons are new), and the memory they all left goes back.
        const bool hadPictures = !kept_.empty();
        kept_.clear();
        sizesInUse_.clear();
        if (hadPictures) {
            QPixmapCache::clear();
            malloc_trim(0);
        }
        return;
    }
    sizes.insert(sizesInUse_.begin(), sizesInUse_.end());
    std::erase_if(kept_, [&](const Kept &k) {
        return unshown(k) && (k.stale || !sizes.count({k.shown.width(), k.shown.height()}));
    });
    // The most recently used of the rest, up to the budget.
    std::vector<const Kept *> spare;
    for (const Kept &k : kept_)
        if (unshown(k))
            spare.push_back(&k);
    std::sort(spare.begin(), spare.end(), [](const Kept *a, const Kept *b) { return a->used > b->used; });
    qsizetype bytes = 0;
    for (const Kept *k : spare) {
        bytes += k->image.sizeInBytes();
        if (bytes > kUnshownBytes) {
            const quint64 oldest = k->used;
            std::erase_if(kept_, [&](const Kept &e) { return unshown(e) && e.used <= oldest; });
            break;
        }
    }
}

} // namespace zampli
