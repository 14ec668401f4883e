// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "school/PgConnection.h"

#include <QString>
#include <functional>

namespace zampli {

// What a pull from the server did.
struct MirrorPull {
    bool ok = false;     // the file now holds what the server held
    PgConnection::Trouble trouble = PgConnection::Trouble::None;
    QString error;       // in Italian, as a clause, when not ok
    int answersAdded = 0;
};

// What the teacher's computer last read from the school's server, kept in
// a results file of her own (same tables as a copy's, so every view of the
// Risultati tab reads it through ResultsReader unchanged): the children by
// the server's ids (also their server_id), each session with its key
// (uid, origin "copy/computer/account") under the server's session id, its
// answers under the server's answer ids. When the server is away she still
// sees this, with the time it was read.
class SchoolMirror {
public:
    explicit SchoolMirror(QString path) : path_(std::move(path)) {}

    // $XDG_CACHE_HOME/zampli/scuola-<hash of server and database>.sqlite:
    // one file per class, whichever copy shows it.
    static QString pathFor(const PgParams &params);

    const QString &path() const { return path_; }
    // When the file was last filled from the server; 0 when never.
    qint64 readMs() const;
    // The zone the school counts its days in, as last read; empty when never.
    QString timeZone() const;

    // Brings the file up to what the server `db` holds, `db` open as the
    // teacher: new answers by the server's ids, children and sessions
    // erased there taken away here. `progress(done, total)` is called with
    // the answers fetched; returning false stops the pull, leaving the file
    // as it was.
    MirrorPull pull(PgConnection &db, const std::function<bool(qint64, qint64)> &progress = {});

private:
    QString path_;
};

} // namespace zampli
