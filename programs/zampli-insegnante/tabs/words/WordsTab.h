// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shared/EditableTab.h"

#include <QWidget>

class QLabel;

namespace zampli::teacher {

struct TeacherServices;
class CopyHistory;
class WordListEditor;
class WordMediaPanel;

// One vowel's word list, each word with its picture, voice and state: the
// words' editor above, the picked word's picture and voice below, and one
// line that says what the last command did. Every change goes on the copy's
// history (a tab of its own makes its own).
class WordsTab : public QWidget, public EditableTab {
    Q_OBJECT
public:
    WordsTab(TeacherServices &services, const QString &folder, const QString &vowel, CopyHistory *history = nullptr,
             QWidget *parent = nullptr);
    ~WordsTab() override;

    void setFolderEditable(bool editable) override;
    // Reads the list again from disk, with its pictures and voices.
    void reload();
    // Why this list may not be changed; empty when it may.
    const QString &readOnlyReason() const;
    // Looks at the files again after another tab changed them.
    void refreshFiles();

signals:
    void filesChanged();
    // "Importa parole…": the window asks for the other copy.
    void importAsked();

protected:
    bool event(QEvent *event) override;

private:
    CopyHistory &historyFor(const QString &folder, CopyHistory *history);
    void say(const QString &text, bool problem = false);

    WordListEditor *editor_ = nullptr;
    WordMediaPanel *media_ = nullptr;
    QLabel *message_ = nullptr;
};

} // namespace zampli::teacher
