// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Word lists on disk for the windows that ask words.

#include "fakes/Fakes.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace zampli::test {

// One list a word, named after its first letter, each word with its picture:
// "INIZIA PER" has something to ask and stays open.
inline void writeWordLists(const Harness &h, const QStringList &words = {"ape", "elmo", "isola", "oca", "uva"})
{
    QDir().mkpath(h.folder.filePath("testi"));
    for (const QString &word : words) {
        QFile list(h.media().wordList(word.left(1)));
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write(word.toUtf8() + "\r\n") > 0);
        h.writePicture(h.media().wordPicture(word));
    }
}

} // namespace zampli::test
