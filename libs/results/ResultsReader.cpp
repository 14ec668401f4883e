// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsReader.h"

#include "results/CsvField.h"
#include "results/ResultsQuery.h"
#include "results/Schema.h"
#include "results/SummaryViews.h"
#include "safefile/WholeFile.h"

#include <QDateTime>
#include <sqlite3.h>
#include <algorithm>
#include <tuple>

namespace zampli {

QString unnamedChild()
{
    return QStringLiteral("senza nome");
}

QString problemText(const ProblemEntry &p)
{
    const QString when = QDateTime::fromMSecsSinceEpoch(p.atMs).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    QString what = p.detail;
    if (what.isEmpty() && p.kind == QLatin1String("risposte perse"))
        what = (p.count == 1 ? QStringLiteral("1 risposta non è stata conservata")
                             : QStringLiteral("%1 risposte non sono state conservate").arg(p.count)) +
               QStringLiteral(": il file dei risultati non si è potuto scrivere troppo a lungo. Controlla che il "
                              "disco non sia pieno e che nessun altro programma tenga aperto il file.");
    if (what.isEmpty())
        what = p.kind;
    return QStringLiteral("%1: %2").arg(when, what);
}

bool ResultsReader::open(const QString &path)
{
    path_ = path;
    error_.clear();
    // A file that is no database, or holds no answers table, says so here.
    return openResults(db_, path, true, 1000, error_);
}

// A query that stopped before its last row leaves the reason for the adult.
bool ResultsReader::failedWith(int rc)
{
    if (rc == SQLITE_DONE)
        return false;
    if (db_.isOpen() || error_.isEmpty())
        error_ = troubleWith(path_, db_.isOpen() ? rc : SQLITE_CANTOPEN);
    return true;
}

const SummaryData *ResultsReader::summaries()
{
    if (!useSummaries_ || !db_.isOpen())
        return nullptr;
    const qint64 version = dataVersion();
    if (summary_ && version == summaryVersion_)
        return summary_.get();
    // Read whole, once per change of the file: every view of every filter
    // then folds rows in memory, and a change of filter reads nothing.
    auto read = std::make_shared<SummaryData>();
    if (!readSummaries(db_, *read))
        return nullptr; // behind the answers or stopped: asked again next time
    summary_ = std::move(read);
    summaryVersion_ = version;
    return summary_.get();
}

QList<SessionSummary> ResultsReader::sessions(const ResultsFilter &f)
{
    if (const SummaryData *d = summaries()) {
        QHash<qint64, QString> names;
        for (const ChildEntry &c : children())
            names.insert(c.id, c.name);
        return SummaryViews(*d, f).sessions(names);
    }
    Statement s(db_.handle(),
                "SELECT s.id, s.started_ms, s.ended_ms, s.label, s.child_id, c.name,"
                " (SELECT group_concat(w, ' ') FROM (SELECT DISTINCT window AS w FROM answers"
                "   WHERE session_id = s.id ORDER BY w)),"
                " (SELECT count(*) FROM answers a WHERE a.session_id = s.id AND a.right = 1" RESULTS_KIND_FILTER "),"
                " (SELECT count(*) FROM answers a WHERE a.session_id = s.id AND a.right = 0" RESULTS_KIND_FILTER ")"
                " FROM sessions s LEFT JOIN children c ON c.id = s.child_id"
                " WHERE s.ended_ms >= ?1 AND s.started_ms <= ?2 AND (?3 IS NULL OR s.label = ?3)" RESULTS_CHILD_FILTER
                " AND EXISTS (SELECT 1 FROM answers a WHERE a.session_id = s.id" RESULTS_KIND_FILTER ")"
                " ORDER BY s.started_ms, s.id");
    bindFilter(s, f);
    QList<SessionSummary> out;
    failedWith(forEachRow(s, [&] {
        out << SessionSummary{s.integer(0), s.integer(1), s.integer(2), s.text(3), s.integer(4), s.text(5),
                              s.text(6).split(QLatin1Char(' '), Qt::SkipEmptyParts), int(s.integer(7)),
                              int(s.integer(8))};
    }));
    return out;
}

QList<ChildEntry> ResultsReader::children()
{
    Statement s(db_.handle(), "SELECT id, name, created_ms FROM children ORDER BY name COLLATE NOCASE, id");
    QList<ChildEntry> out;
    failedWith(forEachRow(s, [&] { out << ChildEntry{s.integer(0), s.text(1), s.integer(2)}; }));
    return out;
}

QList<ProblemEntry> ResultsReader::problems(bool unreadOnly)
{
    Statement s(db_.handle(), "SELECT id, at_ms, kind, detail, count, read FROM problems"
                              " WHERE ?1 = 0 OR read = 0 ORDER BY at_ms, id");
    s.bind(1, qint64(unreadOnly));
    QList<ProblemEntry> out;
    failedWith(forEachRow(s, [&] {
        out << ProblemEntry{s.integer(0), s.integer(1), s.text(2), s.text(3), int(s.integer(4)), s.integer(5) != 0};
    }));
    return out;
}

QList<MissedWord> ResultsReader::mostMissedWords(int limit, const ResultsFilter &f)
{
    if (const SummaryData *d = summaries(); d && SummaryViews(*d, f).wholeDays())
        return SummaryViews(*d, f).mostMissedWords(limit);
    Statement s(db_.handle(), "SELECT a.word, sum(a.right = 0) AS missed, count(*)" FILTERED_ANSWERS
                              " AND a.word IS NOT NULL GROUP BY a.word HAVING missed > 0"
                              " ORDER BY missed DESC, a.word LIMIT ?4");
    bindFilter(s, f);
    s.bind(4, qint64(limit));
    QList<MissedWord> out;
    failedWith(forEachRow(s, [&] { out << MissedWord{s.text(0), int(s.integer(1)), int(s.integer(2))}; }));
    return out;
}

// The sessions of the filter, for the questions that walk answers session by session.
#define FILTERED_SESSIONS                                                                                              \
    " a.session_id IN (SELECT s.id FROM sessions s WHERE s.ended_ms >= ?1 AND s.started_ms <= ?2"                    \
    " AND (?3 IS NULL OR s.label = ?3)" RESULTS_CHILD_FILTER ") AND a.at_ms >= ?1 AND a.at_ms <= ?2" RESULTS_KIND_FILTER

QList<KindConfusion> ResultsReader::confusionByKind(const ResultsFilter &f)
{
    if (const SummaryData *d = summaries(); d && SummaryViews(*d, f).wholeDays())
        return SummaryViews(*d, f).confusionByKind();
    // "+a.at_ms" keeps the time index out: one pass along answers_kind needs no sorting.
    Statement s(db_.handle(), "SELECT a.asked_as, a.chosen_as, a.asked_style, a.chosen_style, a.asked, a.chosen,"
                              " count(*) FROM answers a WHERE +a.at_ms >= ?1 AND +a.at_ms <= ?2"
                              " AND" FILTERED_SESSION_OF_ANSWER
                              " GROUP BY 1, 2, 3, 4, 5, 6");
    bindFilter(s, f);
    QList<KindConfusion> out;
    while (s.step() == SQLITE_ROW) {
        const QString asked = s.text(0), chosen = s.text(1);
        const qint64 style = asked == QLatin1String("lettera")    ? s.integer(2)
                             : chosen == QLatin1String("lettera") ? s.integer(3)
                                                                  : 0;
        const QuestionKind kind{asked, chosen, int(style)};
        auto at = std::find_if(out.begin(), out.end(), [&](const KindConfusion &k) { return k.kind == kind; });
        if (at == out.end())
            at = out.insert(out.end(), KindConfusion{kind, {}});
        const int a = vowelIndex(s.text(4)), c = vowelIndex(s.text(5));
        if (a >= 0 && c >= 0)
            at->counts[a][c] += int(s.integer(6));
    }
    std::stable_sort(out.begin(), out.end(), [](const KindConfusion &x, const KindConfusion &y) {
        return std::tie(x.kind.askedAs, x.kind.chosenAs, x.kind.style) <
               std::tie(y.kind.askedAs, y.kind.chosenAs, y.kind.style);
    });
    return out;
}

QList<SessionVowel> ResultsReader::vowelsBySession(const ResultsFilter &f)
{
    if (const SummaryData *d = summaries(); d && SummaryViews(*d, f).wholeDays())
        return SummaryViews(*d, f).vowelsBySession();
    Statement s(db_.handle(), "SELECT a.session_id, a.asked, sum(a.right), count(*) FROM answers a WHERE"
                              FILTERED_SESSIONS " GROUP BY a.session_id, a.asked");
    bindFilter(s, f);
    QList<SessionVowel> out;
    while (s.step() == SQLITE_ROW) {
        const int v = vowelIndex(s.text(1));
        if (v >= 0)
            out << SessionVowel{s.integer(0), v, int(s.integer(2)), int(s.integer(3) - s.integer(2))};
    }
    return out;
}

bool ResultsReader::exportCsv(const QString &path, const ResultsFilter &f)
{
    // The name is the child's, else the label given to the session.
    Statement s(db_.handle(), "SELECT a.at_ms, a.session_id,"
                              " coalesce((SELECT name FROM children WHERE id = s.child_id), s.label),"
                              " a.window, a.turn, a.asked, a.asked_as, a.asked_style, a.word, a.chosen, a.chosen_as, a.chosen_style, a.right, a.answer_ms"
                              FILTERED_ANSWERS " ORDER BY a.at_ms, a.id");
    bindFilter(s, f);
    QString text = QStringLiteral("\uFEFF") + QString::fromLatin1(kAnswersCsvHeader) + QStringLiteral("\r\n");
    const int rc = forEachRow(s, [&] {
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(s.integer(0)).toLocalTime();
        const QStringList fields = {
            at.toString(QStringLiteral("dd/MM/yyyy")), at.toString(QStringLiteral("HH:mm:ss")),
            QString::number(s.integer(1)), s.text(2), s.text(3), QString::number(s.integer(4)), s.text(5), s.text(6),
            csvStyle(s.integer(7)), s.text(8), s.text(9), s.text(10), csvStyle(s.integer(11)),
            s.integer(12) ? QStringLiteral("giusto") : QStringLiteral("sbagliato"), QString::number(s.integer(13))};
        QStringList quoted;
        for (const QString &field : fields)
            quoted << csvField(field);
        text += quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    });
    // Half the answers written as if they were all would mislead: nothing is written.
    if (failedWith(rc))
        return false;
    return writeWhole(path, text.toUtf8());
}

bool ResultsReader::writeWhole(const QString &path, const QByteArray &bytes)
{
    const WholeWrite write = zampli::writeWhole(path, bytes);
    if (write.creating)
        error_ = QStringLiteral("impossibile creare %1 (%2): scegli un'altra cartella").arg(path, write.reason);
    else if (!write.ok())
        error_ = QStringLiteral("%1 non è stato scritto (%2): libera spazio sul disco o scegli un'altra cartella")
                     .arg(path, write.reason);
    return write.ok();
}

QStringList ResultsReader::labels()
{
    Statement s(db_.handle(), "SELECT DISTINCT label FROM sessions WHERE label IS NOT NULL ORDER BY label");
    QStringList out;
    while (s.step() == SQLITE_ROW)
        out << s.text(0);
    return out;
}

bool ResultsReader::unnamedAnswers()
{
    return db_.number("SELECT EXISTS (SELECT 1 FROM sessions s WHERE s.child_id IS NULL"
                      " AND EXISTS (SELECT 1 FROM answers WHERE session_id = s.id))") > 0;
}

qint64 ResultsReader::firstAnswerMs()
{
    return std::max<qint64>(0, db_.number("SELECT coalesce(min(at_ms), 0) FROM answers"));
}

qint64 ResultsReader::dataVersion()
{
    return db_.number("PRAGMA data_version");
}

bool ResultsReader::fileMoved()
{
    int moved = 0;
    return db_.isOpen() &&
           sqlite3_file_control(db_.handle(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved;
}

void ResultsReader::setStopCheck(std::function<bool()> stop)
{
    stop_ = std::move(stop);
    sqlite3_progress_handler(
        db_.handle(), stop_ ? 4000 : 0,
        [](void *self) { return static_cast<ResultsReader *>(self)->stop_() ? 1 : 0; }, this);
}

bool ResultsReader::summarise(const QString &path, const std::function<void(qint64, qint64)> &progress)
{
    SqliteDb db;
    if (db.open(path, false, SqliteDb::Create::Never) != SQLITE_OK)
        return false;
    sqlite3_busy_timeout(db.handle(), 200);
    int rc = SQLITE_OK;
    const qint64 version = db.number("PRAGMA user_version", &rc);
    // Only a file of our own version: an older one is brought up to date by
    // the reader's opening, a newer one is never changed.
    if (rc != SQLITE_OK || version != schemaVersion() || ownSchema(db, version) != SQLITE_OK)
        return false;
    return catchUpSummaries(db, progress) == SQLITE_OK;
}

bool ResultsReader::addIndexes(const QString &path)
{
    // Read-write but never created: a file gone meanwhile stays gone. Through
    // our own connection, which trusts nothing the file's schema names.
    SqliteDb db;
    if (db.open(path, false, SqliteDb::Create::Never) != SQLITE_OK)
        return false;
    // A writer holds the file only for a batch; longer, and the indexes wait for the next reading.
    sqlite3_busy_timeout(db.handle(), 200);
    int rc = SQLITE_OK;
    const qint64 version = db.number("PRAGMA user_version", &rc);
    if (rc != SQLITE_OK || version < 1 || version > schemaVersion() || ownSchema(db, version) != SQLITE_OK)
        return false; // not ours yet, or a newer program's, or changed by another: left as it is
    // Named apart from the schema's own indexes, which a later version's step
    // may create: a name taken here would make that step fail.
    // The matrices group along the first, the sessions' tallies along the second.
    return db.exec("CREATE INDEX IF NOT EXISTS answers_reader_kinds ON answers(asked_as, chosen_as, asked_style,"
                   " chosen_style, asked, chosen, at_ms, session_id);"
                   "CREATE INDEX IF NOT EXISTS answers_reader_tally ON answers(session_id, asked, right, window,"
                   " at_ms);") == SQLITE_OK;
}

} // namespace zampli
