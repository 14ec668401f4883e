// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tabs/words/WordEdits.h"
#include "tabs/words/WordListFile.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;

namespace zampli {
class SoundPlayer;
}

namespace zampli::teacher {

struct Refusal;
class CopyHistory;
class WordTableModel;
class WordTableView;

// The words of one vowel's list: add, rename, remove, move, each saved at
// once, whole, and put on the copy's history. A list that could not be read
// whole is shown read-only, with the reason. A list changed by someone else
// is read again when the window comes back to the front and before each
// change, which is then made to the list as it is now: nothing written
// elsewhere is overwritten. A list moved or removed elsewhere is named as
// gone, its words kept in view, and written again only if she says so.
class WordListEditor : public QWidget {
    Q_OBJECT
public:
    WordListEditor(SoundPlayer &player, const MediaPaths &paths, const QString &vowel, CopyHistory &history,
                   QWidget *parent = nullptr);
    ~WordListEditor() override;

    WordTableView &table() const { return *view_; }
    void reload();
    QString listPath() const { return file_.path(); }
    const QStringList &words() const { return file_.document().words(); }
    const QString &readOnlyReason() const { return file_.readOnlyReason(); }
    // Shows the words' files as they are now, the same word still picked.
    void refreshFiles();
    void setFolderEditable(bool editable);

signals:
    void filesChanged();
    void importAsked();
    void told(const QString &text, bool problem);
    // The list may (or may no longer) be changed.
    void editableChanged(bool editable);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One change of the teacher's, made to the words as they are on disk now.
    using Edit = std::function<Said(WordListDocument &)>;

    QLayout *buildNewWord(const QString &vowel);
    QLayout *buildCommands(CopyHistory &history);
    void add();
    void rename(int row, const QString &typed);
    void remove();
    void move(int by);
    bool change(const Edit &edit, bool showNow = true);
    bool catchUp(bool showNow);
    bool writeAgainAsked();
    void readList();
    QString commit(const QStringList &before, const QString &done);
    void remember(const QStringList &before, const QString &text);
    Refusal restoreWords(const QStringList &from, const QStringList &to, const QString &done);
    void showWords(int selectRow);
    void setEditable(bool editable);
    void showNotice();

    CopyHistory &history_;
    WordListFile file_;
    bool folderEditable_ = true;
    QString outside_; // what changed elsewhere the last time, kept in view
    WordTableModel *model_ = nullptr;
    WordTableView *view_ = nullptr;
    QLineEdit *newWord_ = nullptr;
    QWidget *addButton_ = nullptr;
    QLabel *notice_ = nullptr;
};

} // namespace zampli::teacher
