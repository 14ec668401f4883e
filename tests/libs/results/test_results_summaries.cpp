// SPDX-License-Identifier: GPL-3.0-or-later
// The summaries against the answers they count: every view the adult reads,
// over a class with a session past midnight, one of nobody named, a label,
// answers merged in from elsewhere, and after each of her changes (a session
// given to another child, a session, a child and a label erased). Real
// SQLite files in a temporary folder, in a time zone with a summer time.
#include "ClassOfAnswers.h"
#include "ResultsPlant.h"
#include "ResultsRows.h"
#include "VowelTallies.h"
#include "results/ResultsEditor.h"
#include "results/ClassReader.h"
#include "results/ResultsWriter.h"
#include "results/Salvage.h"
#include "results/Summaries.h"

#include <QtTest>
#include <ctime>

using namespace zampli;
using namespace zampli::test;

namespace {

const QDate kLastDay(2024, 3, 29); // summer time begins on the 31st: days of 24 hours only
const QDate kMidnight(2024, 3, 27); // the session past midnight begins on this day

qint64 at(const QDate &day, int hour, int minute)
{
    return QDateTime(day, QTime(hour, minute)).toMSecsSinceEpoch();
}

AnswerRecord answer(qint64 atMs, Shown askedAs, int askedStyle, const char *asked, Shown chosenAs, int chosenStyle,
                    const char *chosen, const char *word = "")
{
    return {atMs, askedAs == Shown::Word ? "FormIniziaPer" : "FormCaratteri1", 1, asked, askedAs, askedStyle, word,
            chosen, chosenAs, chosenStyle, qstrcmp(asked, chosen) == 0, 1200};
}

QString matrix(const ConfusionMatrix &m)
{
    QStringList out;
    for (const auto &row : m)
        for (const int n : row)
            out << QString::number(n);
    return out.join(QLatin1Char(','));
}

// Every view of `r` for `f`, one line each, named.
QStringList views(ResultsReader &r, const ResultsFilter &f)
{
    QStringList out;
    QStringList sessions;
    for (const SessionSummary &s : r.sessions(f))
        sessions << QStringLiteral("%1 %2-%3 %4 %5 %6 [%7] %8/%9")
                        .arg(s.id).arg(s.startedMs).arg(s.endedMs)
                        .arg(s.label, QString::number(s.childId), s.childName, s.windows.join(QLatin1Char(',')))
                        .arg(s.right).arg(s.wrong);
    out << QStringLiteral("sessions: ") + sessions.join(QStringLiteral("; "));
    for (const int limit : {2, 10}) {
        QStringList words;
        for (const MissedWord &w : r.mostMissedWords(limit, f))
            words << QStringLiteral("%1 %2/%3").arg(w.word).arg(w.wrong).arg(w.asked);
        out << QStringLiteral("words %1: ").arg(limit) + words.join(QStringLiteral("; "));
    }
    QStringList kinds;
    for (const KindConfusion &k : r.confusionByKind(f))
        kinds << QStringLiteral("%1>%2/%3 %4").arg(k.kind.askedAs, k.kind.chosenAs).arg(k.kind.style).arg(matrix(k.counts));
    out << QStringLiteral("byKind: ") + kinds.join(QStringLiteral("; "));
    QStringList tallies;
    for (const SessionVowel &t : r.vowelsBySession(f))
        tallies << QStringLiteral("%1:%2 %3/%4").arg(t.session).arg(t.vowel).arg(t.right).arg(t.wrong);
    out << QStringLiteral("bySession: ") + tallies.join(QLatin1Char(' '));
    QStringList overview;
    for (const ChildOverview &c : ClassReader(r).classOverview(f))
        overview << QStringLiteral("%1 %2 %3 %4").arg(c.childId).arg(c.name, scoresText(c.vowels), c.lastDay.toString(Qt::ISODate));
    out << QStringLiteral("class: ") + overview.join(QStringLiteral("; "));
    QStringList practise;
    for (const PractiseNext &p : ClassReader(r).practiseNext(f))
        for (const Confusion &c : p.confusions)
            practise << QStringLiteral("%1 %2 %3/%4 %5").arg(p.childId).arg(c.advice).arg(c.times).arg(c.outOf).arg(c.askedAs);
    out << QStringLiteral("practise: ") + practise.join(QStringLiteral("; "));
    return out;
}

} // namespace

class ResultsSummariesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString db_;
    QList<qint64> children_;
    qint64 midnight_ = 0; // the session past midnight

    // The filters the adult's tab makes, and one whose days are not whole.
    QList<std::pair<QString, ResultsFilter>> filters() const
    {
        const auto dayStart = [](int after) { return kMidnight.addDays(after).startOfDay().toMSecsSinceEpoch(); };
        const qint64 from25th = QDate(2024, 3, 25).startOfDay().toMSecsSinceEpoch();
        return {
            {"everything", {}},
            {"days up to the midnight", {.fromMs = from25th, .toMs = dayStart(1) - 1}},
            {"the day after midnight", {.fromMs = dayStart(1), .toMs = dayStart(2) - 1}},
            {"a child", {.childId = children_.value(1)}},
            {"nobody named", {.childId = ResultsFilter::kNoChild}},
            {"a label", {.label = "Gruppo rosso"}},
            {"letters of style 2", {.kind = QuestionKind{"lettera", "lettera", 2}}},
            {"a child's words in days", {.fromMs = from25th, .toMs = dayStart(1) - 1, .childId = children_.value(0),
                                         .kind = QuestionKind{"parola", "tessera", 0}}},
            {"from noon", {.fromMs = at(kMidnight, 12, 0)}},
        };
    }

    // Every view of every filter, from the summaries and from the answers;
    // `caughtUp`: the summaries count every answer, else the comparison would
    // be of the answers with themselves.
    void compareAll(const char *after, bool caughtUp = true)
    {
        if (caughtUp)
            QCOMPARE(queryRows(db_, "SELECT last_answer = (SELECT max(id) FROM answers), odd FROM summary_mark", true),
                     QStringLiteral("1|0"));
        ResultsReader summed, raw;
        QVERIFY(summed.open(db_));
        QVERIFY(raw.open(db_));
        raw.setSummaries(false);
        for (const auto &[name, f] : filters()) {
            const QStringList a = views(summed, f), b = views(raw, f);
            QCOMPARE(a.size(), b.size());
            for (int i = 0; i < a.size(); ++i)
                if (a[i] != b[i])
                    QFAIL(qPrintable(QStringLiteral("after %1, filter «%2»:\n summaries: %3\n answers:   %4")
                                         .arg(QString::fromLatin1(after), name, a[i], b[i])));
        }
    }

    void writeMidnight(ResultsEditor &editor)
    {
        QVERIFY(editor.choosePlaying(0));
        ResultsWriter writer(db_, QStringLiteral("classe"), [](const QString &l) { QFAIL(qPrintable(l)); });
        writer.sessionStarted(at(kMidnight, 23, 50));
        const QDate next = kMidnight.addDays(1);
        writer.record(answer(at(kMidnight, 23, 55), Shown::Letter, 2, "E", Shown::Letter, 3, "I"));
        writer.record(answer(at(kMidnight, 23, 59), Shown::Word, 0, "O", Shown::Tile, 0, "A", "oca"));
        writer.record(answer(at(next, 0, 1), Shown::Letter, 3, "E", Shown::Letter, 2, "E"));
        writer.record(answer(at(next, 0, 3), Shown::Word, 0, "U", Shown::Tile, 0, "U", "uva"));
        writer.record(answer(at(next, 0, 6), Shown::Voice, 0, "A", Shown::Letter, 2, "O"));
        writer.sessionEnded(at(next, 0, 7));
        QVERIFY(writer.sync());
    }

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Rome");
        tzset();
        db_ = dir_.filePath(QStringLiteral("classe.sqlite"));
        QString error;
        QCOMPARE(writeClassOfAnswers(db_, ClassPlan{kLastDay, 4, 6, 100, 3}, error), 2400);
        ResultsEditor editor;
        QVERIFY(editor.open(db_));
        for (const char *name : {"Alessia", "Bruno", "Chiara", "Davide"})
            children_ << queryRows(db_, QStringLiteral("SELECT id FROM children WHERE name = '%1'")
                                            .arg(QString::fromLatin1(name)).toUtf8().constData(), true).toLongLong();
        writeMidnight(editor);
        midnight_ = queryRows(db_, "SELECT max(id) FROM sessions", true).toLongLong();
        labelByHand(db_, midnight_, QStringLiteral("Gruppo rosso"));
        labelByHand(db_, 3, QStringLiteral("Gruppo rosso"));
    }

    // Each view, for each filter, as the answers tell it.
    void viewsAsTheAnswersTellThem() { compareAll("writing"); }

    // Rows put in by another program (a merge from another computer) are
    // counted once it calls the catch-up; until then the views read the answers.
    void answersMergedInCountedByTheCatchUp()
    {
        SqliteDb db;
        QCOMPARE(db.open(db_, false), SQLITE_OK);
        QCOMPARE(db.exec("INSERT INTO sessions(started_ms, ended_ms, program_folder, child_id)"
                         " SELECT started_ms + 3600000, ended_ms + 3600000, 'altro', child_id FROM sessions"
                         " WHERE id IN (2, 5);"
                         "INSERT INTO answers(session_id, at_ms, window, turn, asked, asked_as, asked_style, word,"
                         " chosen, chosen_as, chosen_style, right, answer_ms)"
                         " SELECT (SELECT max(id) FROM sessions), at_ms + 3600000, window, turn, asked, asked_as,"
                         " asked_style, word, chosen, chosen_as, chosen_style, right, answer_ms FROM answers"
                         " WHERE session_id = 5;"
                         "INSERT INTO answers(session_id, at_ms, window, turn, asked, asked_as, asked_style, word,"
                         " chosen, chosen_as, chosen_style, right, answer_ms)"
                         " SELECT 2, at_ms + 60000, window, turn, asked, asked_as, asked_style, word, chosen,"
                         " chosen_as, chosen_style, right, answer_ms FROM answers WHERE session_id = 2"),
                 SQLITE_OK);
        compareAll("a merge, not yet counted", false); // behind: the answers are read
        QCOMPARE(catchUpSummaries(db), SQLITE_OK);
        compareAll("a merge");
    }

    // The reader reads the summaries, not the answers: a count changed
    // there alone shows.
    void viewsReadTheSummaries()
    {
        ResultsReader before;
        QVERIFY(before.open(db_));
        const QStringList counted = views(before, {});
        SqliteDb db;
        QCOMPARE(db.open(db_, false), SQLITE_OK);
        QCOMPARE(db.exec("UPDATE summary_kinds SET counts = zeroblob(120)"
                         " WHERE session_id = 1"), SQLITE_OK);
        ResultsReader after;
        QVERIFY(after.open(db_));
        QVERIFY(views(after, {}) != counted);
        // Counted again from the answers: the catch-up from no mark at all.
        QCOMPARE(db.exec("DELETE FROM summary_mark"), SQLITE_OK);
        QCOMPARE(catchUpSummaries(db), SQLITE_OK);
        compareAll("counting again");
    }

    // Each change of the adult leaves the summaries saying what the answers say.
    void changesKeepTheSummariesTrue()
    {
        ResultsEditor editor;
        QVERIFY(editor.open(db_));
        QVERIFY(editor.nameSession(midnight_, children_[2]));
        compareAll("a session given to a child");
        QVERIFY(editor.nameSession(4, 0));
        compareAll("a session given to nobody");
        QVERIFY(editor.deleteSession(6));
        compareAll("a session erased");
        QVERIFY(editor.eraseChild(children_[1]));
        compareAll("a child erased");
        QCOMPARE(editor.eraseLabel(QStringLiteral("Gruppo rosso")), 2);
        compareAll("a label erased");

        // The newest answers erased, their ids are taken again by the next
        // ones, which must still be counted.
        const qint64 newest = queryRows(db_, "SELECT session_id FROM answers ORDER BY id DESC LIMIT 1", true).toLongLong();
        QVERIFY(editor.deleteSession(newest));
        const QString next = queryRows(db_, "SELECT max(id) + 1 FROM answers", true);
        writeMidnight(editor);
        QCOMPARE(queryRows(db_, "SELECT min(id) FROM answers WHERE session_id = (SELECT max(id) FROM sessions)", true),
                 next);
        compareAll("answers after the newest erased");
    }

    // A file set aside as not ours: the fresh one counts the answers saved,
    // never the summaries of the file set aside.
    void aSalvagedFileSummarisedFromItsAnswers()
    {
        const int held = queryRows(db_, "SELECT count(*) FROM answers", true).toInt();
        QVERIFY(plant(db_, "CREATE TRIGGER planted AFTER INSERT ON answers BEGIN SELECT 1; END"));
        const SalvageReport r = salvageDamaged(db_, QStringLiteral("classe"), true);
        QVERIFY(r.replaced);
        QCOMPARE(r.answersSaved, held);
        compareAll("a salvage");
    }
};

QTEST_GUILESS_MAIN(ResultsSummariesTest)
#include "test_results_summaries.moc"
