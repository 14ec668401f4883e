// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsEditor.h"
#include "tabs/results/ResultsLoader.h"

#include <QAbstractTableModel>
#include <QWidget>
#include <functional>

class QComboBox;
class QPushButton;
class QLineEdit;
class QListWidget;
class QTableView;

namespace zampli::teacher {

class SchoolSync;

// The class at a glance: a row a child, right out of asked for each vowel
// and the last day she played.
class ClassModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setRows(const QList<ChildOverview> &rows);
    const QList<ChildOverview> &rows() const { return rows_; }
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 7; }
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<ChildOverview> rows_;
};

// A button the tests and the keyboard find by its object name.
QPushButton *namedButton(const QString &text, const char *name);

// "Marco: scambia spesso la E con la I quando le sente (12 volte su 40)".
QString practiseText(const PractiseNext &p);
// "3 sessioni, 250 risposte, dal 04/03/2026 al 06/03/2026", for the question before an erase, and the
// damaged copies that go with it.
QString eraseText(const ErasePreview &p);

// The children of a copy: who plays now, the class's table, what each
// should practise next, and her name added, changed or taken away with all
// her answers. Every change goes to the results file at once; the tab reads
// it again after.
class ClassPanel : public QWidget {
    Q_OBJECT
public:
    using Confirm = std::function<bool(const QString &title, const QString &text, const QString &yes)>;
    ClassPanel(QString database, Confirm confirm, QWidget *parent = nullptr);
    // With a school's server: the children are the server's, changed there
    // through `school`, and "Ora gioca" is written to the copy's own file
    // `copyResults`, which holds them too.
    void useSchool(SchoolSync *school, const QString &copyResults);
    // With a server: the child and all her answers erased there, once the teacher agreed.
    void eraseOnServer(qint64 child, const QString &name);

    void present(const ResultsSnapshot &s);
    // The "Ora gioca" choice, for the tab's top row.
    QComboBox *nowPlaying() const { return playing_; }

signals:
    // A change was written: the tab reads the file again.
    void changed();
    // A line for the teacher, under the filters.
    void told(const QString &text);
    // The teacher asked to see one child's answers (double click on her row).
    void childChosen(qint64 child);

private:
    void choosePlaying();
    void addChild();
    void renameChild();
    void eraseChild();
    const ChildOverview *chosenChild() const;
    bool openEditor(ResultsEditor &editor);
    bool openCopyEditor(ResultsEditor &editor);
    // Why `name` cannot be a second child's; empty when it can.
    QString sameName(const QString &name, qint64 except) const;
    void changeOnServer(const char *sql, const QList<QByteArray> &params, const QString &doneText);

    QString database_;
    Confirm confirm_;
    QComboBox *playing_ = nullptr;
    QLineEdit *name_ = nullptr;
    ClassModel *model_ = nullptr;
    QTableView *table_ = nullptr;
    QListWidget *practise_ = nullptr;
    bool filling_ = false;
    SchoolSync *school_ = nullptr;
    QString copyResults_;
    QList<ChildEntry> children_;
};

} // namespace zampli::teacher
