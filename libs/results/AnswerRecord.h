// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

// How a vowel was put before the child, or how the child's choice showed it.
// Kept as words in the database, so that a file opened by hand reads plainly.
enum class Shown {
    Voice,  // heard: "voce"
    Letter, // a written letter in one of the four styles: "lettera"
    Face,   // the mouth that says it: "faccia"
    Word,   // a word whose first vowel counts: "parola"
    Tile,   // the coloured tile of a vowel: "tessera"
};

QString shownName(Shown s);

// One answer of the child, as the window judged it. Nothing in it names the
// child: the adult may label a session later, on the machine only.
struct AnswerRecord {
    qint64 atMs = 0;        // when, in UTC milliseconds since 1970
    QString window;         // the window's design name, "FormZampli3"
    int turn = 0;           // the question's number in the window, from 1
    QString asked;          // the vowel asked, "A".."U"
    Shown askedAs = Shown::Voice;
    int askedStyle = 0;     // 1..4 when asked as a letter, else 0
    QString word;           // the word of INIZIA PER, else empty
    QString chosen;         // the vowel chosen, "A".."U"
    Shown chosenAs = Shown::Face;
    int chosenStyle = 0;    // 1..4 when chosen among letters, else 0
    bool right = false;
    qint64 answerMs = 0;    // from the question to this answer
};

} // namespace zampli
