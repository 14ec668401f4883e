// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QTabWidget;
class QWidget;

namespace zampli::teacher {

struct TeacherServices;
class CheckTab;
class CopiesTab;
class CopyHistory;
class ResultsTab;
class SoundsTab;
class TabPage;
class WordsTab;

// The tabs of the copy open, and what passes between them: a file changed
// on one is looked at again on the others, a problem the check finds in a
// list opens that list, the results are read again on each visit. Each tab
// is made the first time it shows: the window opens with only the one it
// shows first. They go with this object, when another copy is opened.
class CopyTabs : public QObject {
    Q_OBJECT
public:
    CopyTabs(TeacherServices &services, const QString &folder, CopyHistory &history, QTabWidget *tabs);
    ~CopyTabs() override;

    // The one place that makes the tabs read-only or editable.
    void setEditable(bool editable);
    // Every tab made but `changed` looks at its files again.
    void refreshAll(const QObject *changed = nullptr);
    // Every list made read again from disk, after words came in.
    void reloadWords();
    // Made now if it was not yet.
    CopiesTab *copiesTab();
    // Risultati made again, once the copy's server changed.
    void renewResults();

signals:
    // "Importa parole…" on a list.
    void importAsked();
    // Another copy chosen on the Copie tab.
    void openCopy(const QString &folder);

private:
    void addWordTabs(TeacherServices &services, const QString &folder, CopyHistory &history);
    TabPage *addPage(const QString &caption, std::function<QWidget *()> make);
    void made(QWidget *tab);
    void openList(const QString &file);
    void shown(int index);

    QTabWidget *tabs_;
    bool editable_ = false;
    QList<TabPage *> words_;
    QList<WordsTab *> wordsMade_;
    TabPage *copiesPage_ = nullptr;
    TabPage *resultsPage_ = nullptr;
    SoundsTab *sounds_ = nullptr;
    CheckTab *check_ = nullptr;
    CopiesTab *copies_ = nullptr;
    ResultsTab *results_ = nullptr;
};

} // namespace zampli::teacher
