// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shared/EditableTab.h"
#include "tabs/check/CheckAdapter.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QVBoxLayout;

namespace zampli::teacher {

struct TeacherServices;
class CopyHistory;

// The whole copy checked as zampli-verifica checks it, each problem with the
// buttons that fix it under it. Labels that wrap, not a table's cells, so
// no text is ever cut.
class CheckTab : public QWidget, public EditableTab {
    Q_OBJECT
public:
    void setFolderEditable(bool editable) override { setEnabled(editable); }
    CheckTab(TeacherServices &services, const QString &folder, QWidget *parent = nullptr);
    void runCheck();

    // Asks the teacher for the file a fix takes (an ImportPicture or an
    // ImportVoice); empty when she chose none. The file dialogs by default.
    using FileChooser = std::function<QString(QWidget *parent, Fix fix)>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // The copy's history, where each fix goes so that Annulla takes it back.
    void setHistory(CopyHistory *history) { history_ = history; }

signals:
    void filesChanged();
    // A word's list is where this is fixed: `file` is testi/<v>.txt.
    void openList(const QString &file);

private:
    void clearRows();
    void addRow(const Finding &finding);
    QWidget *fixButtons(const Finding &finding);
    void fix(const Finding &finding, Fix how);
    // None when the teacher chose no file; else empty, or what went wrong.
    // Writes `target` through `write`, as a change of the history when there is one.
    QString written(const QString &target, const std::function<QString()> &write);
    void recordVoice(const QString &target);
    std::optional<QString> importPicture(const QString &target);
    std::optional<QString> importVoice(const QString &target);
    QString rename(const Finding &finding);
    QString copyInstalled(const QString &file, const QString &target);

    TeacherServices &services_;
    QString folder_;
    FileChooser chooseFile_;
    CopyHistory *history_ = nullptr;
    QLabel *summary_ = nullptr;
    QWidget *rows_ = nullptr;
    QVBoxLayout *rowsLayout_ = nullptr;
};

} // namespace zampli::teacher
