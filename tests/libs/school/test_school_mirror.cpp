// SPDX-License-Identifier: GPL-3.0-or-later
// The class's answers as the teacher's computer reads them from a real
// PostgreSQL server started by the test: two computers' answers of one
// child, each once; what was read stays readable while the server is away;
// late deliveries reach the teacher's file.
#include "ResultsPlant.h"
#include "ResultsRows.h"
#include "SchoolClass.h"

#include "VowelTallies.h"
#include "school/SchoolMirror.h"

#include <QtTest>

using namespace zampli;
using zampli::test::PgServer;
using zampli::test::heardAnswers;
using zampli::test::queryRows;

namespace {

const QByteArray kCopy = "0123456789abcdef0123456789abcdef";

} // namespace

class SchoolMirrorTest : public QObject {
    Q_OBJECT

    PgServer server_;
    PreparedSchool made_;
    QTemporaryDir cache_;
    QString marco_, giulia_;

    PgParams params(const QString &role, const QString &password) { return test::classAs(server_, role, password); }

    // One computer's delivery, as the child's program makes it.
    void deliver(const char *computer, const QByteArray &uid, int from, int to, const QString &child = {})
    {
        PgConnection db;
        QVERIFY2(db.open(params(made_.roles.computers, made_.computersPassword)), qPrintable(db.error()));
        PgResult r = db.exec("SELECT zampli.deliver($1, $2, 'marco', $3, $4, 1765000000000, 1765000100000, $5)",
                             {kCopy, computer, uid, (child.isEmpty() ? marco_ : child).toUtf8(), heardAnswers(from, to)});
        QVERIFY2(r.ok(), qPrintable(r.message()));
        QCOMPARE(r.text(0, 0), QString("ok"));
    }

    MirrorPull pull(SchoolMirror &mirror)
    {
        PgConnection teacher;
        if (!teacher.open(params(made_.roles.teacher, made_.teacherPassword), {}, 2))
            return MirrorPull{false, teacher.trouble(), teacher.error(), 0};
        return mirror.pull(teacher);
    }

    QString mirrorPath() const { return cache_.filePath("scuola.sqlite"); }

private slots:
    void initTestCase()
    {
        const QString why = test::prepareClass(server_, made_, QStringLiteral("Europe/Rome"));
        QVERIFY2(why.isEmpty(), qPrintable(why));
        bool ok = false;
        // Answer ids from 101, so that one can arrive late under a smaller id.
        server_.sql("classe", "SELECT setval('zampli.answers_id_seq', 100)", &ok);
        QVERIFY(ok);
        PgConnection teacher;
        QVERIFY(teacher.open(params(made_.roles.teacher, made_.teacherPassword)));
        marco_ = teacher.exec("SELECT zampli.add_child('Marco B.')").text(0, 0);
        QVERIFY(!marco_.isEmpty());
        giulia_ = teacher.exec("SELECT zampli.add_child('Giulia')").text(0, 0);
        QVERIFY(!giulia_.isEmpty());
    }

    // Two computers, one child: her answers from both, each once, though one
    // computer delivered its session twice.
    void oneChildsAnswersFromTwoComputersOnce()
    {
        deliver("lab-1", "11111111111111111111111111111111", 1, 3);
        deliver("lab-1", "11111111111111111111111111111111", 1, 3);
        deliver("lab-2", "22222222222222222222222222222222", 1, 2);
        SchoolMirror mirror(mirrorPath());
        QCOMPARE(mirror.readMs(), 0);
        const MirrorPull first = pull(mirror);
        QVERIFY2(first.ok, qPrintable(first.error));
        QCOMPARE(first.answersAdded, 5);
        QVERIFY(mirror.readMs() > 0);
        QCOMPARE(mirror.timeZone(), QString("Europe/Rome"));

        ResultsReader reader;
        QVERIFY2(reader.open(mirrorPath()), qPrintable(reader.error()));
        QCOMPARE(queryRows(mirrorPath(), "SELECT id, name FROM children ORDER BY name", true),
                 giulia_ + "|Giulia / " + marco_ + "|Marco B.");
        const ResultsFilter hers{.childId = marco_.toLongLong()};
        const QList<SessionSummary> sessions = reader.sessions(hers);
        QCOMPARE(sessions.size(), 2);
        QCOMPARE(sessions[0].childName, QString("Marco B."));
        // Right: seq 1 and 3 of lab-1, 1 of lab-2.
        QCOMPARE(scoresText(vowelTallies(reader, hers)), QStringLiteral("0/0 3/2 0/0 0/0 0/0"));
        QCOMPARE(queryRows(mirrorPath(), "SELECT count(DISTINCT origin) FROM sessions WHERE origin LIKE "
                                         "'0123456789abcdef0123456789abcdef/lab-_/marco'", true),
                 QStringLiteral("2"));

        const MirrorPull again = pull(mirror);
        QVERIFY(again.ok);
        QCOMPARE(again.answersAdded, 0);
    }

    // A reading left half made (the file there, its tables not) is made
    // again: it is only a copy of the server's.
    void aHalfMadeReadingIsMadeAgain()
    {
        const QString half = cache_.filePath("mezzo.sqlite");
        QVERIFY(test::plant(half, "PRAGMA user_version = 0; VACUUM"));
        QVERIFY(QFileInfo(half).isFile());
        SchoolMirror mirror(half);
        const MirrorPull r = pull(mirror);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.answersAdded, 5);
    }

    // A delivery that committed after a later one was read, under a smaller
    // id, still reaches the teacher.
    void aLateDeliveryUnderASmallerIdIsRead()
    {
        deliver("lab-1", "11111111111111111111111111111111", 4, 4);
        bool ok = false;
        server_.sql("classe", "INSERT INTO zampli.answers(id, session_id, seq, at_ms, \"window\", turn, asked, asked_as, "
                              "asked_style, chosen, chosen_as, chosen_style, \"right\", answer_ms) SELECT 50, id, 9, "
                              "1765000009000, 'FormZampli3', 9, 'E', 'voce', 0, 'E', 'faccia', 0, 1, 800 "
                              "FROM zampli.sessions WHERE computer = 'lab-2'", &ok);
        QVERIFY(ok);
        SchoolMirror mirror(mirrorPath());
        const MirrorPull r = pull(mirror);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.answersAdded, 2);
        QCOMPARE(queryRows(mirrorPath(), "SELECT count(*) FROM answers", true), QStringLiteral("7"));
        QCOMPARE(queryRows(mirrorPath(), "SELECT count(*) FROM answers WHERE id = 50", true), QStringLiteral("1"));
        // The views count it too, though it came under an id already counted.
        ResultsReader reader;
        QVERIFY2(reader.open(mirrorPath()), qPrintable(reader.error()));
        QCOMPARE(scoresText(vowelTallies(reader, {.childId = marco_.toLongLong()})), QStringLiteral("0/0 4/3 0/0 0/0 0/0"));
    }

    // The server away: the pull says so and the file keeps the last reading.
    void theLastReadingStaysWhileTheServerIsAway()
    {
        SchoolMirror mirror(mirrorPath());
        const qint64 read = mirror.readMs();
        // The test's server commits without waiting for the disk: what it holds is written first.
        server_.sql("classe", "CHECKPOINT");
        QVERIFY(server_.stop());
        const MirrorPull r = pull(mirror);
        const QString restarted = server_.start();
        QVERIFY2(restarted.isEmpty(), qPrintable(restarted));
        QVERIFY(!r.ok);
        QCOMPARE(r.trouble, PgConnection::Trouble::Unreachable);
        QVERIFY2(r.error.startsWith("il server della scuola non risponde"), qPrintable(r.error));
        QCOMPARE(mirror.readMs(), read);
        ResultsReader reader;
        QVERIFY(reader.open(mirrorPath()));
        QCOMPARE(reader.children().size(), 2);
        QCOMPARE(reader.sessions().size(), 2);
    }
};

QTEST_GUILESS_MAIN(SchoolMirrorTest)
#include "test_school_mirror.moc"
