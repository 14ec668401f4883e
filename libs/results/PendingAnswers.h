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

// The most the file may hold. A run sets aside only what it could not write
// (an answer is ~260 bytes, so 4 MB is 16,000 answers, nine hours of a
// child's play in one run); more is no file of ours, and is left unread. A
// single batch larger still is written all the same, to be set aside whole.
inline constexpr qint64 kMaxPendingBytes = 4 << 20;

struct PendingRead {
    std::vector<PendingBatch> batches;
    int unreadable = 0; // lines that are no record of ours
    // Why the file was left unread, in words for the adult ("è una pipe, non
    // un file"): no regular file, or past kMaxPendingBytes. Empty when read
    // or when there is none.
    QString refused;
};

// "<database>.in-attesa"
QString pendingPath(const QString &database);

struct PendingWrite {
    bool written = false;
    // What lay at the file's place was no file of answers to add to: nothing
    // was written, and why is said here for the adult. It is set aside
    // before another try.
    QString refused;
};

// Adds `batch` to the file beside `database`, which is written whole through
// a temporary file renamed into place, never through a link. What was there
// is read only when it is a regular file, and the two together fit in
// kMaxPendingBytes.
PendingWrite appendPending(const QString &database, const PendingBatch &batch);

// The file, read line by line, never more than kMaxPendingBytes, only when
// it is a regular file.
PendingRead readPending(const QString &database);

// The file's bytes as they come, in pieces of any size, into batches. A line
// is held only up to 64 kB (an answer's is ~260 bytes): a longer one is
// counted unreadable, and the rest of it passed over.
class PendingParser {
public:
    void add(QByteArrayView bytes);
    // The last line, even without its end; what was read.
    PendingRead finish();

private:
    PendingRead read_;
    QByteArray line_;
    bool tooLong_ = false;
};

// The lines of the file, and back: what pendingLines() writes parsePending() reads whole.
QByteArray pendingLines(const PendingBatch &batch);
inline PendingRead parsePending(QByteArrayView bytes)
{
    PendingParser parser;
    parser.add(bytes);
    return parser.finish();
}

} // namespace zampli
