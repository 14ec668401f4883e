// SPDX-License-Identifier: GPL-3.0-or-later
// Words brought from another copy (its folder or its .zampli file) into the
// open one, with their pictures and voices: a word she has already keeps
// her files unless she asks otherwise, and the whole import is one change
// of the copy's history.
#pragma once

#include "tabs/words/ImportSource.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace zampli::teacher {

class CopyHistory;

// She has the word already: a list forgives case, as the program does.
bool holdsWord(const QStringList &words, const QString &word);

// One ticked word: its list (0 for A ... 4 for U) and its row there.
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

} // namespace zampli::teacher
