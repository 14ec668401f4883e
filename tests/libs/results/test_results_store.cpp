// SPDX-License-Identifier: GPL-3.0-or-later
// The results database without a window: what the writer puts in the file,
// and what the adult's program reads back from it.
#include "results/ResultsEditor.h"
#include "results/ResultsWriter.h"
#include "CopyFiles.h"
#include "ResultsDamage.h"
#include "ResultsPlant.h"
#include "ResultsRows.h"
#include "ResultsOldSchema.h"
#include "VowelTallies.h"
#include "results/Schema.h"

#include <QtTest>
#include <ctime>

using namespace zampli;
using zampli::test::plant;

namespace {

constexpr qint64 kMarch4 = 1709546400000; // 2024-03-04 10:00:00 UTC
constexpr qint64 kMarch5 = 1709629200000; // 2024-03-05 09:00:00 UTC

// The end waits a little for a lock, so that a test need not wait the program's seconds.
constexpr ResultsWriter::Timing kShortQuit{.quitWaitMs = 300};

// A program folder classe/zampli in `home`, and a link to it named `name`: the link's path.
QString linkedFolder(const QTemporaryDir &home, const char *name)
{
    const QString real = home.filePath("classe/zampli");
    if (!QDir().mkpath(real) || !QFile::link(real, home.filePath(name)))
        return {};
    return home.filePath(name);
}

// The results file's name for a program folder spelt `programPath`: its
// last part, then the start of the path's SHA-256.
QString fileNamed(const QString &folder, const char *last, const QString &programPath)
{
    return folder + "/" + last + "-" +
           QCryptographicHash::hash(programPath.toUtf8(), QCryptographicHash::Sha256).toHex().left(8) + ".sqlite";
}

AnswerRecord answer(qint64 at, const char *window, const char *asked, Shown askedAs, int askedStyle,
                    const char *chosen, Shown chosenAs, int chosenStyle, const char *word = "", qint64 ms = 1000)
{
    return {at, window, 1, asked, askedAs, askedStyle, word, chosen, chosenAs, chosenStyle, qstrcmp(asked, chosen) == 0, ms};
}

// The rows of a query, columns split by '|', rows by ' / '.
QString rows(const QString &path, const char *sql)
{
    return zampli::test::queryRows(path, sql, true);
}

// The cells of a matrix that are not zero, "asked>chosen:count", row by row.
QString cells(const ConfusionMatrix &m)
{
    QStringList out;
    for (int a = 0; a < 5; ++a)
        for (int c = 0; c < 5; ++c)
            if (m[a][c])
                out << QStringLiteral("%1>%2:%3").arg(QChar("AEIOU"[a])).arg(QChar("AEIOU"[c])).arg(m[a][c]);
    return out.join(QLatin1Char(' '));
}

} // namespace

class ResultsStoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QStringList told;
    // A file of each test and row of its own.
    QString path() const
    {
        return dir.filePath(QStringLiteral("%1-%2.sqlite").arg(QTest::currentTestFunction(), QTest::currentDataTag()));
    }
    QString pending() const { return path() + QStringLiteral(".in-attesa"); }
    ResultsFile::Report report()
    {
        return [this](const QString &line) { told << line; };
    }

    // Two sessions of a child over two days; the second labelled with a name
    // that needs quoting in a CSV file.
    void writeTwoDays()
    {
        ResultsWriter w(path(), QStringLiteral("/opt/zampli"), report());
        w.sessionStarted();
        w.record(answer(kMarch4, "FormZampli3", "E", Shown::Voice, 0, "I", Shown::Letter, 1));
        w.record(answer(kMarch4 + 1000, "FormZampli3", "E", Shown::Voice, 0, "E", Shown::Letter, 1));
        w.record(answer(kMarch4 + 2000, "FormPosizioni5", "O", Shown::Letter, 3, "A", Shown::Face, 0));
        w.record(answer(kMarch4 + 3000, "FormIniziaPer", "E", Shown::Word, 0, "I", Shown::Tile, 0, "elmo"));
        w.record(answer(kMarch4 + 4000, "FormIniziaPer", "E", Shown::Word, 0, "E", Shown::Tile, 0, "elmo"));
        w.record(answer(kMarch4 + 5000, "FormIniziaPer", "U", Shown::Word, 0, "O", Shown::Tile, 0, "uva"));
        w.sessionStarted();
        w.record(answer(kMarch5, "FormPosizioni3", "A", Shown::Voice, 0, "A", Shown::Face, 0, "", 1200));
        w.record(answer(kMarch5 + 5000, "FormCaratteri1", "I", Shown::Letter, 2, "E", Shown::Letter, 1, "", 3000));
        QVERIFY(w.sync());
        QVERIFY(plant(path(), "UPDATE sessions SET label = 'Anna' WHERE id = 1;"
                       "UPDATE sessions SET label = 'Luca \"Bimbo\"; 2ª' WHERE id = 2"));
    }

    // A session of March 4th: one answer written, then `later` more and the
    // session's end while a second connection holds the write lock until
    // the writer has ended.
    void endWhileLocked(int later)
    {
        auto w = std::make_unique<ResultsWriter>(path(), QStringLiteral("/opt/zampli"), report(), kShortQuit);
        w->sessionStarted(kMarch4);
        w->record(answer(kMarch4, "FormZampli3", "A", Shown::Voice, 0, "A", Shown::Letter, 1));
        QVERIFY(w->sync());
        SqliteDb other;
        QCOMPARE(other.open(path(), false), SQLITE_OK);
        QCOMPARE(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        for (int k = 1; k <= later; ++k)
            w->record(answer(kMarch4 + k * 1000, "FormZampli3", "E", Shown::Voice, 0, "I", Shown::Letter, 1));
        w->sessionEnded(kMarch4 + 60000);
        w.reset();
        QCOMPARE(other.exec("COMMIT"), SQLITE_OK);
    }

    // A start of the program that only merges what waits beside the file.
    void startAgain()
    {
        ResultsWriter w(path(), QStringLiteral("/opt/zampli"), report(), kShortQuit);
        QVERIFY(w.sync());
    }

    // The name and word of the first eight answers as the CSV export writes them.
    QStringList exportedNamesAndWords()
    {
        ResultsReader r;
        if (!r.open(path()))
            return {QStringLiteral("not opened")};
        const QString csv = dir.filePath("formule.csv");
        if (!r.exportCsv(csv))
            return {QStringLiteral("not exported")};
        QStringList cells;
        for (const QByteArray &line : readFile(csv).split('\n').mid(1, 8)) {
            const QList<QByteArray> f = line.split(';');
            cells << QString::fromUtf8(f.value(3) + "|" + f.value(9));
        }
        return cells;
    }

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC"); // days and hours as written below
        tzset();
    }
    void init()
    {
        told.clear();
    }

    // A new file: the current version of the tables, write-ahead log, every
    // field of an answer and its session, told nothing.
    void freshFileKeepsEveryField()
    {
        ResultsWriter w(path(), QStringLiteral("/opt/zampli"), report());
        w.sessionStarted();
        w.record(answer(kMarch4, "FormZampli3", "E", Shown::Voice, 0, "I", Shown::Letter, 4, "", 2345));
        w.record(answer(kMarch4 + 9, "FormIniziaPer", "U", Shown::Word, 0, "U", Shown::Tile, 0, "uva", 17));
        QVERIFY(w.sync());
        QCOMPARE(rows(path(), "PRAGMA user_version"), QStringLiteral("5"));
        QCOMPARE(rows(path(), "PRAGMA journal_mode"), QStringLiteral("wal"));
        QCOMPARE(rows(path(), "SELECT session_id, at_ms, window, turn, asked, asked_as, asked_style, word, chosen,"
                              " chosen_as, chosen_style, right, answer_ms FROM answers ORDER BY id"),
                 QStringLiteral("1|1709546400000|FormZampli3|1|E|voce|0||I|lettera|4|0|2345 / "
                                "1|1709546400009|FormIniziaPer|1|U|parola|0|uva|U|tessera|0|1|17"));
        QCOMPARE(rows(path(), "SELECT id, program_folder, label IS NULL FROM sessions"), QStringLiteral("1|/opt/zampli|1"));
        QCOMPARE(told, QStringList());
    }

    // Each answer, its session's child and the session's span from March 4th 10:00, in ms.
    QString whoseAnswers() const
    {
        return rows(path(), "SELECT a.asked, coalesce(c.name, '-'), s.started_ms - 1709546400000,"
                            " s.ended_ms - 1709546400000 FROM answers a JOIN sessions s ON s.id = a.session_id"
                            " LEFT JOIN children c ON c.id = s.child_id ORDER BY a.id");
    }

    // "Ora gioca" changed while the child's program runs, as the teacher's
    // program changes it: from the next answer on, the answers are in a
    // session of the child chosen, begun at that answer; the session before
    // ends at its last answer and keeps what it had.
    void answersFollowTheChildChosenWhilePlaying()
    {
        ResultsEditor editor;
        QVERIFY(editor.open(path(), ResultsEditor::IfMissing::Make));
        const qint64 giulia = editor.addChild(QStringLiteral("Giulia"));
        const qint64 marco = editor.addChild(QStringLiteral("Marco"));
        QVERIFY(editor.choosePlaying(giulia));
        ResultsWriter w(path(), QStringLiteral("/opt/zampli"), report());
        w.sessionStarted(kMarch4);
        w.record(answer(kMarch4 + 1000, "FormZampli3", "A", Shown::Voice, 0, "A", Shown::Letter, 1));
        w.record(answer(kMarch4 + 2000, "FormZampli3", "E", Shown::Voice, 0, "E", Shown::Letter, 1));
        QVERIFY(w.sync());
        QVERIFY(editor.choosePlaying(marco));
        w.record(answer(kMarch4 + 3000, "FormZampli3", "I", Shown::Voice, 0, "I", Shown::Letter, 1));
        w.record(answer(kMarch4 + 4000, "FormZampli3", "O", Shown::Voice, 0, "O", Shown::Letter, 1));
        QVERIFY(w.sync());
        QVERIFY(editor.choosePlaying(0));
        w.record(answer(kMarch4 + 5000, "FormZampli3", "U", Shown::Voice, 0, "U", Shown::Letter, 1));
        QVERIFY(w.sync());
        QCOMPARE(whoseAnswers(), QStringLiteral("A|Giulia|0|2000 / E|Giulia|0|2000 / I|Marco|3000|4000 / "
                                                "O|Marco|3000|4000 / U|-|5000|5000"));
        QCOMPARE(told, QStringList());
    }

    // Answers set aside while the file was locked are merged at the next
    // start, when another child may be playing: those that went on with a
    // session stay in it; a session begun while the file could not be read
    // is nobody's, never the child who plays at the merge.
    void setAsideAnswersNeverGoToTheChildPlayingAtTheMerge()
    {
        ResultsEditor editor;
        QVERIFY(editor.open(path(), ResultsEditor::IfMissing::Make));
        const qint64 giulia = editor.addChild(QStringLiteral("Giulia"));
        const qint64 marco = editor.addChild(QStringLiteral("Marco"));
        QVERIFY(editor.choosePlaying(giulia));
        auto w = std::make_unique<ResultsWriter>(path(), QStringLiteral("/opt/zampli"), report(), kShortQuit);
        w->sessionStarted(kMarch4);
        w->record(answer(kMarch4 + 1000, "FormZampli3", "A", Shown::Voice, 0, "A", Shown::Letter, 1));
        QVERIFY(w->sync());
        SqliteDb other;
        QCOMPARE(other.open(path(), false), SQLITE_OK);
        QCOMPARE(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        w->record(answer(kMarch4 + 2000, "FormZampli3", "E", Shown::Voice, 0, "E", Shown::Letter, 1));
        w->sessionStarted(kMarch4 + 3000);
        w->record(answer(kMarch4 + 4000, "FormZampli3", "I", Shown::Voice, 0, "I", Shown::Letter, 1));
        w->sessionEnded(kMarch4 + 5000);
        w.reset();
        QCOMPARE(other.exec("COMMIT"), SQLITE_OK);
        QVERIFY(QFileInfo::exists(pending()));
        QVERIFY(editor.choosePlaying(marco));
        startAgain();
        QVERIFY(!QFileInfo::exists(pending()));
        QCOMPARE(whoseAnswers(), QStringLiteral("A|Giulia|0|2000 / E|Giulia|0|2000 / I|-|3000|5000"));
    }

    // A file from a newer program is neither changed nor replaced.
    void newerFileLeftAlone()
    {
        QVERIFY(plant(path(), "CREATE TABLE future(x); PRAGMA user_version = 7"));
        ResultsWriter w(path(), QStringLiteral("/opt/zampli"), report());
        w.record(answer(kMarch4, "FormZampli3", "A", Shown::Voice, 0, "A", Shown::Letter, 1));
        QVERIFY(!w.sync());
        QVERIFY(!w.sync());
        QCOMPARE(rows(path(), "PRAGMA user_version"), QStringLiteral("7"));
        QCOMPARE(rows(path(), "SELECT name FROM sqlite_master"), QStringLiteral("future"));
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains("versione più nuova"), qPrintable(told[0]));
    }

    // Answers set aside at the end go on with their session at the next
    // start. Put back as if that start had ended between the merge and the
    // file's removal, they are passed over: no answer is ever doubled.
    void pendingMergedOnlyOnce()
    {
        endWhileLocked(3);
        const QByteArray setAside = readFile(pending());
        QCOMPARE(rows(path(), "SELECT count(*) FROM answers"), QStringLiteral("1"));
        QCOMPARE(setAside.count('\n'), 6); // the batch's session, three answers, the end and the writer's own
        startAgain();
        QCOMPARE(rows(path(), "SELECT session_id, count(*) FROM answers GROUP BY session_id"), QStringLiteral("1|4"));
        QCOMPARE(rows(path(), "SELECT id, started_ms, ended_ms FROM sessions"),
                 QStringLiteral("1|1709546400000|1709546460000"));
        QVERIFY(!QFileInfo::exists(pending()));
        writeFile(pending(), setAside);
        startAgain();
        QCOMPARE(rows(path(), "SELECT count(*) FROM answers"), QStringLiteral("4"));
        QCOMPARE(rows(path(), "SELECT count(*) FROM sessions"), QStringLiteral("1"));
        QVERIFY(!QFileInfo::exists(pending()));
    }

    // Lines that are no record of ours do not stop the others; the file is
    // kept aside whole and the adult told.
    void unreadablePendingLinesKeptAside()
    {
        endWhileLocked(2);
        const QByteArray before =
            readFile(pending()) + "non \xc3\xa8 JSON\n{\"lotto\":\"x\",\"tipo\":\"risposta\",\"ms\":5}\n";
        writeFile(pending(), before);
        told.clear();
        startAgain();
        QCOMPARE(rows(path(), "SELECT count(*) FROM answers"), QStringLiteral("3"));
        QVERIFY(!QFileInfo::exists(pending()));
        const QStringList aside = QDir(dir.path()).entryList({QFileInfo(pending()).fileName() + ".guasto-*"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readFile(dir.filePath(aside[0])), before);
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains("righe illeggibili (2)"), qPrintable(told[0]));
    }

    // A link in place of the file beside the database is replaced, never
    // written through.
    void pendingNeverWrittenThroughALink()
    {
        const QString other = dir.filePath("altro.txt");
        writeFile(other, "intatto");
        QVERIFY(QFile::link(other, pending()));
        endWhileLocked(1);
        QCOMPARE(readFile(other), QByteArray("intatto"));
        QVERIFY(!QFileInfo(pending()).isSymLink());
        QCOMPARE(readFile(pending()).count('\n'), 4);
        QFile::remove(other);
    }

    // Past 100000 answers waiting for a locked file the oldest are kept and
    // the rest counted, in one row however many times the write is tried.
    void answersPastTheCapCountedOnce()
    {
        ResultsWriter w(path(), QStringLiteral("/opt/zampli"), report(), kShortQuit);
        w.sessionStarted(kMarch4);
        AnswerRecord a = answer(kMarch4, "FormZampli3", "E", Shown::Voice, 0, "I", Shown::Letter, 1);
        a.turn = 0;
        w.record(a);
        QVERIFY(w.sync());
        SqliteDb other;
        QCOMPARE(other.open(path(), false), SQLITE_OK);
        QCOMPARE(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        for (int k = 1; k <= 100005; ++k) {
            a.turn = k;
            a.atMs = kMarch4 + k;
            w.record(a);
        }
        QVERIFY(!w.sync());
        QVERIFY(!w.sync());
        QCOMPARE(other.exec("COMMIT"), SQLITE_OK);
        QVERIFY(w.sync());
        QCOMPARE(rows(path(), "SELECT count(*), min(turn), max(turn) FROM answers"), QStringLiteral("100001|0|100000"));
        QCOMPARE(rows(path(), "SELECT at_ms, kind, count FROM problems WHERE kind <> 'file occupato'"),
                 QStringLiteral("1709546500001|risposte perse|5"));
        w.record(a);
        QVERIFY(w.sync());
        QCOMPARE(rows(path(), "SELECT kind, count FROM problems ORDER BY id"),
                 QStringLiteral("file occupato|0 / risposte perse|5"));
        QCOMPARE(told.filter("incompleti").size(), 1);
    }

    // A file of the first version keeps its rows and its name given by the adult, and takes the new answers after
    // them. Ours is what our versions made: with the indexes the teacher's program adds, it is read and written at
    // every later start, never set aside.
    void firstVersionFileMigrated()
    {
        QVERIFY(plant(path(), RESULTS_FIRST_VERSION_FILE));
        {
            ResultsWriter w(path(), QStringLiteral("/opt/zampli"), report());
            w.sessionStarted(kMarch5);
            w.record(answer(kMarch5, "FormZampli3", "A", Shown::Voice, 0, "A", Shown::Letter, 1));
            QVERIFY(w.sync());
        }
        QCOMPARE(rows(path(), "PRAGMA user_version"), QStringLiteral("5"));
        QCOMPARE(rows(path(), "SELECT a.id, s.id, s.label, a.at_ms, a.answer_ms FROM answers a"
                              " JOIN sessions s ON s.id = a.session_id ORDER BY a.id"),
                 QStringLiteral("1|1|Anna|1709546400000|900 / 2|2||1709629200000|1000"));
        // The old answer is counted in the summaries with the new one.
        QCOMPARE(rows(path(), "SELECT last_answer, odd FROM summary_mark"), QStringLiteral("2|0"));
        QCOMPARE(rows(path(), "SELECT count(*) FROM problems"), QStringLiteral("0"));
        for (const qint64 at : {kMarch5 + 1000, kMarch5 + 2000}) {
            QVERIFY(ResultsReader::addIndexes(path()));
            ResultsReader r;
            QVERIFY2(r.open(path()), qPrintable(r.error()));
            ResultsWriter w(path(), QStringLiteral("/opt/zampli"), report());
            w.record(answer(at, "FormZampli3", "A", Shown::Voice, 0, "A", Shown::Letter, 1));
            QVERIFY(w.sync());
        }
        QCOMPARE(rows(path(), "SELECT count(*) FROM answers"), QStringLiteral("4"));
        QCOMPARE(rows(path(), "SELECT count(*) FROM sqlite_master WHERE name LIKE 'answers_reader_%'"),
                 QStringLiteral("2"));
        QCOMPARE(told, QStringList());
    }

    // Two days read back: scores summed over the sessions' tallies, as the
    // teacher's bars are; one matrix per way of asking and answering, the
    // letters' style with it, which the days filter and the kind chosen does
    // not; the sessions and the words missed most; the second day exported
    // as Italian spreadsheets open it: UTF-8 with a byte-order mark, ';'
    // between fields, quotes where a field needs them.
    void twoDaysReadBack()
    {
        writeTwoDays();
        ResultsReader r;
        QVERIFY2(r.open(path()), qPrintable(r.error()));
        QCOMPARE(scoresText(vowelTallies(r)), QStringLiteral("1/0 2/2 0/1 0/1 0/1"));
        QCOMPARE(scoresText(vowelTallies(r, {.label = "Anna"})), QStringLiteral("0/0 2/2 0/0 0/1 0/1"));
        QCOMPARE(scoresText(vowelTallies(r, {.fromMs = kMarch5})), QStringLiteral("1/0 0/0 0/1 0/0 0/0"));

        const auto kinds = [&r](const ResultsFilter &f) {
            QStringList out;
            for (const KindConfusion &k : r.confusionByKind(f))
                out << QStringLiteral("%1/%2/%3 %4").arg(k.kind.askedAs, k.kind.chosenAs).arg(k.kind.style).arg(cells(k.counts));
            return out;
        };
        QCOMPARE(kinds({}), QStringList({"lettera/faccia/3 O>A:1", "lettera/lettera/2 I>E:1",
                                         "parola/tessera/0 E>E:1 E>I:1 U>O:1", "voce/faccia/0 A>A:1",
                                         "voce/lettera/1 E>E:1 E>I:1"}));
        QCOMPARE(kinds({.fromMs = kMarch5}), QStringList({"lettera/lettera/2 I>E:1", "voce/faccia/0 A>A:1"}));
        QCOMPARE(kinds({.kind = QuestionKind{"voce", "lettera", 1}}), kinds({}));

        QStringList sessions;
        for (const SessionSummary &s : r.sessions())
            sessions << QStringLiteral("%1 %2 %3/%4 %5").arg(s.id).arg(s.label).arg(s.right).arg(s.wrong).arg(s.windows.join(","));
        QCOMPARE(sessions, QStringList({"1 Anna 2/4 FormIniziaPer,FormPosizioni5,FormZampli3",
                                        "2 Luca \"Bimbo\"; 2ª 1/1 FormCaratteri1,FormPosizioni3"}));
        QStringList words;
        for (const MissedWord &w : r.mostMissedWords(5))
            words << QStringLiteral("%1 %2/%3").arg(w.word).arg(w.wrong).arg(w.asked);
        QCOMPARE(words, QStringList({"elmo 1/2", "uva 1/1"}));
        QCOMPARE(r.mostMissedWords(1).size(), 1);

        const QString csv = dir.filePath("risultati.csv");
        QVERIFY2(r.exportCsv(csv, {.fromMs = kMarch5}), qPrintable(r.error()));
        QCOMPARE(readFile(csv),
                 QByteArray("\xEF\xBB\xBF"
                            "Data;Ora;Sessione;Nome;Finestra;Turno;Chiesto;Chiesto come;Stile chiesto;Parola;"
                            "Scelto;Scelto come;Stile scelto;Esito;Tempo di risposta (ms)\r\n"
                            "05/03/2024;09:00:00;2;\"Luca \"\"Bimbo\"\"; 2\xC2\xAA\";FormPosizioni3;1;A;voce;;;A;faccia;;"
                            "giusto;1200\r\n"
                            "05/03/2024;09:00:05;2;\"Luca \"\"Bimbo\"\"; 2\xC2\xAA\";FormCaratteri1;1;I;lettera;2;;E;"
                            "lettera;1;sbagliato;3000\r\n"));
    }

    void csvCellsNeverFormulas_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<QStringList>("cells"); // the first eight answers' name and word
        // Names the adult typed that a spreadsheet would run as a formula: a quote mark before them.
        QTest::newRow("formulas") << QByteArray("UPDATE sessions SET label = '=HYPERLINK(\"x\")' WHERE id = 1;"
                       "UPDATE sessions SET label = '@Anna' WHERE id = 2;"
                       "UPDATE answers SET word = '+39' WHERE id = 4; UPDATE answers SET word = '-1' WHERE id = 5;"
                       "UPDATE answers SET word = char(9) || 'x' WHERE id = 6;"
                       "UPDATE answers SET word = char(13) || 'y' WHERE id = 3;")
            << QStringList({"\"'=HYPERLINK(\"\"x\"\")\"|", "\"'=HYPERLINK(\"\"x\"\")\"|",
                            "\"'=HYPERLINK(\"\"x\"\")\"|\"'\ry\"", "\"'=HYPERLINK(\"\"x\"\")\"|'+39",
                            "\"'=HYPERLINK(\"\"x\"\")\"|'-1", "\"'=HYPERLINK(\"\"x\"\")\"|'\tx", "'@Anna|", "'@Anna|"});
        // Blanks before a formula do not hide it, and marks that turn text around are dropped.
        QTest::newRow("after blanks or turned") << QByteArray("UPDATE sessions SET label = ' =1+1' WHERE id = 1;"
                       "UPDATE sessions SET label = char(8238) || 'Anna' || char(8236) WHERE id = 2;"
                       "UPDATE answers SET word = char(1564) || '-1' WHERE id = 3;"
                       "UPDATE answers SET word = char(8294) || '+39' || char(8297) WHERE id = 4;"
                       "UPDATE answers SET word = ' ' || char(9) || '@x' WHERE id = 5;"
                       "UPDATE answers SET word = 'o' || char(8206) || 'k' || char(8207) WHERE id = 6;"
                       "UPDATE answers SET word = char(8237) || '=1' || char(8204) WHERE id = 7;")
            << QStringList({"' =1+1|", "' =1+1|", "' =1+1|'-1", "' =1+1|'+39", "' =1+1|' \t@x", "' =1+1|ok",
                            QStringLiteral("Anna|'=1\u200C"), "Anna|"});
    }

    void csvCellsNeverFormulas()
    {
        QFETCH(QByteArray, sql);
        QFETCH(QStringList, cells);
        writeTwoDays();
        QVERIFY(plant(path(), sql.constData()));
        QCOMPARE(exportedNamesAndWords(), cells);
    }

    // An export that fails says why, naming the file, and writes nothing: a
    // folder that is not there; a file whose answers cannot all be read,
    // which gives no table that looks whole; a file that did not open.
    void exportFailureSaidAndNothingWritten()
    {
        {
            ResultsWriter w(path(), QStringLiteral("/opt/zampli"), report());
            w.sessionStarted();
            for (int k = 0; k < 400; ++k)
                w.record(answer(kMarch5 + 10000 + k, "FormIniziaPer", "E", Shown::Word, 0, "I", Shown::Tile, 0,
                                "elefante ed elmo e erba", 1000));
            QVERIFY(w.sync());
        }
        const QList<qint64> leaves = zampli::test::leafPages(path(), "answers");
        QVERIFY(leaves.size() > 2);
        ResultsReader whole; // its own connection: what it read is not kept for the reader below
        QVERIFY(whole.open(path()));
        const QString nowhere = dir.filePath("manca/risultati.csv");
        QVERIFY(!whole.exportCsv(nowhere));
        QCOMPARE(whole.error(), QStringLiteral("impossibile creare %1 (non c'è): scegli un'altra cartella").arg(nowhere));
        QVERIFY(!QFileInfo::exists(nowhere));
        ResultsReader r;
        QVERIFY(r.open(path()));
        QVERIFY(zampli::test::overwritePage(path(), leaves[1]));
        const QString csv = dir.filePath("rotto.csv");
        QVERIFY(!r.exportCsv(csv));
        QVERIFY2(r.error().contains(path()) && r.error().contains("guasto"), qPrintable(r.error()));
        QVERIFY(!QFileInfo::exists(csv));
        ResultsReader closed;
        QVERIFY(!closed.open(dir.filePath("nessuno.sqlite")));
        QVERIFY(!closed.exportCsv(csv));
        QVERIFY2(closed.error().contains("nessuno.sqlite"), qPrintable(closed.error()));
        QVERIFY(!QFileInfo::exists(csv));
    }

    // One program folder, one file: through a link, or spelt another way.
    void oneFolderOneFile()
    {
        QTemporaryDir home;
        const QString link = linkedFolder(home, "collegamento");
        QVERIFY(!link.isEmpty());
        const QString real = home.filePath("classe/zampli");
        const QString folder = dir.filePath("stato");
        const QString expected = fileNamed(folder, "zampli", real);
        QCOMPARE(resultsDatabasePath(folder, real), expected);
        QCOMPARE(resultsDatabasePath(folder, link), expected);
        QCOMPARE(resultsDatabasePath(folder, home.filePath("classe/./zampli/")), expected);
        QCOMPARE(resultsDatabasePath(folder, home.filePath("classe/../classe/zampli")), expected);
    }

    // A file an older program named after the link is renamed, with its
    // log, to the folder's one name: the history stays.
    void fileNamedFromALinkKept()
    {
        QTemporaryDir home;
        const QString link = linkedFolder(home, "mio");
        QVERIFY(!link.isEmpty());
        const QString folder = dir.filePath("vecchio");
        QVERIFY(QDir().mkpath(folder));
        const QString old = fileNamed(folder, "mio", link);
        {
            // As a program killed while playing leaves it: the answer in the log only.
            const QString scratch = dir.filePath("scratch.sqlite");
            ResultsWriter w(scratch, link, report());
            w.sessionStarted(kMarch4);
            w.record(answer(kMarch4 + 1000, "FormZampli3", "A", Shown::Voice, 0, "A", Shown::Letter, 1));
            QVERIFY(w.sync());
            QVERIFY(QFile::copy(scratch, old));
            QVERIFY(QFile::copy(scratch + "-wal", old + "-wal"));
        }
        const QString now = resultsDatabasePath(folder, link);
        QCOMPARE(now, resultsDatabasePath(folder, home.filePath("classe/zampli")));
        QVERIFY(!QFileInfo::exists(old));
        QVERIFY(!QFileInfo::exists(old + "-wal"));
        QCOMPARE(rows(now, "SELECT count(*) FROM answers"), QStringLiteral("1"));
        // The file of the folder's one name wins over an old one made since.
        writeFile(old, {});
        QCOMPARE(resultsDatabasePath(folder, link), now);
        QVERIFY(QFileInfo::exists(old));
        QCOMPARE(rows(now, "SELECT count(*) FROM answers"), QStringLiteral("1"));
    }

    void readerRefusesWhatIsNoResults()
    {
        writeFile(path(), QByteArray(4096, 'x'));
        ResultsReader r;
        QVERIFY(!r.open(path()));
        QVERIFY(!r.error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(ResultsStoreTest)
#include "test_results_store.moc"
