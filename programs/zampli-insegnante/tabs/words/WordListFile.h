// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/WordListDocument.h"
#include "media/MediaPaths.h"

#include <optional>

namespace zampli::teacher {

// One vowel's list as it is on disk: read, saved whole, and told apart from
// the same list changed by another program since this one last touched it.
class WordListFile {
public:
    WordListFile(const MediaPaths &paths, const QString &vowel);

    QString path() const;
    void read();
    // The list on disk is no longer as it was last read or written here.
    bool changedElsewhere() const;
    // The list was there when last read or written here, and is no longer:
    // moved or removed by another program.
    bool goneElsewhere() const;
    // Saves the words as they are now; the files of renamed words follow them
    // from `before`. Empty when done, else what went wrong.
    QString save(const QStringList &before);

    WordListDocument &document() { return document_; }
    const WordListDocument &document() const { return document_; }
    // Why this list may not be changed; empty when it may.
    const QString &readOnlyReason() const { return readOnly_; }
    // What the teacher should know about the list as read, a line each.
    QStringList notice() const;

private:
    MediaPaths paths_;
    QString vowel_;
    WordListDocument document_;
    bool missing_ = false;
    QString readOnly_;
    std::optional<FileStamp> stamp_; // the list as last read or written here
};

// One line that tells the teacher her list `file` was read again, and what came and went.
QString outsideLine(const QString &file, const QStringList &before, const QStringList &after);
// One line that tells her the list `file` is gone, and what she can do.
QString goneLine(const QString &file);

} // namespace zampli::teacher
