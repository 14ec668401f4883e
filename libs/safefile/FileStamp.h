// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

struct stat;

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
// The same of what stat() or fstat() already told.
FileStamp stampFrom(const struct stat &s);

} // namespace zampli
