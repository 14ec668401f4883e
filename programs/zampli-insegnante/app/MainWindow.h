// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

#include <memory>

class QLabel;
class QPushButton;
class QTabWidget;

namespace zampli {
class SingleInstance;
}

namespace zampli::teacher {

struct TeacherServices;
class CheckTab;
class CopyHistory;
class CopiesTab;
class ResultsTab;
class SoundsTab;
class WordsTab;

// The teacher's window on one program folder: a tab for each vowel's words,
// one for the vowels and sounds, one for the check, one for the copies, one
// for the children's results. One window per folder: opening a folder another
// window has open brings that one forward instead. A folder she cannot change
// is shown read-only, with the button that makes her own copy. Remembers its
// size and the folder last opened.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(TeacherServices &services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // False when another window has `folder` open: that one comes forward
    // and this one stays as it was.
    bool openFolder(const QString &folder);
    const QString &folder() const { return folder_; }
    bool isEditable() const { return editable_; }
    QTabWidget *tabs() const { return tabs_; }
    // Starts the child's program of this folder.
    void tryProgram();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildTabKeys();
    void focusCurrentTab();
    void buildEditMenu();
    void startHistory();
    void tellRefusal(const QString &why);
    void chooseFolder();
    void refreshAll();
    void openList(const QString &file);
    void openCopy(const QString &folder);
    bool claim(const QString &folder);
    void comeForward();
    void showFolderNotice();
    void setEditable(bool editable);
    void makeOwnCopy();
    void exportOpenCopy();
    void importWords();

    TeacherServices &services_;
    QString folder_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<CopyHistory> history_;
    QMenu *edit_ = nullptr;
    QAction *importWords_ = nullptr;
    bool editable_ = false;
    QTabWidget *tabs_ = nullptr;
    QLabel *folderLabel_ = nullptr;
    QPushButton *makeOwn_ = nullptr;
    QList<WordsTab *> words_;
    SoundsTab *sounds_ = nullptr;
    CheckTab *check_ = nullptr;
    CopiesTab *copies_ = nullptr;
    ResultsTab *results_ = nullptr;
};

} // namespace zampli::teacher
