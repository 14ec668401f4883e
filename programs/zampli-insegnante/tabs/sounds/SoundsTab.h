// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediaPaths.h"
#include "shared/EditableTab.h"

#include <QWidget>

class QLabel;
class QTableWidget;
class QVBoxLayout;

namespace zampli::teacher {

struct TeacherServices;
class CopyHistory;

// The five vowels' voices and the sounds the windows play (praise, wrong
// answer), each with the same listen, record and import buttons as a word.
class SoundsTab : public QWidget, public EditableTab {
    Q_OBJECT
public:
    void setFolderEditable(bool editable) override { setEnabled(editable); }
    SoundsTab(TeacherServices &services, const QString &folder, CopyHistory &history, QWidget *parent = nullptr);
    void refreshFiles();

signals:
    void filesChanged();

private:
    struct Sound {
        QString name;
        QString when;
        QString path;
    };
    void buildButtons(QVBoxLayout *layout);
    QList<Sound> sounds() const;
    int currentRow() const;
    void record();
    void import();
    void done(const QString &error, const QString &name);

    TeacherServices &services_;
    MediaPaths paths_;
    CopyHistory &history_;
    QTableWidget *table_ = nullptr;
    QLabel *message_ = nullptr;
};

} // namespace zampli::teacher
