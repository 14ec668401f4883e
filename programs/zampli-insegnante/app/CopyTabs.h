// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>

class QTabWidget;

namespace zampli::teacher {

struct TeacherServices;
class CheckTab;
class CopiesTab;
class CopyHistory;
class ResultsTab;
class SoundsTab;
class WordsTab;

// The tabs of the copy open, and what passes between them: a file changed
// on one is looked at again on the others, a problem the check finds in a
// list opens that list, the results are read again on each visit. They go
// with this object, when another copy is opened.
class CopyTabs : public QObject {
    Q_OBJECT
public:
    CopyTabs(TeacherServices &services, const QString &folder, CopyHistory &history, QTabWidget *tabs);
    ~CopyTabs() override;

    // The one place that makes the tabs read-only or editable.
    void setEditable(bool editable);
    // Every tab but `changed` looks at its files again.
    void refreshAll(const QObject *changed = nullptr);
    // Every list read again from disk, after words came in.
    void reloadWords();
    WordsTab *wordsTab(int vowel) const { return words_.value(vowel); }
    ResultsTab *resultsTab() const { return results_; }
    // A new Risultati tab in place of the old, once the copy's server changed.
    void renewResults();
    CopiesTab *copiesTab() const { return copies_; }

signals:
    // "Importa parole…" on a list.
    void importAsked();
    // Another copy chosen on the Copie tab.
    void openCopy(const QString &folder);

private:
    void addWordTabs(TeacherServices &services, const QString &folder, CopyHistory &history);
    void openList(const QString &file);
    void shown(int index);

    QString folder_;
    QTabWidget *tabs_;
    QList<WordsTab *> words_;
    SoundsTab *sounds_ = nullptr;
    CheckTab *check_ = nullptr;
    CopiesTab *copies_ = nullptr;
    ResultsTab *results_ = nullptr;
};

} // namespace zampli::teacher
