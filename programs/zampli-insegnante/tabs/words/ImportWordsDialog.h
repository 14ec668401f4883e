// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher picks another copy and ticks, list by list, the words to bring.
#pragma once

#include "tabs/words/ImportWords.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;
class QTreeWidget;

namespace zampli::teacher {

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

    std::array<QTreeWidget *, kVowelCount> trees_{};
    QCheckBox *replace_ = nullptr;
    QPushButton *import_ = nullptr;
};

// The whole of it for the window: the teacher picks a folder or a file, ticks
// the words, and they come. What to show her afterwards, empty when she
// changed her mind.
QString importWordsAsking(QWidget *parent, const QString &folder, CopyHistory &history,
                          const std::function<void()> &changed);

} // namespace zampli::teacher
