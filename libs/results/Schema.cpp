// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Schema.h"

#include "results/Sqlite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <array>
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
    // 3: who played, what the adult is to read about each problem and
    // whether she has, and the indexes of the class's questions.
    "CREATE TABLE children("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL UNIQUE COLLATE NOCASE,"
    " created_ms INTEGER NOT NULL);"
    "ALTER TABLE sessions ADD COLUMN child_id INTEGER REFERENCES children(id) ON DELETE SET NULL;"
    // The adult's "now playing": read by the child's program at each batch it writes.
    "CREATE TABLE now_playing("
    " one INTEGER PRIMARY KEY CHECK (one = 1),"
    " child_id INTEGER NOT NULL REFERENCES children(id) ON DELETE CASCADE);"
    "ALTER TABLE problems ADD COLUMN detail TEXT;"
    "ALTER TABLE problems ADD COLUMN read INTEGER NOT NULL DEFAULT 0;"
    "CREATE INDEX sessions_child ON sessions(child_id);"
    // Covers what the class's tables count, so they read the index, not the rows.
    "CREATE INDEX answers_kind ON answers(session_id, asked_as, asked, chosen, right, at_ms);",
    // 4: what a school's server needs. A key each session keeps wherever its
    // answers go: a random uid, and the origin ("copy/computer/account") of a
    // session taken in from elsewhere, NULL for this file's own. The server's
    // id of a child of the class. How much of each session the server holds,
    // and why the rest waits.
    "ALTER TABLE sessions ADD COLUMN uid TEXT;"
    "ALTER TABLE sessions ADD COLUMN origin TEXT;"
    "UPDATE sessions SET uid = lower(hex(randomblob(16)));"
    "CREATE INDEX sessions_uid ON sessions(uid);"
    "ALTER TABLE children ADD COLUMN server_id INTEGER;"
    "CREATE UNIQUE INDEX children_server ON children(server_id);"
    "CREATE TABLE delivered("
    " session_id INTEGER PRIMARY KEY REFERENCES sessions(id) ON DELETE CASCADE,"
    " answers INTEGER NOT NULL,"   // the session's first answers, by id, the server holds
    " ended_ms INTEGER NOT NULL);" // the end the server was told
    "CREATE TABLE delivery("
    " one INTEGER PRIMARY KEY CHECK (one = 1),"
    " waiting_since_ms INTEGER,"   // the first failed attempt since the server last took everything
    " tried_ms INTEGER NOT NULL,"
    " reason TEXT);",
    // 5: the answers counted per session, local day and kind of question,
    // kept up by whoever inserts answers (catchUpSummaries()), so that the
    // adult's views read a row per session and kind, not one per answer.
    // By session, not by child: a session given to another child or named
    // moves no count, and an erase drops its sessions' rows. One row holds
    // the whole table of vowels asked and chosen: a row per cell would be
    // nearly one per answer (a hundred answers a day over 65 cells).
    "CREATE TABLE summary_kinds("
    " day INTEGER NOT NULL," // the Julian day, local time
    " session_id INTEGER NOT NULL,"
    " asked_as TEXT NOT NULL,"
    " chosen_as TEXT NOT NULL,"
    " asked_style INTEGER NOT NULL,"
    " chosen_style INTEGER NOT NULL,"
    " counts BLOB NOT NULL," // 25 answers [asked][chosen], then 5 right per vowel asked; 32-bit little-endian
    " PRIMARY KEY (day, session_id, asked_as, chosen_as, asked_style, chosen_style)) WITHOUT ROWID;"
    "CREATE TABLE summary_words("
    " day INTEGER NOT NULL,"
    " session_id INTEGER NOT NULL,"
    " asked_as TEXT NOT NULL,"
    " chosen_as TEXT NOT NULL,"
    " asked_style INTEGER NOT NULL,"
    " chosen_style INTEGER NOT NULL,"
    " word TEXT NOT NULL,"
    " asked INTEGER NOT NULL,"
    " wrong INTEGER NOT NULL,"
    " PRIMARY KEY (day, session_id, asked_as, chosen_as, asked_style, chosen_style, word)) WITHOUT ROWID;"
    "CREATE TABLE summary_windows("
    " session_id INTEGER NOT NULL,"
    " window TEXT NOT NULL,"
    " PRIMARY KEY (session_id, window)) WITHOUT ROWID;"
    // The last answer counted, and the answers the summaries cannot tell
    // (no vowel, a time before 1970): while any is in the file its views
    // read the answers themselves.
    "CREATE TABLE summary_mark("
    " one INTEGER PRIMARY KEY CHECK (one = 1),"
    " last_answer INTEGER NOT NULL,"
    " odd INTEGER NOT NULL);"
    "INSERT INTO summary_mark(one, last_answer, odd) VALUES(1, 0, 0);",
};

} // namespace

int schemaVersion()
{
    return int(std::size(kSteps));
}

namespace {

// An entry of a file's schema.
struct SchemaObject {
    QString type, name, table, sql;
};

QList<SchemaObject> objectsOf(sqlite3 *db, int &rc)
{
    Statement s(db, "SELECT type, name, tbl_name, sql FROM sqlite_master");
    QList<SchemaObject> out;
    while ((rc = s.step()) == SQLITE_ROW)
        out << SchemaObject{s.text(0), s.text(1), s.text(2), s.text(3)};
    rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
    return out;
}

// A statement with blanks and case aside: as earlier versions of the program
// wrote it, or as SQLite rewrote it when a step added a column.
QString bare(const QString &sql)
{
    QString out;
    for (const QChar c : sql)
        if (!c.isSpace())
            out += c.toLower();
    return out;
}

bool sameObject(const SchemaObject &a, const SchemaObject &b)
{
    return a.type == b.type && a.name == b.name && a.table == b.table && bare(a.sql) == bare(b.sql);
}

// What our steps up to each version make, read from files in memory made by
// them: the list is the steps themselves, never written out twice.
const QList<SchemaObject> &madeBySteps(int version)
{
    static const auto made = [] {
        std::array<QList<SchemaObject>, std::size(kSteps) + 1> out;
        for (int v = 1; v <= schemaVersion(); ++v) {
            SqliteDb memory;
            int rc = memory.open(QStringLiteral(":memory:"), false);
            for (int step = 0; rc == SQLITE_OK && step < v; ++step)
                rc = memory.exec(kSteps[step]);
            if (rc == SQLITE_OK)
                out[v] = objectsOf(memory.handle(), rc);
            if (rc != SQLITE_OK)
                qFatal("the results tables' steps do not run: %s", qPrintable(memory.message()));
        }
        return out;
    }();
    return made[version];
}

// The indexes ResultsReader::addIndexes() adds: plain columns of answers,
// whole (no condition, no expression), so that they change nothing read.
bool readersIndex(const SchemaObject &o)
{
    static const QRegularExpression plain(
        QStringLiteral("^createindex(ifnotexists)?answers_reader_[a-z_]+onanswers\\([a-z_]+(,[a-z_]+)*\\)$"));
    return o.type == QLatin1String("index") && o.table == QLatin1String("answers") &&
           o.name.startsWith(QLatin1String("answers_reader_")) && plain.match(bare(o.sql)).hasMatch();
}

} // namespace

int ownSchema(SqliteDb &db, qint64 version)
{
    if (version < 0 || version > schemaVersion())
        return kForeignSchema;
    int rc = SQLITE_OK;
    const QList<SchemaObject> found = objectsOf(db.handle(), rc);
    if (rc != SQLITE_OK)
        return rc;
    const QList<SchemaObject> &ours = madeBySteps(int(version));
    for (const SchemaObject &o : found)
        if (!readersIndex(o) &&
            std::none_of(ours.begin(), ours.end(), [&o](const SchemaObject &m) { return sameObject(m, o); }))
            return kForeignSchema;
    return SQLITE_OK;
}

int migrate(SqliteDb &db)
{
    int rc = SQLITE_OK;
    const qint64 version = db.number("PRAGMA user_version", &rc);
    if (rc != SQLITE_OK)
        return rc;
    if (version > schemaVersion())
        return kNewerSchema;
    rc = ownSchema(db, version);
    if (rc != SQLITE_OK)
        return rc;
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

namespace {

// SQLITE_OK once `db` holds our tables at a version this program can read.
int checkAndUpgrade(SqliteDb &db, const QString &path, bool readOnly, int busyMs)
{
    sqlite3_busy_timeout(db.handle(), busyMs);
    int rc = SQLITE_OK;
    const qint64 version = db.number("PRAGMA user_version", &rc);
    if (rc != SQLITE_OK)
        return rc;
    // Looked at before anything of the file is read. A newer file's tables
    // are read as they are, never changed; its views and triggers never run.
    if (version != 0 && version <= schemaVersion() && (rc = ownSchema(db, version)) != SQLITE_OK)
        return rc;
    Statement probe(db.handle(), "SELECT count(*) FROM answers");
    rc = probe.prepared() == SQLITE_OK ? probe.step() : probe.prepared();
    if (rc != SQLITE_ROW)
        return rc == SQLITE_ERROR ? SQLITE_NOTADB : rc; // no answers table: not ours
    if (version > schemaVersion())
        return readOnly ? SQLITE_OK : kNewerSchema; // its tables are read as they are, never changed
    if (version == schemaVersion())
        return SQLITE_OK;
    if (!readOnly)
        return migrate(db);
    SqliteDb writer;
    rc = writer.open(path, false);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(writer.handle(), busyMs);
        rc = migrate(writer);
    }
    return rc;
}

} // namespace

bool openResults(SqliteDb &db, const QString &path, bool readOnly, int busyMs, QString &error)
{
    int rc = db.open(path, readOnly);
    if (rc == SQLITE_OK && !readOnly)
        rc = db.exec("PRAGMA journal_mode=WAL; PRAGMA secure_delete=ON");
    if (rc == SQLITE_OK)
        rc = checkAndUpgrade(db, path, readOnly, busyMs);
    if (rc == SQLITE_OK)
        return true;
    if (rc == kNewerSchema)
        error = QStringLiteral("il file dei risultati %1 è stato scritto da una versione più nuova di ZAMPLI: "
                               "si può solo guardare; aggiorna ZAMPLI per cambiarlo")
                    .arg(path);
    else if (rc == kForeignSchema)
        error = QStringLiteral("il file dei risultati %1 contiene parti che ZAMPLI non scrive, forse messe da un altro "
                               "programma: avvia ZAMPLI, che lo mette da parte e ne recupera le risposte")
                    .arg(path);
    else
        error = troubleWith(path, rc);
    db.close();
    return false;
}

QString resultsFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // XDG state folders must be absolute: a relative one is ignored.
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/zampli");
}

namespace {

QString databaseNamed(const QString &folder, const QString &programPath)
{
    const QByteArray hash = QCryptographicHash::hash(programPath.toUtf8(), QCryptographicHash::Sha256).toHex().left(8);
    QString name = QFileInfo(programPath).fileName();
    if (name.isEmpty())
        name = QStringLiteral("zampli");
    return folder + QLatin1Char('/') + name + QLatin1Char('-') + QString::fromLatin1(hash) + QStringLiteral(".sqlite");
}

// The file, its log and whatever else bears its name (copies set aside) take
// the new name together, so that the log still matches its database.
void adoptDatabase(const QString &from, const QString &to)
{
    const QFileInfo old(from);
    const QStringList all = old.dir().entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : all)
        if (name.startsWith(old.fileName()))
            QFile::rename(old.dir().filePath(name), to + name.mid(old.fileName().size()));
}

} // namespace

QString resultsDatabasePath(const QString &folder, const QString &programFolder)
{
    const QString absolute = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    const QString path = databaseNamed(folder, canonical.isEmpty() ? absolute : canonical);
    // A file named from another spelling of this folder keeps the history.
    const QString older = databaseNamed(folder, QFileInfo(programFolder).absoluteFilePath());
    if (older != path && !QFileInfo::exists(path) && QFileInfo(older).isFile())
        adoptDatabase(older, path);
    return path;
}

} // namespace zampli
