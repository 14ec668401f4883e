// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "school/PgConnection.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

namespace zampli::teacher {

// The class's answers pulled from the school's server into the teacher's
// own file, on a thread of its own so the window never waits for the
// network; a change to the server's children (added, renamed, erased) runs
// there first, then the pull. The children pulled go to the copy's own
// results file too, for "Ora gioca".
class SchoolSync : public QObject {
    Q_OBJECT
public:
    // A change to run as the teacher; empty when done, else why not in Italian.
    using Change = std::function<QString(PgConnection &)>;

    SchoolSync(PgParams teacher, QString mirror, QString copyResults, QObject *parent = nullptr);
    ~SchoolSync() override;

    const QString &mirror() const { return mirror_; }
    // Pulls now, or once the pull under way ends.
    void pull();
    // Runs `change` on the server, then pulls; changed() tells how it went.
    void change(Change change, QString doneText);
    bool busy() const { return running_; }

signals:
    void progress(qint64 done, qint64 total);
    // A pull ended: `said` is the line for the teacher (empty when nothing to say).
    void pulled(bool ok, const QString &said);
    void changed(bool ok, const QString &said);

private:
    void start();
    void finished(bool ok, const QString &said, bool wasChange, bool changeOk, const QString &changeSaid);

    PgParams teacher_;
    QString mirror_;
    QString copyResults_;
    std::unique_ptr<QThread> thread_;
    bool running_ = false;
    bool again_ = false;
    QList<std::pair<Change, QString>> changes_;
    std::atomic<bool> stopping_{false};
};

// "il 7 dicembre alle 10:42"
QString readAtText(qint64 ms);

} // namespace zampli::teacher
