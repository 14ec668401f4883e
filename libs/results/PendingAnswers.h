// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsEvent.h"

#include <QByteArrayView>
#include <vector>

namespace zampli {

// What could not reach the database before the program ended waits in a
// small text file beside it, one JSON object a line, until the next start
// merges it. Each batch carries an id, so that one merged already is known.
struct PendingBatch {
    QString id;
    qint64 sessionRow = 0;     // the session's row in the database the batch goes on with; 0: none
    qint64 sessionStartMs = 0; // when that session started, to tell it from a later row of the same number
    std::vector<ResultsEvent> events;
};

struct PendingRead {
    std::vector<PendingBatch> batches;
    int unreadable = 0; // lines that are no record of ours
};

// "<database>.in-attesa"
QString pendingPath(const QString &database);

// Adds `batch` to the file beside `database`, which is written whole through
// a temporary file renamed into place, never through a link.
bool appendPending(const QString &database, const PendingBatch &batch);

PendingRead readPending(const QString &database);

// The lines of the file, and back: what pendingLines() writes parsePending() reads whole.
QByteArray pendingLines(const PendingBatch &batch);
PendingRead parsePending(QByteArrayView bytes);

} // namespace zampli
