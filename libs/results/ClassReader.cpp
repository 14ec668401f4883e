// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ClassReader.h"

#include "results/ResultsQuery.h"
#include "results/SummaryViews.h"

#include <QDateTime>
#include <QHash>

namespace zampli {

namespace {

// How a vowel was put to the child, in the words of the advice.
struct WayPut {
    const char *askedAs;
    const char *words;
};
constexpr WayPut kWaysPut[] = {{"voce", "quando le sente"},
                               {"faccia", "quando vede la bocca che le dice"},
                               {"lettera", "quando legge la lettera"},
                               {"parola", "quando cerca l'iniziale di una parola"},
                               {"tessera", "quando vede la tessera colorata"}};

QString whenPut(const QString &askedAs)
{
    for (const WayPut &w : kWaysPut)
        if (askedAs == QLatin1String(w.askedAs))
            return QString::fromUtf8(w.words);
    return QStringLiteral("in un esercizio");
}

QDate localDay(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toLocalTime().date();
}

// The children the filter keeps, by name; then nobody named, when `unnamed`.
template <class Row>
QList<Row> rowsPerChild(const QList<ChildEntry> &children, const ResultsFilter &f, bool unnamed)
{
    QList<Row> out;
    for (const ChildEntry &c : children)
        if (f.childId == ResultsFilter::kAnyChild || f.childId == c.id) {
            Row row;
            row.childId = c.id;
            row.name = c.name;
            out << row;
        }
    if (unnamed && (f.childId == ResultsFilter::kAnyChild || f.childId == ResultsFilter::kNoChild))
        out << Row{};
    return out;
}

} // namespace

ChildEntry ClassReader::nowPlaying()
{
    Statement s(file_.db_.handle(),
                "SELECT c.id, c.name, c.created_ms FROM now_playing n JOIN children c ON c.id = n.child_id");
    ChildEntry out;
    if (s.step() == SQLITE_ROW)
        out = {s.integer(0), s.text(1), s.integer(2)};
    return out;
}

QList<ChildOverview> ClassReader::classOverview(const ResultsFilter &f)
{
    if (const SummaryData *d = file_.summaries(); d && SummaryViews(*d, f).wholeDays()) {
        const QHash<qint64, ChildOverview> seen = SummaryViews(*d, f).classOverview();
        QList<ChildOverview> out = rowsPerChild<ChildOverview>(file_.children(), f, seen.contains(0));
        for (ChildOverview &row : out) {
            row.vowels = seen.value(row.childId).vowels;
            row.lastDay = seen.value(row.childId).lastDay;
        }
        return out;
    }
    Statement s(file_.db_.handle(), "SELECT c, x, sum(r), sum(n), max(m) FROM"
                              " (SELECT coalesce(s.child_id, 0) AS c, a.asked AS x, sum(a.right) AS r, count(*) AS n,"
                              "   max(a.at_ms) AS m" ANSWERS_BY_SESSION " GROUP BY s.id, a.asked_as, a.asked)"
                              " GROUP BY c, x");
    bindFilter(s, f);
    QHash<qint64, ChildOverview> seen;
    file_.failedWith(forEachRow(s, [&] {
        ChildOverview &row = seen[s.integer(0)];
        const int v = vowelIndex(s.text(1));
        if (v >= 0)
            row.vowels[v] = {int(s.integer(2)), int(s.integer(3) - s.integer(2))};
        const QDate day = localDay(s.integer(4));
        row.lastDay = qMax(row.lastDay, day);
    }));
    QList<ChildOverview> out = rowsPerChild<ChildOverview>(file_.children(), f, seen.contains(0));
    for (ChildOverview &row : out) {
        const ChildOverview found = seen.value(row.childId);
        row.vowels = found.vowels;
        row.lastDay = found.lastDay;
    }
    return out;
}

QList<PractiseNext> ClassReader::practiseNext(const ResultsFilter &f)
{
    if (const SummaryData *d = file_.summaries(); d && SummaryViews(*d, f).wholeDays()) {
        QHash<qint64, QList<Confusion>> found = SummaryViews(*d, f).practiseNext();
        for (QList<Confusion> &list : found)
            for (Confusion &c : list)
                c.advice = QStringLiteral("scambia spesso la %1 con la %2 %3").arg(c.asked, c.chosen, whenPut(c.askedAs));
        QList<PractiseNext> out = rowsPerChild<PractiseNext>(file_.children(), f, found.contains(0));
        for (PractiseNext &row : out)
            row.confusions = found.value(row.childId);
        return out;
    }
    // Per session, then per child, way and vowel asked: each choice's count
    // and their sum; then the wrong choices that count, ranked most first
    // within each child.
    Statement s(file_.db_.handle(),
                "WITH p AS (SELECT coalesce(s.child_id, 0) AS c, a.asked_as AS k, a.asked AS x, a.chosen AS y,"
                "   count(*) AS n" ANSWERS_BY_SESSION " GROUP BY s.id, k, x, y),"
                " g AS (SELECT c, k, x, y, sum(n) AS n FROM p GROUP BY c, k, x, y),"
                " t AS (SELECT c, k, x, y, n, sum(n) OVER (PARTITION BY c, k, x) AS total FROM g),"
                " r AS (SELECT c, k, x, y, n, total,"
                "   row_number() OVER (PARTITION BY c ORDER BY n DESC, k, x, y) AS place FROM t"
                "   WHERE x <> y AND total >= ?5 AND n >= ?6 AND n * ?7 >= total)"
                " SELECT c, k, x, y, n, total FROM r WHERE place <= 2 ORDER BY c, place");
    bindFilter(s, f);
    s.bind(5, qint64(Confusion::kMinAnswers));
    s.bind(6, qint64(Confusion::kMinConfusions));
    s.bind(7, qint64(Confusion::kMinShare));
    QHash<qint64, QList<Confusion>> found;
    file_.failedWith(forEachRow(s, [&] {
        Confusion c{s.text(2), s.text(3), s.text(1), int(s.integer(4)), int(s.integer(5)), {}};
        c.advice = QStringLiteral("scambia spesso la %1 con la %2 %3").arg(c.asked, c.chosen, whenPut(c.askedAs));
        found[s.integer(0)] << c;
    }));
    QList<PractiseNext> out = rowsPerChild<PractiseNext>(file_.children(), f, found.contains(0));
    for (PractiseNext &row : out)
        row.confusions = found.value(row.childId);
    return out;
}

} // namespace zampli
