// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zampli {

// What tells a file's versions apart without opening it.
struct FileStamp {
    qint64 bytes = -1, modifiedNs = -1;
    quint64 inode = 0;
    bool operator==(const FileStamp &) const = default;
};
// From stat(), which never waits on a pipe; none for a path that names nothing.
std::optional<FileStamp> stampOf(const QString &path);
// The same of a file open as `fd`, by fstat().
std::optional<FileStamp> stampOfOpen(int fd);

// A media file open for reading, or why it is not. Only a regular file is
// ever read: a pipe would wait for a writer for good, a device such as
// /dev/zero never ends. The file is opened without waiting (O_NONBLOCK) and
// judged by what it is once open, so a name swapped in between changes nothing.
class MediaFile {
public:
    // Refuses a file larger than maxBytes without reading any of it.
    static MediaFile open(const QString &path, qint64 maxBytes);

    MediaFile(MediaFile &&other) noexcept;
    MediaFile(const MediaFile &) = delete;
    MediaFile &operator=(const MediaFile &) = delete;
    ~MediaFile();

    bool isOpen() const { return fd_ >= 0; }
    // Why it was not opened, in Italian for the adult: "manca",
    // "è una pipe, non un file", "troppo grande: 2,0 GB".
    const QString &refusal() const { return refusal_; }
    const FileStamp &stamp() const { return stamp_; }
    int fd() const { return fd_; }
    // At most `bytes` from where the file stands; none on a read error.
    std::optional<QByteArray> read(qint64 bytes);

private:
    MediaFile() = default;
    int fd_ = -1;
    FileStamp stamp_;
    QString refusal_;
};

// A size as the adult reads it: "512 kB", "3,4 MB", "2,0 GB".
QString sizeText(qint64 bytes);

// What a path that is not a regular file names instead, for a sentence to
// the adult ("è una pipe, non un file"); `mode` is fstat's st_mode.
QString notAFile(unsigned mode);

} // namespace zampli
