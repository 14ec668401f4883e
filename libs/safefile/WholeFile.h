// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safefile/FileStamp.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace zampli {

// How a whole-file write ended. `error` is the system's error number, 0 when
// the file is in place; `reason` says it in Italian for a sentence of the
// caller's; `creating` tells a folder that takes no new file (nothing was
// written) from a write that stopped on the way (a full disk).
struct WholeWrite {
    int error = 0;
    bool creating = false;
    QString reason;
    std::optional<FileStamp> written; // the file as this wrote it
    bool ok() const { return error == 0; }
};

// Writes `bytes` over `path` whole or not at all: a temporary file beside it,
// flushed to the disk, renamed over it once complete, so `path` is the old
// file or the new one, never half of it. A symbolic link at `path` is
// replaced, never written through; a file already there keeps its permissions.
WholeWrite writeWhole(const QString &path, const QByteArray &bytes);

// A hidden name of its own beside `path`, for what is renamed over it, so
// that a folder's listing never shows a file half written.
QByteArray nameBeside(const QString &path);

// Writes all of `size` bytes to `fd`, again after an interruption. Returns
// the system's error number or 0.
int writeAll(int fd, const char *data, qint64 size);

} // namespace zampli
