// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

namespace zampli {

// A class at school: every child plays one session each weekday, with
// answers spread evenly over the four ways a vowel is put (heard, the face,
// the letter, a word's initial) and the five vowels. Each child has two
// mix-ups of her own, from a table of ten: the k-th child's first is row
// k mod 10, taken in 45 % of the answers to that vowel put that way; her
// second is row (k + 3) mod 10, taken in 25 %. Any other answer is wrong by
// chance once in 33. The same plan gives the same answers.
//   rows: 0 heard E as I, 1 heard O as U, 2 face A as O, 3 letter I as E,
//         4 word O as A, 5 heard U as O, 6 face I as E, 7 letter O as A,
//         8 word E as I, 9 letter A as E
// Children, in order: Alessia, Bruno, Chiara, Davide, Elena, Federico,
// Giulia, Hamid, Irene, Luca, Marco, Nicolò, Olivia, Pietro, Rebecca, Sofia,
// Tommaso, Ugo, Viola, Zeno, Anna, Beatrice, Carlo, Diego, Emma, Filippo,
// Greta, Leonardo, Matilde, Noemi.
struct ClassPlan {
    QDate lastDay;
    int children = 30;      // at most 30
    int days = 200;         // weekdays each child plays, up to lastDay
    int answersPerDay = 100;
    unsigned seed = 1;
};

// Writes the class into a new results file at `path`, the children named
// and each session given to its child the way the child's program does it.
// The answers written; -1 with the reason in Italian in `error`.
int writeClassOfAnswers(const QString &path, const ClassPlan &plan, QString &error);

} // namespace zampli
