// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "EditableTab.h"
#include "WordListDocument.h"
#include "media/MediaPaths.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QTableView;

namespace zampli::teacher {

struct Refusal;
struct TeacherServices;
class CopyHistory;
class WordTableModel;

// One vowel's word list: each word with its picture, voice and state. Every
// change is saved at once, whole, and goes on the copy's history (a tab of
// its own makes its own). A list that could not be read whole is shown
// read-only, with the reason. A list changed by someone else (an editor,
// another account) is read again when the window comes back to the front
// and before each change, which is then made to the list as it is now:
// nothing written elsewhere is overwritten.
class WordsTab : public QWidget, public EditableTab {
    Q_OBJECT
public:
    void setFolderEditable(bool editable) override { folderEditable_ = editable; setEditable(editable && readOnly_.isEmpty()); }
    WordsTab(TeacherServices &services, const QString &folder, const QString &vowel, CopyHistory *history = nullptr,
             QWidget *parent = nullptr);
    ~WordsTab() override;

    // Reads the list again from disk, with its pictures and voices.
    void reload();
    QString listPath() const;
    const QStringList &words() const { return document_.words(); }
    // Why this list may not be changed; empty when it may.
    const QString &readOnlyReason() const { return readOnly_; }
    // Looks at the files again after another tab changed them.
    void refreshFiles();

signals:
    void filesChanged();
    // "Importa parole…": the window asks for the other copy.
    void importAsked();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What a change tells the teacher; a refused change leaves the list as it was.
    struct Said {
        QString text;
        bool refused = false;
        QString undo; // the change as the Modifica menu names it: "aggiungi «ape»"
    };
    // One change of the teacher's, made to the words as they are on disk now.
    using Edit = std::function<Said(WordListDocument &)>;

    void buildTable();
    void buildActions();
    void connectMoves();
    void addWord();
    void renameWord(int row, const QString &typed);
    void removeWord();
    void moveWord(int by);
    bool change(const Edit &edit, bool showNow = true);
    bool catchUp(bool showNow);
    bool editing() const;
    void readList();
    bool commit(const QStringList &before, const QString &done);
    void remember(const QStringList &before, const QString &text);
    Refusal restoreWords(const QStringList &from, const QStringList &to, const QString &done);
    void showWords(int selectRow);
    void setEditable(bool editable);
    void listen(const QModelIndex &index);
    void listenSelected();
    int currentRow() const;
    QString currentWord() const;
    void importPicture();
    void pastePicture();
    bool dropPicture(QDropEvent *event);
    void importVoice();
    void recordVoice();
    void removePicture() { removeMedia(true); }
    void removeVoice() { removeMedia(false); }
    void removeMedia(bool picture);
    // Puts the word's picture (voice) in place through `put`, as a change of the history.
    void changePicture(const QString &word, const std::function<QString(const QString &target)> &put);
    void changeVoice(const QString &word, const std::function<QString(const QString &target)> &put);
    void pictureDone(const QString &word, const QString &error);
    void voiceDone(const QString &word, const QString &error);
    void say(const QString &text, bool problem = false);
    void showNotice();

    TeacherServices &services_;
    MediaPaths paths_;
    CopyHistory *history_ = nullptr;
    QString vowel_;
    WordListDocument document_;
    bool listMissing_ = false;
    QString readOnly_;
    bool folderEditable_ = true;
    std::optional<FileStamp> stamp_; // the list as this tab last read or wrote it
    QString outside_;                // what changed elsewhere the last time, kept in view
    WordTableModel *model_ = nullptr;
    QTableView *view_ = nullptr;
    QLineEdit *newWord_ = nullptr;
    QWidget *addButton_ = nullptr;
    QLabel *notice_ = nullptr;
    QLabel *message_ = nullptr;
};

} // namespace zampli::teacher
