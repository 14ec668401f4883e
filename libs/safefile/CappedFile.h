// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safefile/FileStamp.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace zampli {

// A file open for reading under a size cap, or why it is not. Only a regular
// file is ever read: a pipe would wait for a writer for good, a device such
// as /dev/zero never ends. The file is opened without waiting (O_NONBLOCK)
// and judged by what it is once open, so a name swapped in between changes
// nothing.
class CappedFile {
public:
    // Refuses a file larger than maxBytes without reading any of it.
    static CappedFile open(const QString &path, qint64 maxBytes);

    CappedFile(CappedFile &&other) noexcept;
    CappedFile(const CappedFile &) = delete;
    CappedFile &operator=(const CappedFile &) = delete;
    ~CappedFile();

    bool isOpen() const { return fd_ >= 0; }
    // Why it was not opened, in Italian for the adult: "manca",
    // "è una pipe, non un file", "troppo grande: 2,0 GB".
    const QString &refusal() const { return refusal_; }
    const FileStamp &stamp() const { return stamp_; }
    int fd() const { return fd_; }
    // At most `bytes` from where the file stands; none on a read error.
    std::optional<QByteArray> read(qint64 bytes);

private:
    CappedFile() = default;
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
