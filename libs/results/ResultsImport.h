// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

// What taking in another computer's results file did.
struct ResultsTakenIn {
    int answersAdded = 0;
    int answersAlready = 0; // in sessions this file held already
    int sessionsAdded = 0;
};

// Takes into the results file `target` the sessions of `source`, a results
// file of another account or computer, read only and as data: each session
// by its key (uid, and origin: a session of `source`'s own gets
// "altro computer/<source's name>"), one already in `target` skipped, so
// the same file taken twice adds nothing; its child matched by name, added
// when missing. False, with the reason in Italian, when `source` is not a
// results file of ZAMPLI or `target` cannot be written; then nothing changed.
bool takeInResults(const QString &target, const QString &source, ResultsTakenIn &count, QString &error);

} // namespace zampli
