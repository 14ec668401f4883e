// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Schema.h"

#include "results/Sqlite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace zampli {

namespace {

// Step k takes a file from version k to version k + 1. A step once shipped
// never changes: a new version adds a step.
const char *const kSteps[] = {
    // 1: sessions and answers.
    "CREATE TABLE sessions("
    " id INTEGER PRIMARY KEY,"
    " started_ms INTEGER NOT NULL,"
    " ended_ms INTEGER NOT NULL,"  // the last moment known of the session
    " program_folder TEXT NOT NULL,"
    " label TEXT);"                // a name the adult gives, on this machine only
    "CREATE TABLE answers("
    " id INTEGER PRIMARY KEY,"
    " session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,"
    " at_ms INTEGER NOT NULL,"
    " window TEXT NOT NULL,"
    " turn INTEGER NOT NULL,"
    " asked TEXT NOT NULL,"
    " asked_as TEXT NOT NULL,"
    " asked_style INTEGER NOT NULL,"
    " word TEXT,"
    " chosen TEXT NOT NULL,"
    " chosen_as TEXT NOT NULL,"
    " chosen_style INTEGER NOT NULL,"
    " right INTEGER NOT NULL,"
    " answer_ms INTEGER NOT NULL);"
    "CREATE INDEX answers_at ON answers(at_ms);"
    "CREATE INDEX answers_session ON answers(session_id);",
    // 2: what the writer could not keep (answers dropped past its memory's
    // cap), and the batches merged from the file of answers set aside at an
    // end, so that a batch merged once is never merged again.
    "CREATE TABLE problems("
    " id INTEGER PRIMARY KEY,"
    " at_ms INTEGER NOT NULL,"
    " kind TEXT NOT NULL,"
    " count INTEGER NOT NULL);"
    "CREATE TABLE merged_batches("
    " id TEXT PRIMARY KEY,"
    " merged_ms INTEGER NOT NULL);",
};

} // namespace

int schemaVersion()
{
    return int(std::size(kSteps));
}

int migrate(SqliteDb &db)
{
    int rc = SQLITE_OK;
    const qint64 version = db.number("PRAGMA user_version", &rc);
    if (rc != SQLITE_OK)
        return rc;
    if (version > schemaVersion())
        return kNewerSchema;
    for (int v = int(version); v < schemaVersion(); ++v) {
        const QByteArray step = QByteArray("BEGIN IMMEDIATE;") + kSteps[v] +
                                QByteArray("PRAGMA user_version=") + QByteArray::number(v + 1) + ";COMMIT;";
        rc = db.exec(step.constData());
        if (rc != SQLITE_OK) {
            db.exec("ROLLBACK");
            return rc;
        }
    }
    return SQLITE_OK;
}

QString resultsFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // XDG state folders must be absolute: a relative one is ignored.
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/zampli");
}

QString resultsDatabasePath(const QString &folder, const QString &programFolder)
{
    const QString absolute = QFileInfo(programFolder).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha256).toHex().left(8);
    QString name = QFileInfo(absolute).fileName();
    if (name.isEmpty())
        name = QStringLiteral("zampli");
    return folder + QLatin1Char('/') + name + QLatin1Char('-') + QString::fromLatin1(hash) + QStringLiteral(".sqlite");
}

} // namespace zampli
