// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediaPaths.h"

#include <QTableView>

namespace zampli {
class SoundPlayer;
}

namespace zampli::teacher {

class WordTableModel;

// The table of a list's words, one picked at a time: each row's voice is
// heard from its "Ascolta" or by Space, which changes nothing and so works
// on a read-only list too.
class WordTableView : public QTableView {
    Q_OBJECT
public:
    WordTableView(WordTableModel *model, SoundPlayer &player, const MediaPaths &paths, QWidget *parent = nullptr);

    WordTableModel *words() const { return model_; }
    // Shows `words` with the row `selectRow` picked (the nearest one when out of range).
    void showWords(const QStringList &words, int selectRow);
    int currentRow() const;
    // The word picked; empty when none is.
    QString currentWord() const;
    // A word is being renamed in place.
    bool editing() const;

signals:
    void told(const QString &text, bool problem);

private:
    void listen(const QModelIndex &index);
    void listenSelected();

    WordTableModel *model_;
    SoundPlayer &player_;
    MediaPaths paths_;
};

} // namespace zampli::teacher
