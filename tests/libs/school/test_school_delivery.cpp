// SPDX-License-Identifier: GPL-3.0-or-later
// Computers of a class deliver their answers to a real PostgreSQL server
// started by the test, each through its own results file written by a real
// ResultsWriter: every answer arrives once, whatever the server does.
#include "CopyFiles.h"
#include "ResultsRows.h"
#include "SchoolClass.h"

#include "results/DeliveryStatus.h"
#include "results/ResultsWriter.h"
#include "results/Schema.h"
#include "school/SchoolDelivery.h"
#include "school/SchoolSetting.h"

#include <QtTest>
#include <future>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

using namespace zampli;
using zampli::test::PgServer;

namespace {

const QString kCopyId = QStringLiteral("00112233445566778899aabbccddeeff");

// Short pauses, so that a test waits on the server, not on the backoff.
constexpr SchoolDelivery::Timing kQuick{.pollMs = 20, .firstRetryMs = 50, .lastRetryMs = 200, .connectSeconds = 5};

AnswerRecord answer(qint64 atMs, int turn)
{
    return {.atMs = atMs, .window = "FormZampli3", .turn = turn, .asked = "E", .askedAs = Shown::Voice,
            .chosen = turn % 3 ? "E" : "I", .chosenAs = Shown::Tile, .right = turn % 3 != 0, .answerMs = 800 + turn};
}

// One computer of the class: a copy's folder with its setting, the results
// file of its account, the child's program's writer and delivery.
struct Computer {
    QString name;
    QString copyFolder;
    QString results;
    QStringList told; // what the adult was told, by the writer and the delivery until they end
    qint64 nextAt = 0;
    std::unique_ptr<ResultsWriter> writer;
    std::unique_ptr<SchoolDelivery> delivery; // ends first, while the file's writer is there

    Computer(const QString &root, const QString &computer, qint64 firstAtMs) : name(computer), nextAt(firstAtMs)
    {
        copyFolder = root + QLatin1Char('/') + computer + QStringLiteral("/copia");
        results = root + QLatin1Char('/') + computer + QStringLiteral("/state/zampli/risultati.sqlite");
        QDir().mkpath(copyFolder);
        QDir().mkpath(QFileInfo(results).path());
        writer = std::make_unique<ResultsWriter>(results, copyFolder, [this](const QString &line) { told << line; });
    }
    void startDelivering()
    {
        delivery = std::make_unique<SchoolDelivery>(copyFolder, results, DeliveryKey{{}, name, QStringLiteral("alunni")},
                                                    [this](const QString &line) { told << line; }, kQuick);
    }

    // `count` answers, one a second, in the session under way.
    void play(int count)
    {
        for (int i = 0; i < count; ++i) {
            writer->record(answer(nextAt, i + 1));
            nextAt += 1000;
        }
        QVERIFY(writer->sync());
    }

    DeliveryStatus status() const
    {
        SqliteDb db;
        QString error;
        if (!openResults(db, results, true, 1000, error))
            return DeliveryStatus{-1, 0, 0, error, false};
        return deliveryStatus(db);
    }

    QString localAnswers() const { return test::queryRows(results, "SELECT count(*) FROM answers", true); }
};

// A connection waits on the listening socket to be accepted.
bool knocking(int listener)
{
    pollfd p{listener, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

} // namespace

class SchoolDeliveryTest : public QObject {
    Q_OBJECT

    PgServer server_;
    PreparedSchool made_;
    QTemporaryDir root_;

    void giveServer(Computer &c, const QString &password)
    {
        const QString connection = server_.connection(QStringLiteral("classe"), made_.roles.computers, password);
        QVERIFY(writeSchoolSetting(c.copyFolder, SchoolSetting{connection, kCopyId}));
    }

    qint64 onServer(const QString &where)
    {
        return server_.sql(QStringLiteral("classe"),
                           QStringLiteral("SELECT count(*) FROM zampli.answers a JOIN zampli.sessions s "
                                          "ON s.id = a.session_id WHERE ") + where)
            .toLongLong();
    }

    // Answers of a computer the server holds more than once, told apart by when they were given.
    qint64 twiceOnServer(const QString &computer)
    {
        return server_.sql(QStringLiteral("classe"),
                           QStringLiteral("SELECT count(*) FROM (SELECT a.at_ms FROM zampli.answers a JOIN "
                                          "zampli.sessions s ON s.id = a.session_id WHERE s.computer = '%1' "
                                          "GROUP BY a.at_ms HAVING count(*) > 1) AS d")
                               .arg(computer))
            .toLongLong();
    }

private slots:
    void initTestCase()
    {
        const QString why = test::prepareClass(server_, made_);
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }

    // Two computers on one copy's setting: each session kept under its own
    // computer, a session longer than a chunk whole, none twice.
    void twoComputersDeliverEveryAnswerOnce()
    {
        Computer first(root_.path(), QStringLiteral("aula-1"), 1765000000000);
        Computer second(root_.path(), QStringLiteral("aula-2"), 1765000000000);
        giveServer(first, made_.computersPassword);
        giveServer(second, made_.computersPassword);
        first.play(150);
        second.play(kDeliveryChunk + 300);
        first.startDelivering();
        second.startDelivering();
        QTRY_COMPARE_WITH_TIMEOUT(onServer("s.computer = 'aula-2'"), qint64(2300), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(onServer("s.computer = 'aula-1'"), qint64(150), 30000);
        QCOMPARE(twiceOnServer(QStringLiteral("aula-1")), qint64(0));
        QCOMPARE(twiceOnServer(QStringLiteral("aula-2")), qint64(0));
        QCOMPARE(server_.sql("classe", "SELECT string_agg(computer || ':' || account || ':' || copy, ',' ORDER BY computer) "
                                       "FROM zampli.sessions WHERE computer LIKE 'aula-%'"),
                 QStringLiteral("aula-1:alunni:%1,aula-2:alunni:%1").arg(kCopyId));
        QTRY_COMPARE(first.status().waiting, qint64(0));
        QTRY_COMPARE(second.status().waiting, qint64(0));
        QCOMPARE(first.told, QStringList());
    }

    // More sessions than one look at the file takes: every one goes,
    // though the writer writes nothing more.
    void aFileOfManySessionsGoesWhole()
    {
        Computer c(root_.path(), QStringLiteral("aula-8"), 1771000000000);
        giveServer(c, made_.computersPassword);
        for (int i = 0; i < 1500; ++i) {
            c.writer->sessionStarted(c.nextAt);
            c.writer->record(answer(c.nextAt, 1));
            c.nextAt += 1000;
        }
        QVERIFY(c.writer->sync());
        c.startDelivering();
        QTRY_COMPARE_WITH_TIMEOUT(server_.sql("classe", "SELECT count(*) FROM zampli.sessions WHERE computer = 'aula-8'"),
                                  QStringLiteral("1500"), 60000);
        QCOMPARE(onServer("s.computer = 'aula-8'"), qint64(1500));
        QTRY_COMPARE(c.status().waiting, qint64(0));
    }

    // Answers given while the server is down wait in the file, the adult
    // can read why, and arrive once it is back: each once.
    void serverStoppedMidSessionLosesNothing()
    {
        Computer c(root_.path(), QStringLiteral("aula-3"), 1766000000000);
        giveServer(c, made_.computersPassword);
        c.startDelivering();
        c.play(40);
        QTRY_COMPARE_WITH_TIMEOUT(onServer("s.computer = 'aula-3'"), qint64(40), 30000);

        QVERIFY(server_.stop());
        c.play(60);
        QTRY_COMPARE_WITH_TIMEOUT(c.status().reason.isEmpty(), false, 30000);
        const DeliveryStatus waiting = c.status();
        QCOMPARE(waiting.waiting, qint64(60));
        QVERIFY(waiting.waitingSinceMs > 0);
        QVERIFY2(waiting.reason.contains(QLatin1String("non risponde")), qPrintable(waiting.reason));
        QVERIFY2(deliveryText(waiting).startsWith(QLatin1String("60 risposte aspettano dal ")),
                 qPrintable(deliveryText(waiting)));
        c.play(25);

        const QString why = server_.start();
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QTRY_COMPARE_WITH_TIMEOUT(onServer("s.computer = 'aula-3'"), qint64(125), 30000);
        QCOMPARE(c.localAnswers(), QStringLiteral("125"));
        QCOMPARE(twiceOnServer(QStringLiteral("aula-3")), qint64(0));
        QTRY_COMPARE(c.status().waitingSinceMs, qint64(0));
        QCOMPARE(c.status().waiting, qint64(0));
        QCOMPARE(c.status().reason, QString());
    }

    // A setting with a wrong password: the adult can read why, nothing is
    // lost, and the corrected setting is used without a restart.
    void wrongPasswordWaitsUntilTheSettingIsRight()
    {
        Computer c(root_.path(), QStringLiteral("aula-4"), 1767000000000);
        giveServer(c, QStringLiteral("sbagliata"));
        c.play(30);
        c.startDelivering();
        QTRY_COMPARE_WITH_TIMEOUT(c.status().reason, QStringLiteral("il server della scuola non accetta la password"),
                                  30000);
        QCOMPARE(c.status().waiting, qint64(30));
        QCOMPARE(onServer("s.computer = 'aula-4'"), qint64(0));

        giveServer(c, made_.computersPassword);
        QTRY_COMPARE_WITH_TIMEOUT(onServer("s.computer = 'aula-4'"), qint64(30), 30000);
        QTRY_COMPARE(c.status().reason, QString());
        QCOMPARE(c.status().waiting, qint64(0));
        QCOMPARE(c.localAnswers(), QStringLiteral("30"));
    }

    // A setting file that cannot be read is told to the adult, once.
    void unreadableSettingIsToldOnce()
    {
        Computer c(root_.path(), QStringLiteral("aula-5"), 1768000000000);
        writeFile(schoolSettingPath(c.copyFolder), "connessione=host=/tmp dbname=classe\n"); // no copy id
        c.play(5);
        c.startDelivering();
        QTRY_COMPARE_WITH_TIMEOUT(c.told.size(), 1, 30000);
        QVERIFY2(c.told.first().contains(schoolSettingPath(c.copyFolder)), qPrintable(c.told.first()));
        QTRY_VERIFY(!c.status().reason.isEmpty());
        // Another round, the same trouble.
        const qint64 tried = c.status().triedMs;
        QTRY_VERIFY(c.status().triedMs > tried);
        QCOMPARE(c.told.size(), 1);
        QCOMPARE(c.status().waiting, qint64(5));
    }

    // Answers of a child the teacher erased on the server never come back
    // there: the computer takes the refusal as done, even when it sends
    // everything again.
    void erasedChildIsNotBroughtBack()
    {
        Computer c(root_.path(), QStringLiteral("aula-6"), 1769000000000);
        giveServer(c, made_.computersPassword);
        const QString child = server_.sql("classe", "SELECT zampli.add_child('Anna')");
        QVERIFY(child.toLongLong() > 0);
        {
            // The teacher names the child and says she plays, before any answer.
            SqliteDb db;
            QCOMPARE(db.open(c.results, false), 0);
            QCOMPARE(migrate(db), 0);
            QCOMPARE(db.exec(qPrintable(QStringLiteral("INSERT INTO children(id, name, created_ms, server_id) "
                                                       "VALUES(7, 'Anna', 0, %1);"
                                                       "INSERT INTO now_playing(one, child_id) VALUES(1, 7)")
                                            .arg(child))),
                     0);
        }
        c.startDelivering();
        c.play(10);
        QTRY_COMPARE_WITH_TIMEOUT(onServer("s.child_id = " + child), qint64(10), 30000);

        QCOMPARE(server_.sql("classe", "SELECT zampli.erase_child(" + child + ")"), QStringLiteral("10"));
        c.play(5);
        QTRY_COMPARE_WITH_TIMEOUT(c.status().waiting, qint64(0), 30000);
        {
            SqliteDb db;
            QString error;
            QVERIFY2(openResults(db, c.results, false, 1000, error), qPrintable(error));
            QCOMPARE(db.exec("DELETE FROM delivered"), 0);
        }
        QTRY_COMPARE_WITH_TIMEOUT(c.status().waiting, qint64(0), 30000);
        QCOMPARE(onServer("s.computer = 'aula-6'"), qint64(0));
        QCOMPARE(server_.sql("classe", "SELECT count(*) FROM zampli.sessions WHERE computer = 'aula-6'"),
                 QStringLiteral("0"));
        QCOMPARE(c.localAnswers(), QStringLiteral("15"));
    }

    // A server that takes the connection and never answers keeps nobody
    // waiting at the end: the delivery ends long before the connection's
    // own timeout.
    void endsWhileTheServerHangs()
    {
        QTemporaryDir hang;
        const QByteArray socketPath = QFile::encodeName(hang.path() + QStringLiteral("/.s.PGSQL.5432"));
        const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(listener >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, socketPath.constData(), sizeof address.sun_path);
        QCOMPARE(bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        QCOMPARE(listen(listener, 4), 0);

        Computer c(root_.path(), QStringLiteral("aula-7"), 1770000000000);
        const QString hanging = QStringLiteral("host=%1 dbname=classe user=x password=y connect_timeout=60").arg(hang.path());
        QVERIFY(writeSchoolSetting(c.copyFolder, SchoolSetting{hanging, kCopyId}));
        c.play(3);
        c.startDelivering();
        // The delivery is connecting: its connection waits to be accepted.
        QTRY_VERIFY_WITH_TIMEOUT(knocking(listener), 30000);
        auto ended = std::async(std::launch::async, [&c] { c.delivery.reset(); });
        QTRY_VERIFY_WITH_TIMEOUT(ended.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 5000);
        QCOMPARE(c.status().waiting, qint64(3));
        ::close(listener);
    }
};

QTEST_GUILESS_MAIN(SchoolDeliveryTest)
#include "test_school_delivery.moc"
