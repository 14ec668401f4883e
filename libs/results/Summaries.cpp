// SPDX-License-Identifier: GPL-3.0-or-later
// The summaries of the answers: kept up by whoever inserts answers, read by
// the adult's views in place of the answers themselves.
#include "results/Summaries.h"

#include "catalog/Vowels.h"
#include "results/Sqlite.h"

#include <QDateTime>
#include <QTimeZone>
#include <QSet>
#include <QtEndian>
#include <sqlite3.h>

namespace zampli {

namespace {

constexpr int kCountsBytes = 30 * 4; // 25 cells, then 5 right, little-endian

QByteArray toBlob(const SummaryCounts &c)
{
    QByteArray out(kCountsBytes, Qt::Uninitialized);
    char *p = out.data();
    for (const auto &row : c.cells)
        for (const int n : row)
            qToLittleEndian<qint32>(n, p), p += 4;
    for (const int n : c.right)
        qToLittleEndian<qint32>(n, p), p += 4;
    return out;
}

bool fromBlob(const void *data, int bytes, SummaryCounts &c)
{
    if (bytes != kCountsBytes)
        return false;
    const auto *p = static_cast<const char *>(data);
    for (auto &row : c.cells)
        for (int &n : row)
            n = qFromLittleEndian<qint32>(p), p += 4;
    for (int &n : c.right)
        n = qFromLittleEndian<qint32>(p), p += 4;
    return true;
}

void add(SummaryCounts &to, const SummaryCounts &from)
{
    for (int a = 0; a < 5; ++a) {
        for (int c = 0; c < 5; ++c)
            to.cells[a][c] += from.cells[a][c];
        to.right[a] += from.right[a];
    }
}

struct KindKey {
    qint64 session;
    int day;
    QString askedAs, chosenAs;
    int askedStyle, chosenStyle;
    bool operator==(const KindKey &) const = default;
};
size_t qHash(const KindKey &k, size_t seed = 0)
{
    return qHashMulti(seed, k.session, k.day, k.askedAs, k.chosenAs, k.askedStyle, k.chosenStyle);
}

struct WordKey {
    KindKey kind;
    QString word;
    bool operator==(const WordKey &) const = default;
};
size_t qHash(const WordKey &k, size_t seed = 0)
{
    return qHashMulti(seed, k.kind, k.word);
}

// The local day of a moment, remembering the last day's bounds: answers come
// in order of time, and the local time's rules are slow to ask.
// In `zone` when one is given (a school's), else in this computer's.
class LocalDays {
public:
    explicit LocalDays(const QTimeZone &zone) : zone_(zone) {}
    int dayOf(qint64 ms)
    {
        if (ms < from_ || ms >= to_) {
            const bool given = zone_.isValid();
            const QDate day = (given ? QDateTime::fromMSecsSinceEpoch(ms, zone_)
                                     : QDateTime::fromMSecsSinceEpoch(ms)).date();
            day_ = int(day.toJulianDay());
            from_ = (given ? day.startOfDay(zone_) : day.startOfDay()).toMSecsSinceEpoch();
            to_ = (given ? day.addDays(1).startOfDay(zone_) : day.addDays(1).startOfDay()).toMSecsSinceEpoch();
        }
        return day_;
    }

private:
    QTimeZone zone_;
    qint64 from_ = 0, to_ = 0;
    int day_ = 0;
};

int done(Statement &s)
{
    const int rc = s.prepared() == SQLITE_OK ? s.step() : s.prepared();
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
}

// A summary starts over from no answer at all.
int startOver(SqliteDb &db)
{
    return db.exec("DELETE FROM summary_kinds; DELETE FROM summary_words; DELETE FROM summary_windows;"
                   "INSERT OR REPLACE INTO summary_mark(one, last_answer, odd) VALUES(1, 0, 0)");
}

struct NewAnswers {
    QHash<KindKey, SummaryCounts> kinds;
    QHash<WordKey, std::pair<int, int>> words; // asked, wrong
    QSet<std::pair<qint64, QString>> windows;
    qint64 last = 0;
    qint64 odd = 0;
};

int readNew(SqliteDb &db, qint64 after, const SummaryProgress &progress, const QTimeZone &zone, NewAnswers &out)
{
    const qint64 all = progress ? db.number(QByteArray("SELECT count(*) FROM answers WHERE id > " +
                                                      QByteArray::number(after)).constData())
                                : 0;
    Statement s(db.handle(), "SELECT id, session_id, at_ms, window, asked, asked_as, asked_style, word, chosen,"
                             " chosen_as, chosen_style, right FROM answers WHERE id > ?1 ORDER BY id");
    s.bind(1, after);
    LocalDays days(zone);
    qint64 seen = 0;
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) {
        out.last = s.integer(0);
        if (progress && ++seen % 20000 == 0)
            progress(seen, all);
        const qint64 at = s.integer(2);
        const int asked = vowelNumber(s.text(4)) - 1, chosen = vowelNumber(s.text(8)) - 1;
        const qint64 right = s.integer(11);
        // Kept apart: the views read such answers from the file itself.
        if (at < 0 || asked < 0 || chosen < 0 || (right != 0 && right != 1) ||
            sqlite3_column_type(s.handle(), 11) != SQLITE_INTEGER) {
            ++out.odd;
            continue;
        }
        const KindKey key{s.integer(1), days.dayOf(at), s.text(5), s.text(9), int(s.integer(6)), int(s.integer(10))};
        SummaryCounts &c = out.kinds[key];
        ++c.cells[asked][chosen];
        c.right[asked] += int(right);
        if (sqlite3_column_type(s.handle(), 7) != SQLITE_NULL) {
            auto &w = out.words[WordKey{key, s.text(7)}];
            ++w.first;
            w.second += right ? 0 : 1;
        }
        out.windows.insert({key.session, s.text(3)});
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

void bindKind(Statement &s, const KindKey &k)
{
    s.bind(1, qint64(k.day));
    s.bind(2, k.session);
    s.bind(3, k.askedAs);
    s.bind(4, k.chosenAs);
    s.bind(5, qint64(k.askedStyle));
    s.bind(6, qint64(k.chosenStyle));
}

int writeNew(SqliteDb &db, const NewAnswers &n)
{
    Statement old(db.handle(), "SELECT counts FROM summary_kinds WHERE day = ?1 AND session_id = ?2 AND asked_as = ?3"
                               " AND chosen_as = ?4 AND asked_style = ?5 AND chosen_style = ?6");
    Statement put(db.handle(), "INSERT OR REPLACE INTO summary_kinds(day, session_id, asked_as, chosen_as,"
                               " asked_style, chosen_style, counts) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    int rc = SQLITE_OK;
    for (auto k = n.kinds.cbegin(); rc == SQLITE_OK && k != n.kinds.cend(); ++k) {
        old.reset();
        bindKind(old, k.key());
        SummaryCounts sum = k.value();
        SummaryCounts before;
        if (old.step() == SQLITE_ROW &&
            fromBlob(sqlite3_column_blob(old.handle(), 0), sqlite3_column_bytes(old.handle(), 0), before))
            add(sum, before);
        old.reset();
        put.reset();
        bindKind(put, k.key());
        const QByteArray blob = toBlob(sum);
        sqlite3_bind_blob(put.handle(), 7, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
        rc = done(put);
    }
    Statement word(db.handle(), "INSERT INTO summary_words(day, session_id, asked_as, chosen_as, asked_style,"
                                " chosen_style, word, asked, wrong) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"
                                " ON CONFLICT DO UPDATE SET asked = asked + excluded.asked,"
                                " wrong = wrong + excluded.wrong");
    for (auto w = n.words.cbegin(); rc == SQLITE_OK && w != n.words.cend(); ++w) {
        word.reset();
        bindKind(word, w.key().kind);
        word.bind(7, w.key().word);
        word.bind(8, qint64(w.value().first));
        word.bind(9, qint64(w.value().second));
        rc = done(word);
    }
    Statement window(db.handle(), "INSERT OR IGNORE INTO summary_windows(session_id, window) VALUES(?1, ?2)");
    for (auto w = n.windows.cbegin(); rc == SQLITE_OK && w != n.windows.cend(); ++w) {
        window.reset();
        window.bind(1, w->first);
        window.bind(2, w->second);
        rc = done(window);
    }
    if (rc != SQLITE_OK)
        return rc;
    Statement mark(db.handle(), "UPDATE summary_mark SET last_answer = ?1, odd = odd + ?2");
    mark.bind(1, n.last);
    mark.bind(2, n.odd);
    return done(mark);
}

int catchUp(SqliteDb &db, const SummaryProgress &progress, const QTimeZone &zone)
{
    int rc = SQLITE_OK;
    qint64 after = 0;
    {
        Statement mark(db.handle(), "SELECT last_answer FROM summary_mark");
        rc = mark.prepared() == SQLITE_OK ? mark.step() : mark.prepared();
        if (rc == SQLITE_ROW)
            after = mark.integer(0);
        else if (rc != SQLITE_DONE)
            return rc;
    }
    // No mark: what the tables hold cannot be trusted to match the answers.
    if (rc == SQLITE_DONE && (rc = startOver(db)) != SQLITE_OK)
        return rc;
    const qint64 last = db.number("SELECT coalesce(max(id), 0) FROM answers", &rc);
    if (rc != SQLITE_OK || last <= after)
        return rc;
    NewAnswers n;
    rc = readNew(db, after, progress, zone, n);
    return rc == SQLITE_OK && n.last > after ? writeNew(db, n) : rc;
}

} // namespace

int catchUpSummaries(SqliteDb &db, const SummaryProgress &progress, const QTimeZone &zone)
{
    const bool own = sqlite3_get_autocommit(db.handle()) != 0;
    if (own) {
        const int rc = db.exec("BEGIN IMMEDIATE");
        if (rc != SQLITE_OK)
            return rc;
    }
    int rc = catchUp(db, progress, zone);
    if (own) {
        if (rc == SQLITE_OK)
            rc = db.exec("COMMIT");
        if (rc != SQLITE_OK)
            db.exec("ROLLBACK");
    }
    return rc;
}

int resetSummaries(SqliteDb &db)
{
    return startOver(db);
}

int forgetSummaries(SqliteDb &db, const char *where, const std::function<void(Statement &)> &bind)
{
    int rc = SQLITE_OK;
    for (const char *table : {"summary_kinds", "summary_words", "summary_windows"}) {
        const QByteArray sql = QByteArray("DELETE FROM ") + table +
                               " WHERE session_id IN (SELECT id FROM sessions WHERE " + where + ")";
        Statement s(db.handle(), sql.constData());
        bind(s);
        if (rc == SQLITE_OK)
            rc = done(s);
    }
    // Ids of answers erased from the end are taken again by the next ones,
    // which the mark must not pass over.
    return rc == SQLITE_OK ? db.exec("UPDATE summary_mark SET last_answer ="
                                     " min(last_answer, (SELECT coalesce(max(id), 0) FROM answers))")
                           : rc;
}

bool readSummaries(SqliteDb &db, SummaryData &out)
{
    out = {};
    if (db.exec("BEGIN") != SQLITE_OK)
        return false;
    bool ok = false;
    {
        Statement mark(db.handle(), "SELECT last_answer >= (SELECT coalesce(max(id), 0) FROM answers) AND odd = 0"
                                    " FROM summary_mark");
        ok = mark.step() == SQLITE_ROW && mark.integer(0) == 1;
    }
    QHash<QString, int> kindAt;
    const auto kindOf = [&](Statement &s, int column) {
        const SummaryKind k{s.text(column), s.text(column + 1), int(s.integer(column + 2)),
                            int(s.integer(column + 3))};
        const QString key = k.askedAs + QChar(0) + k.chosenAs + QChar(0) + QString::number(k.askedStyle) +
                            QChar(0) + QString::number(k.chosenStyle);
        auto at = kindAt.find(key);
        if (at == kindAt.end()) {
            at = kindAt.insert(key, int(out.kinds.size()));
            out.kinds << k;
        }
        return *at;
    };
    if (ok) {
        Statement s(db.handle(), "SELECT session_id, day, asked_as, chosen_as, asked_style, chosen_style, counts"
                                 " FROM summary_kinds");
        int rc;
        while (ok && (rc = s.step()) == SQLITE_ROW) {
            SummaryRow row{s.integer(0), int(s.integer(1)), kindOf(s, 2), {}};
            ok = fromBlob(sqlite3_column_blob(s.handle(), 6), sqlite3_column_bytes(s.handle(), 6), row.counts);
            out.rows.push_back(row);
        }
        ok = ok && rc == SQLITE_DONE;
    }
    if (ok) {
        Statement s(db.handle(), "SELECT session_id, day, asked_as, chosen_as, asked_style, chosen_style, word,"
                                 " asked, wrong FROM summary_words");
        int rc;
        while ((rc = s.step()) == SQLITE_ROW)
            out.words.push_back(SummaryWord{s.integer(0), int(s.integer(1)), kindOf(s, 2), s.text(6),
                                            int(s.integer(7)), int(s.integer(8))});
        ok = rc == SQLITE_DONE;
    }
    if (ok) {
        Statement s(db.handle(), "SELECT id, started_ms, ended_ms, child_id, label FROM sessions");
        int rc;
        while ((rc = s.step()) == SQLITE_ROW)
            out.sessions.insert(s.integer(0), SummarySession{s.integer(1), s.integer(2), s.integer(3),
                                                             sqlite3_column_type(s.handle(), 3) != SQLITE_NULL,
                                                             s.text(4), {}});
        ok = rc == SQLITE_DONE;
    }
    if (ok) {
        Statement s(db.handle(), "SELECT session_id, window FROM summary_windows ORDER BY session_id, window");
        int rc;
        while ((rc = s.step()) == SQLITE_ROW) {
            const auto at = out.sessions.find(s.integer(0));
            if (at != out.sessions.end())
                at->windows << s.text(1);
        }
        ok = rc == SQLITE_DONE;
    }
    db.exec("COMMIT");
    if (!ok)
        out = {};
    return ok;
}

} // namespace zampli
