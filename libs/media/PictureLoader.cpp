// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureLoader.h"

#include "media/Diagnostics.h"
#include "media/FileNames.h"
#include "media/PictureFile.h"
#include "media/ProblemLog.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPixmapCache>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <malloc.h>

namespace zampli {

namespace {

// Decoded pictures nothing shows that may stay for a later turn, at most:
// every letter in every style at the size of a full-screen window's largest box.
constexpr qsizetype kUnshownBytes = 64 * 1024 * 1024;

// Pictures of more pixels than this are kept as small copies: decoding a
// 2000x1900 letter at an eighth took 6 to 8 ms, its small copy under 1 ms.
constexpr qint64 kLargePixels = 1'000'000;
// Small copies kept, at most: each letter and face at 4K full screen's boxes.
constexpr qsizetype kSmallBytes = 8 * 1024 * 1024;
// The size asked of a small copy made ahead: the least a JPEG decodes at.
constexpr QSize kSmallest(1, 1);

bool isLarge(QSize own)
{
    return qint64(own.width()) * own.height() > kLargePixels;
}

// A small copy serves boxes no larger than itself.
bool covers(QSize copy, QSize shown)
{
    return !shown.isEmpty() && copy.width() >= shown.width() && copy.height() >= shown.height();
}

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
    const DecodedPicture decoded = stamp ? decode(file, *stamp, shown) : DecodedPicture{{}, QStringLiteral("manca")};
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

DecodedPicture PictureLoader::decode(const QString &file, const FileStamp &stamp, QSize shown) const
{
    if (const auto small = small_.find(file); small != small_.end()) {
        std::vector<SmallCopy> &copies = small->second;
        std::erase_if(copies, [&](const SmallCopy &c) { return c.stamp != stamp; });
        // The least that covers the box: each is decoded whole.
        const SmallCopy *best = nullptr;
        for (const SmallCopy &c : copies)
            if (covers(c.size, shown) && (!best || c.size.width() < best->size.width()))
                best = &c;
        if (best)
            return decodePicture(best->jpeg, shown);
    }
    DecodedPicture decoded = decodePicture(file, shown);
    if (!decoded.image.isNull() && !shown.isEmpty() && !decoded.image.hasAlphaChannel() && isLarge(decoded.own)
        && decoded.image.size() != decoded.own)
        makeSmallCopy(file, shown, decoded.image, stamp); // not decoded again: one large picture in memory, not two
    return decoded;
}

void PictureLoader::prepare(const QStringList &paths) const
{
    for (const QString &path : paths)
        makeSmallCopy(existingFile(path), kSmallest);
}

void PictureLoader::makeSmallCopy(const QString &file, QSize shown, const QImage &decoded, const FileStamp &stamp) const
{
    if (!making_.insert({file, shown.width(), shown.height()}).second)
        return;
    ++preparing_;
    std::weak_ptr<const PictureLoader *> self = self_;
    QThreadPool::globalInstance()->start([self, file, shown, decoded, stamp] {
        std::optional<SmallCopy> made = decoded.isNull() ? smallCopyOf(file, shown) : encodeCopy(decoded, stamp, file);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [self, file, shown, made = std::move(made)] {
            const std::shared_ptr<const PictureLoader *> loader = self.lock();
            if (loader)
                (*loader)->keepSmallCopy(file, shown, made);
        }, Qt::QueuedConnection);
    });
}

// On a thread of its own: the file decoded for `shown` and written as a
// JPEG; nothing when it is small, has transparency, or cannot be read.
std::optional<PictureLoader::SmallCopy> PictureLoader::smallCopyOf(const QString &file, QSize shown)
{
    const std::optional<FileStamp> stamp = stampOf(file);
    if (!stamp)
        return std::nullopt;
    const DecodedPicture decoded = decodePicture(file, shown);
    if (decoded.image.isNull() || decoded.image.hasAlphaChannel() || !isLarge(decoded.own)
        || decoded.image.size() == decoded.own)
        return std::nullopt; // a copy as large as the file costs as much to decode
    return encodeCopy(decoded.image, *stamp, file);
}

std::optional<PictureLoader::SmallCopy> PictureLoader::encodeCopy(const QImage &decoded, const FileStamp &stamp,
                                                                  const QString &file)
{
    QByteArray jpeg;
    QBuffer out(&jpeg);
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "jpeg");
    writer.setQuality(92); // no ringing a 4K screen shows at a letter's edge
    if (!writer.write(decoded))
        return std::nullopt;
    // Checked once more: a file replaced meanwhile is not kept under its new stamp.
    if (stampOf(file) != stamp)
        return std::nullopt;
    return SmallCopy{stamp, std::move(jpeg), decoded.size()};
}

void PictureLoader::keepSmallCopy(const QString &file, QSize shown, const std::optional<SmallCopy> &made) const
{
    --preparing_;
    making_.erase({file, shown.width(), shown.height()});
    if (!made)
        return;
    const qsizetype bytes = smallCopyBytes() + made->jpeg.size();
    std::vector<SmallCopy> &copies = small_[file];
    const bool known = std::any_of(copies.begin(), copies.end(),
                                   [&](const SmallCopy &c) { return c.stamp == made->stamp && c.size == made->size; });
    if (!known && bytes <= kSmallBytes)
        copies.push_back(*made);
}

qsizetype PictureLoader::smallCopyBytes() const
{
    qsizetype bytes = 0;
    for (const auto &[name, copies] : small_)
        for (const SmallCopy &c : copies)
            bytes += c.jpeg.size();
    return bytes;
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
