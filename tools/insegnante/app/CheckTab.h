// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "EditableTab.h"
#include "CheckAdapter.h"

#include <QWidget>

class QLabel;
class QTreeWidget;

namespace zampli::teacher {

struct TeacherServices;

// The whole copy checked as zampli-verifica checks it, each problem with the
// button that fixes it beside it.
class CheckTab : public QWidget, public EditableTab {
    Q_OBJECT
public:
    void setFolderEditable(bool editable) override { setEnabled(editable); }
    CheckTab(TeacherServices &services, const QString &folder, QWidget *parent = nullptr);
    void runCheck();

signals:
    void filesChanged();
    // A word's list is where this is fixed: `file` is testi/<v>.txt.
    void openList(const QString &file);

private:
    QWidget *fixButton(const Finding &finding);
    void fix(const Finding &finding);
    QString rename(const Finding &finding);

    TeacherServices &services_;
    QString folder_;
    QLabel *summary_ = nullptr;
    QTreeWidget *list_ = nullptr;
};

} // namespace zampli::teacher
