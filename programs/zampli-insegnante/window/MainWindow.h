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
class CopyHistory;
class CopyTabs;
class ResultsTab;
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
    QTabWidget *tabs() const { return tabWidget_; }
    // Starts the child's program of this folder.
    void showSchool();
    void tryProgram();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildEditMenu();
    void startHistory();
    void tellRefusal(const QString &why);
    void chooseFolder();
    void openCopy(const QString &folder);
    bool claim(const QString &folder);
    void comeForward();
    void showFolderNotice();
    void setEditable(bool editable);
    void makeOwnCopy();
    void importWords();
    void tell(const QString &said, int ms = 10000);

    TeacherServices &services_;
    QString folder_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<CopyHistory> history_;
    QMenu *edit_ = nullptr;
    QAction *importWords_ = nullptr;
    bool editable_ = false;
    QTabWidget *tabWidget_ = nullptr;
    QLabel *folderLabel_ = nullptr;
    QPushButton *makeOwn_ = nullptr;
    std::unique_ptr<CopyTabs> tabs_; // after the history: the tabs go first
};

} // namespace zampli::teacher
