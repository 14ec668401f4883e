// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

struct SalvageReport {
    bool replaced = false; // a fresh file is at the path
    QString aside;         // where the damaged file was put; empty when it could not be moved
    int answersSaved = 0;
    int answersLost = 0;   // as far as the damaged file still tells
    bool lostCounted = false; // it told how many it held: answersLost is exact, not a least
    bool foreign = false;     // not damaged but not ours: it held what ZAMPLI never writes
};

// A free name beside `path` for a copy of it set aside:
// "<path>.guasto-<date>-<time>", numbered when taken.
QString damagedName(const QString &path);

// Moves the damaged results file at `path` aside, untouched, and puts at
// `path` a fresh file of the current tables holding every row that can still
// be read, table by table and row by row. Answers whose session was lost get
// a session of their own, so that they still show. What it cost is recorded
// in the fresh file's problems for the adult. `programFolder` names the
// sessions made anew. `foreign`: the file is whole but holds what none of our
// versions made (ownSchema()); only our tables' rows are carried over.
SalvageReport salvageDamaged(const QString &path, const QString &programFolder, bool foreign);

// The adult's line about a salvage: what was saved and lost, and where the
// damaged file lies.
QString salvageText(const QString &path, const SalvageReport &r);

} // namespace zampli
