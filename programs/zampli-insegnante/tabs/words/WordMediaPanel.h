// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediaPaths.h"

#include <QWidget>

#include <functional>

class QDropEvent;

namespace zampli::teacher {

struct TeacherServices;
class CopyHistory;
class WordTableView;

// The picture and the voice of the word picked in a list: imported, pasted,
// dropped on its row, recorded or removed, each a change of the copy's history.
class WordMediaPanel : public QWidget {
    Q_OBJECT
public:
    WordMediaPanel(TeacherServices &services, const MediaPaths &paths, CopyHistory &history, WordTableView &table,
                   QWidget *parent = nullptr);

    void setEditable(bool editable);

signals:
    void told(const QString &text, bool problem);
    void filesChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The word picked, or empty after telling her to pick one.
    QString chosenWord();
    void importPicture();
    void pastePicture();
    bool dropPicture(QDropEvent *event);
    void importVoice();
    void recordVoice();
    void removeMedia(bool picture);
    // Puts the word's picture (voice) in place through `put`, as a change of the history.
    void changeMedia(const QString &word, bool picture, const std::function<QString(const QString &target)> &put);
    void done(const QString &word, bool picture, const QString &error);

    TeacherServices &services_;
    MediaPaths paths_;
    CopyHistory &history_;
    WordTableView &table_;
    // Kept from the start: while the table is destroyed its viewport may
    // still send events here, and asking the table for it then is undefined.
    QWidget *viewport_ = nullptr;
};

} // namespace zampli::teacher
