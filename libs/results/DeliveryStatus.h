// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

class SqliteDb;

// How far a results file's answers are from the school's server, as the
// child's program last found it: read by the adult's programs, which need
// no client library for it.
struct DeliveryStatus {
    qint64 waiting = 0;        // answers of this file the server does not hold yet
    qint64 waitingSinceMs = 0; // the first attempt that failed since the server last took everything; 0: none failed
    qint64 triedMs = 0;        // the last attempt that failed
    QString reason;            // why, in Italian, as a clause; empty when nothing failed
    bool ok = true;            // false when the file could not be read
};

// Reads the status from an open results file of version 4 or later.
DeliveryStatus deliveryStatus(SqliteDb &db);

// One sentence for the adult about what waits for the server, with what
// becomes of it; empty when the server holds every answer.
QString deliveryText(const DeliveryStatus &s);

} // namespace zampli
