// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace zampli::teacher {

// A word's picture as the program's boxes show it: their proportions
// (2415 × 2175 twips) at a size that stays sharp on a large screen.
inline constexpr QSize kPictureSize{805, 725};

struct ImportedPicture {
    QImage image; // kPictureSize, upright, fitted on white; null on failure
    QString error; // in Italian, says what to do
};

// Reads any picture Qt reads (JPEG, PNG, GIF, BMP, SVG, WebP with its
// plugin) through the program's own picture reader, so the teacher's program,
// the child's and zampli-verifica refuse the same files: turned upright by
// its EXIF orientation and decoded little larger than it will be shown (a
// 12-megapixel photo at a quarter of its size, not whole); a drawing that
// names other files is refused before anything reads it.
ImportedPicture importPicture(const QString &file);
// The same for a picture pasted or dropped as an image.
ImportedPicture importPicture(const QImage &image);

// Writes the picture as JPEG over `path`, whole or not at all; empty on
// success, else what went wrong.
QString savePicture(const QImage &picture, const QString &path);

} // namespace zampli::teacher
