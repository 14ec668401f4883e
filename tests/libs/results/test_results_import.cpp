// SPDX-License-Identifier: GPL-3.0-or-later
// Another computer's results file taken into this one's: each session once
// however often the file is taken, its children matched by name, and a file
// that is not ours refused before anything changes.
#include "results/ResultsEditor.h"
#include "results/ResultsImport.h"
#include "ResultsPlant.h"
#include "ResultsRows.h"
#include "VowelTallies.h"
#include "results/Schema.h"

#include <QtTest>

using namespace zampli;

namespace {

void run(const QString &path, const QString &sql)
{
    ResultsEditor maker;
    QVERIFY2(maker.open(path, ResultsEditor::IfMissing::Make), qPrintable(maker.error()));
    SqliteDb db;
    QString why;
    QVERIFY2(openResults(db, path, false, 1000, why), qPrintable(why));
    QCOMPARE(db.exec(sql.toUtf8().constData()), SQLITE_OK);
}

// One answer to E heard, right or wrong.
QString answer(int session, int at, int right)
{
    return QStringLiteral("INSERT INTO answers(session_id, at_ms, window, turn, asked, asked_as, asked_style, word, "
                          "chosen, chosen_as, chosen_style, right, answer_ms) VALUES(%1, %2, 'FormZampli3', 1, 'E', "
                          "'voce', 0, NULL, '%3', 'faccia', 0, %4, 700);")
        .arg(session)
        .arg(at)
        .arg(right ? "E" : "I")
        .arg(right);
}

} // namespace

class ResultsImportTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString source_, target_;

private slots:
    void init()
    {
        source_ = dir_.filePath(QStringLiteral("Classe-1a2b3c4d.sqlite"));
        target_ = dir_.filePath(QStringLiteral("Classe-99999999.sqlite"));
        QFile::remove(source_), QFile::remove(target_);
        // The other computer: Marco's session, one of nobody, one it took in itself.
        run(source_, "INSERT INTO children(id, name, created_ms) VALUES(7, 'Marco', 1);"
                     "INSERT INTO children(id, name, created_ms) VALUES(8, 'Giulia', 1);"
                     "INSERT INTO sessions(id, started_ms, ended_ms, program_folder, child_id, uid) VALUES"
                     " (1, 1000, 2000, '/x', 7, 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa'),"
                     " (2, 3000, 4000, '/x', NULL, 'bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb'),"
                     " (3, 5000, 6000, '/x', 8, 'cccccccccccccccccccccccccccccccc');"
                     "UPDATE sessions SET origin = 'c0p1/lab-2/anna' WHERE id = 3;" +
                         answer(1, 1100, 1) + answer(1, 1200, 0) + answer(1, 1300, 1) + answer(2, 3100, 1) +
                         answer(3, 5100, 0));
        // This computer knows Marco, written otherwise, and has a session of its own.
        run(target_, "INSERT INTO children(id, name, created_ms) VALUES(1, 'marco', 1);"
                     "INSERT INTO sessions(id, started_ms, ended_ms, program_folder, child_id, uid) VALUES"
                     " (1, 500, 600, '/y', 1, 'dddddddddddddddddddddddddddddddd');" +
                         answer(1, 550, 1));
    }

    // The copy's own file is not taken into itself. Another's, taken twice,
    // adds once. Marco's answers go to this computer's Marco; Giulia joins
    // the class; each session keeps where it came from.
    void aFileTakenTwiceAddsOnceMatchingTheChildren()
    {
        ResultsTakenIn count;
        QString why;
        QVERIFY(!takeInResults(target_, target_, count, why));
        QCOMPARE(why, target_ + " è il file dei risultati di questa copia: scegli quello dell'altro computer");
        QCOMPARE(test::queryRows(target_, "SELECT count(*) FROM answers", true), QString("1"));

        QVERIFY2(takeInResults(target_, source_, count, why), qPrintable(why));
        QCOMPARE(count.answersAdded, 5);
        QCOMPARE(count.answersAlready, 0);
        QCOMPARE(count.sessionsAdded, 3);

        QVERIFY2(takeInResults(target_, source_, count, why), qPrintable(why));
        QCOMPARE(count.answersAdded, 0);
        QCOMPARE(count.answersAlready, 5);
        QCOMPARE(count.sessionsAdded, 0);
        QCOMPARE(test::queryRows(target_, "SELECT count(*) FROM answers", true), QString("6"));
        QCOMPARE(test::queryRows(target_, "SELECT name FROM children ORDER BY name", true), QString("Giulia / marco"));
        QCOMPARE(test::queryRows(target_, "SELECT s.uid, coalesce(c.name, '-'), coalesce(s.origin, '-'), "
                                         "(SELECT count(*) FROM answers a WHERE a.session_id = s.id) "
                                         "FROM sessions s LEFT JOIN children c ON c.id = s.child_id ORDER BY s.started_ms",
                                 true),
                 QString("dddddddddddddddddddddddddddddddd|marco|-|1 / "
                         "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa|marco|altro computer/Classe-1a2b3c4d.sqlite|3 / "
                         "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb|-|altro computer/Classe-1a2b3c4d.sqlite|1 / "
                         "cccccccccccccccccccccccccccccccc|Giulia|c0p1/lab-2/anna|1"));
        ResultsReader reader;
        QVERIFY(reader.open(target_));
        QCOMPARE(scoresText(vowelTallies(reader, {.childId = 1})), QStringLiteral("0/0 3/1 0/0 0/0 0/0"));
    }

    void aFileNotOursIsRefused_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::newRow("another program's database") << QByteArray("CREATE TABLE notes(t TEXT); INSERT INTO notes VALUES('x');");
        QTest::newRow("a trigger among our tables") << QByteArray("CREATE TRIGGER t AFTER INSERT ON answers BEGIN SELECT 1; END;");
    }

    void aFileNotOursIsRefused()
    {
        QFETCH(QByteArray, sql);
        const QString stranger = dir_.filePath(QStringLiteral("estraneo.sqlite"));
        QFile::remove(stranger);
        if (sql.contains("answers"))
            QVERIFY(QFile::copy(source_, stranger));
        QVERIFY(test::plant(stranger, sql.constData()));
        ResultsTakenIn count;
        QString why;
        QVERIFY(!takeInResults(target_, stranger, count, why));
        QCOMPARE(why, stranger + " non è un file di risultati di ZAMPLI, o è guasto: non ho preso nulla");
        QCOMPARE(count.answersAdded, 0);
        QCOMPARE(test::queryRows(target_, "SELECT count(*) FROM answers", true), QString("1"));
    }
};

QTEST_GUILESS_MAIN(ResultsImportTest)
#include "test_results_import.moc"
