// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediaPaths.h"
#include "pictures-voices/MediaState.h"

#include <QAbstractTableModel>
#include <QPixmap>
#include <QHash>
#include <QStringList>

namespace zampli::teacher {

// The words of one list with their pictures and voices as the program finds
// them. A row's files are looked at when it is first shown, and its thumbnail
// decoded just after that paint: a list of 100,000 words opens without
// 200,000 file lookups, and the window's first paint waits on no picture.
class WordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Number, Picture, Word, Voice, State, ColumnCount };
    static constexpr QSize kThumbnail{72, 65};

    WordTableModel(const MediaPaths &paths, QObject *parent = nullptr);

    void setWords(const QStringList &words);
    // Looks at a word's files again, after one was changed.
    void refresh(const QString &word);
    const QStringList &words() const { return words_; }
    bool voiceReady(int row) const { return look(row).voice == FileState::Ready; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A word typed in place is not set here: the list decides (renameAsked).
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void renameAsked(int row, const QString &typed);

private:
    struct Row {
        FileState picture = FileState::Missing;
        FileState voice = FileState::Missing;
        mutable QPixmap thumbnail;
        mutable bool thumbnailRead = false;
    };
    // The row's files, looked at once.
    const Row &look(int row) const;
    QPixmap thumbnail(int row) const;
    void decodeAsked();
    QVariant voiceData(int row, int role) const;

    MediaPaths paths_;
    QStringList words_;
    mutable QHash<int, Row> rows_; // only those looked at: a list may hold a million words
    mutable QList<int> toDecode_; // asked for while painting, decoded once the paint is done
};

} // namespace zampli::teacher
