// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace zampli::teacher {

// Why `word` cannot go into a list, in words the teacher understands and with
// what to do; empty when it can. A word is also the name of its picture and
// voice files, so the rule is the child's reader's (isPlainWord) and a little
// stricter: no leading dot (a hidden file), no comma or quote (the list's own
// separators), no name longer than a file name may be. `others` are the
// list's other words: a second "ape" would share the first one's files.
QString wordRefusal(const QString &word, const QStringList &others = {});

// Why `word` cannot be new in the list of `vowel`; empty when it can. The
// child is asked which vowel a word begins with, so it must begin with the
// list's own, accented or not ("èlica" is an E word); an article in front
// ("l'albero", "un'ape") is the usual slip. Words already in a list are
// never judged by this.
QString initialRefusal(const QString &word, QChar vowel);

// The word as it goes into the list: blanks at either end dropped, as the
// reader drops them.
QString cleanedWord(const QString &typed);

} // namespace zampli::teacher
