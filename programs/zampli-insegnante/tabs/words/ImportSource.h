// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalog/Vowels.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

namespace zampli::teacher {

// A word of the other copy, with its files' bytes (empty when it has none).
struct SourceWord {
    QString word;
    QByteArray picture;
    QByteArray voice;
};

// The other copy as read: a list per vowel in the catalogue's order, or why
// it could not be read, for the teacher.
struct ImportSource {
    QString name; // the folder or file, as she chose it
    std::array<QList<SourceWord>, kVowelCount> lists;
    QString problem;
};

// Reads the copy in `path`, a folder or a .zampli file; `folder` is the open
// copy, which cannot be its own source.
ImportSource readImportSource(const QString &path, const QString &folder);

} // namespace zampli::teacher
