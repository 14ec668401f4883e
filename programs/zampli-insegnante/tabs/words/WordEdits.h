// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli::teacher {

class WordListDocument;

// What a change of the list tells the teacher; a refused change leaves the list as it was.
struct Said {
    QString text;
    bool refused = false;
    QString undo; // the change as the Modifica menu names it: "aggiungi «ape»"
};

// The teacher's changes to a list as it is on disk now, each with what it
// tells her. `at` is where the word ends up, -1 when it is no longer there.
Said addWord(WordListDocument &list, const QString &typed, int &at);
Said renameWord(WordListDocument &list, const QString &old, const QString &typed, int &at);
Said removeWord(WordListDocument &list, const QString &word, int &at);
Said moveWord(WordListDocument &list, const QString &word, int by, int &at);

} // namespace zampli::teacher
