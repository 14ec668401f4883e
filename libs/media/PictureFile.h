// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace zampli {

// A picture file decoded for a box of size `shown` (empty: its own size), or
// why it cannot be, in Italian for the adult. The program and zampli-verifica
// both read pictures through it, so they agree on every file.
struct DecodedPicture {
    QImage image; // null when refused; at least `shown`, at most twice it, unless smaller itself
    QString why;  // "è una pipe, non un file", "troppo grande: 2,0 GB", ...
    QSize own;    // as its header says, turned as shown; empty when refused, or a drawing (sharp at any size)
};
DecodedPicture decodePicture(const QString &path, QSize shown);
// The same of a file's bytes already read, such as another copy's picture
// about to be imported.
DecodedPicture decodePicture(QByteArray bytes, QSize shown);

} // namespace zampli
