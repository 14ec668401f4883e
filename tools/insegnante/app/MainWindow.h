// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

class QLabel;
class QTabWidget;

namespace zampli::teacher {

struct TeacherServices;
class CheckTab;
class ResultsTab;
class SoundsTab;
class WordsTab;

// The teacher's window on one program folder: a tab for each vowel's words,
// one for the vowels and sounds, one for the check, one for the children's
// results. Remembers its size and
// the folder last opened.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(TeacherServices &services, QWidget *parent = nullptr);

    void openFolder(const QString &folder);
    const QString &folder() const { return folder_; }
    QTabWidget *tabs() const { return tabs_; }
    WordsTab *wordsTab(int vowel) const { return words_.value(vowel); }
    ResultsTab *resultsTab() const { return results_; }
    // Starts the child's program of this folder.
    void tryProgram();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void chooseFolder();
    void refreshAll();
    void openList(const QString &file);
    void showFolderNotice();

    TeacherServices &services_;
    QString folder_;
    QTabWidget *tabs_ = nullptr;
    QLabel *folderLabel_ = nullptr;
    QList<WordsTab *> words_;
    SoundsTab *sounds_ = nullptr;
    CheckTab *check_ = nullptr;
    ResultsTab *results_ = nullptr;
};

} // namespace zampli::teacher
