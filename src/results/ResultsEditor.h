// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/Sqlite.h"

#include <QStringList>

namespace zampli {

// The adult's changes to a results database: names given to sessions, and
// sessions taken away. The child's program never links a use of it.
class ResultsEditor {
public:
    // False, with the reason in error(), when the file is missing or cannot be written.
    bool open(const QString &path);
    QString error() const { return error_; }

    // A blank name takes the name away. False when no such session.
    bool labelSession(qint64 session, const QString &label);
    bool deleteSession(qint64 session);
    // The sessions of `label` with their answers; how many sessions went.
    int eraseLabel(const QString &label);
    int eraseAll();
    // The names given so far, sorted.
    QStringList labels();

private:
    int eraseWhere(const char *where, const QString &label);

    SqliteDb db_;
    QString error_;
};

} // namespace zampli
