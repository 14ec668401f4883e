// SPDX-License-Identifier: GPL-3.0-or-later
// Where each entry of a ZIP file lies, read from the file's own bytes: libzip
// does not say where an entry's data starts, and a stranger's file may point
// several entries at one compressed stream so that a few kilobytes fill a disk.
#pragma once

#include <QByteArray>
#include <QList>

namespace zampli::copies::detail {

// One entry as the central directory and its local header place it.
struct ZipPlace {
    QByteArray name;        // the directory's bytes, not decoded
    bool utf8 = false;      // general-purpose bit 11: the name is UTF-8
    quint64 start = 0;      // its local header
    quint64 end = 0;        // one past its compressed data
    quint64 compressed = 0;
    quint64 size = 0;       // declared, uncompressed
};

struct ZipDirectory {
    enum class Fault {
        None,
        Inconsistent, // no single end record, or headers that do not agree or fit
        Overlap,      // `entry` shares bytes with `other`
        IntoDirectory // `entry` reaches into the central directory
    };
    QList<ZipPlace> entries; // in the directory's order, libzip's indexes
    Fault fault = Fault::None;
    qsizetype entry = -1;
    qsizetype other = -1;
};

// Reads the directory of the regular file open on `fd` (ZIP64 included) and
// checks that every entry, from its local header to the end of its data,
// lies apart from all others and before the directory.
ZipDirectory readZipDirectory(int fd);

} // namespace zampli::copies::detail
