// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zampli {

// A file opened for reading only when it is a regular file: never through a
// link, never waiting on a pipe or a device. It is opened without waiting
// (O_NONBLOCK) and judged by what was opened (fstat), so a name swapped in
// between changes nothing. Closed with the object.
class RegularFile {
public:
    explicit RegularFile(const QString &path);
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;
    ~RegularFile();

    bool isOpen() const { return fd_ >= 0; }
    // Nothing at all at the path (a link, even one to nothing, is something).
    bool missing() const { return missing_; }
    // What lies there instead, for a sentence to the adult: "è una pipe, non
    // un file"; empty when open or missing.
    const QString &refusal() const { return refusal_; }
    qint64 size() const { return size_; }
    // The next bytes, at most `bytes`; empty at the end; none on a read error.
    std::optional<QByteArray> read(qint64 bytes);

private:
    int fd_ = -1;
    bool missing_ = false;
    qint64 size_ = 0;
    QString refusal_;
};

} // namespace zampli
