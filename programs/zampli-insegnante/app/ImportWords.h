// SPDX-License-Identifier: GPL-3.0-or-later
// Words brought from another copy (its folder or its .zampli file) into the
// open one, with their pictures and voices: the teacher ticks them list by
// list, a word she has already keeps her files unless she asks otherwise,
// and the whole import is one change of the copy's history.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class QCheckBox;
class QPushButton;
class QTreeWidget;

namespace zampli::teacher {

class CopyHistory;

inline constexpr std::array<char, 5> kImportVowels{'a', 'e', 'i', 'o', 'u'};

// A word of the other copy, with its files' bytes (empty when it has none).
struct SourceWord {
    QString word;
    QByteArray picture;
    QByteArray voice;
};

// The other copy as read: a list per vowel (a, e, i, o, u), or why it
// could not be read, for the teacher.
struct ImportSource {
    QString name; // the folder or file, as she chose it
    std::array<QList<SourceWord>, 5> lists;
    QString problem;
};

// Reads the copy in `path`, a folder or a .zampli file; `folder` is the open
// copy, which cannot be its own source.
ImportSource readImportSource(const QString &path, const QString &folder);

// One ticked word: its list (index into kImportVowels) and its row there.
struct ImportChoice {
    int list = 0;
    int row = 0;
};

struct ImportOutcome {
    int imported = 0;    // words added, or whose files were replaced
    QStringList refused; // one line a word left out, saying why
    QString problem;     // a write that failed: nothing was imported
    QStringList kept;    // words she had already, her files kept
    QString summary() const;
};

// Brings the chosen words into the lists of `folder` with their files, each
// written whole, as one change of `history`; a word she already has keeps
// her picture and voice unless `replace`. `changed` runs after the import
// and after each undo or redo of it.
ImportOutcome importWords(const QString &folder, CopyHistory &history, const ImportSource &source,
                          const QList<ImportChoice> &chosen, bool replace, const std::function<void()> &changed);

// The other copy's words, list by list, each with its small picture, whether
// it has a voice and a tick box (none ticked at first); a word already in
// her list is marked «c'è già».
class ImportWordsDialog : public QDialog {
    Q_OBJECT
public:
    ImportWordsDialog(const ImportSource &source, const QString &folder, QWidget *parent = nullptr);

    QList<ImportChoice> chosen() const;
    bool replace() const;

private:
    QWidget *listBox(const ImportSource &source, int list, const QStringList &hers);
    void countChosen();

    std::array<QTreeWidget *, 5> trees_{};
    QCheckBox *replace_ = nullptr;
    QPushButton *import_ = nullptr;
};

// The whole of it for the window: the teacher picks a folder or a file, ticks
// the words, and they come. What to show her afterwards, empty when she
// changed her mind.
QString importWordsAsking(QWidget *parent, const QString &folder, CopyHistory &history,
                          const std::function<void()> &changed);

} // namespace zampli::teacher
