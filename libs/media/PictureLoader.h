// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safefile/FileStamp.h"
#include "media/PictureFile.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

namespace zampli {

class ProblemLog;

// Loads the JPEG pictures of the media folder, decoded at the size they are
// shown: a phone's 50-megapixel photo is decoded at an eighth of its size
// straight away, never whole. A file that is missing, not a regular file,
// larger than its header says a picture needs, of absurd size, cannot be
// decoded or is cut short gives no picture and is reported once, naming it
// and saying why; it is not read again while its size and time stay the same.
//
// A picture stays decoded while something shows it: loading the same file at
// the same size again costs no decoding unless the file changed on disk
// (size, time or file replaced). Once the event at hand is over, a picture
// nothing shows any more is dropped, unless it has a size boxes still take:
// the open window may well show it again in a later turn (another style of
// the same letters), so some megabytes of those are kept, the most recently
// used first. A window closed lets them all go; one grown, those of its old
// sizes.
//
// A large picture (a letter drawn for a 4K screen, a phone's photo) costs
// several times more to decode than its box needs, even at an eighth of its
// size: JPEG decodes every block of the file. Such a picture is kept as a
// small JPEG in memory, made on a thread of its own, at the size its boxes
// ask, and later windows decode that. `prepare` makes these ahead, at the
// least size a JPEG decodes at, for the pictures every window shows.
class PictureLoader {
public:
    explicit PictureLoader(ProblemLog &log);
    PictureLoader(const PictureLoader &) = delete;
    PictureLoader &operator=(const PictureLoader &) = delete;

    // `shown` empty: the picture's own size.
    std::optional<QImage> load(const QString &path, QSize shown = {}) const;
    // A shown picture was let go: drop what nothing shows, soon.
    void forgetUnshownSoon() const;
    // A box that loaded pictures at `size` has another size now, or is gone.
    void sizeLeft(QSize size) const;
    // Gone with the loader, for those that keep a pointer to it.
    const QObject *lifetime() const { return &lifetime_; }
    int decodedPictures() const { return int(kept_.size()); }

    // Small copies of these pictures, made on a thread of their own.
    void prepare(const QStringList &paths) const;
    // Small copies still being made.
    int preparing() const { return preparing_; }
    // The memory the small copies take.
    qsizetype smallCopyBytes() const;

private:
    struct Kept {
        QString path;
        QSize shown;
        FileStamp stamp;
        QImage image;
        quint64 used = 0; // when last loaded, in loads
        bool stale = false; // the file changed since: never loaded again
    };
    void forgetUnshown() const;
    DecodedPicture decode(const QString &file, const FileStamp &stamp, QSize shown) const;

    // A large picture decoded at a box's size and kept as a JPEG: a tenth
    // of the decoded picture's memory, and cheap to decode again.
    struct SmallCopy {
        FileStamp stamp;
        QByteArray jpeg;
        QSize size;
    };
    // `decoded`: the file as just decoded for `shown`, if it was.
    void makeSmallCopy(const QString &file, QSize shown, const QImage &decoded = {}, const FileStamp &stamp = {}) const;
    static std::optional<SmallCopy> smallCopyOf(const QString &file, QSize shown);
    static std::optional<SmallCopy> encodeCopy(const QImage &decoded, const FileStamp &stamp, const QString &file);
    void keepSmallCopy(const QString &file, QSize shown, const std::optional<SmallCopy> &made) const;

    ProblemLog &log_;
    mutable std::vector<Kept> kept_;
    mutable std::map<QString, FileStamp> failed_; // as each file was when it failed
    mutable QObject lifetime_;
    mutable bool forgetting_ = false;
    mutable quint64 loads_ = 0;
    mutable std::set<std::pair<int, int>> sizesInUse_; // since the last time nothing was shown
    mutable std::map<QString, std::vector<SmallCopy>> small_; // for boxes of several sizes
    mutable std::set<std::tuple<QString, int, int>> making_;   // file, box asked
    mutable int preparing_ = 0;
    // What the thread making a small copy hands back reaches a loader still there.
    std::shared_ptr<const PictureLoader *> self_ = std::make_shared<const PictureLoader *>(this);
};

} // namespace zampli
