// SPDX-License-Identifier: GPL-3.0-or-later
// A class's database on a real PostgreSQL server started by the test: each
// role kept to what it may do, every delivery counted once.
#include "SchoolClass.h"

#include "school/SchoolSetting.h"

#include <QtTest>

using namespace zampli;
using zampli::test::PgServer;
using zampli::test::heardAnswers;

namespace {

const QByteArray kCopy = "0123456789abcdef0123456789abcdef";
const QByteArray kSession = "fedcba9876543210fedcba9876543210";
} // namespace

class SchoolServerTest : public QObject {
    Q_OBJECT

    PgServer server_;
    PreparedSchool made_;

    PgParams params(const QString &role = {}, const QString &password = {}) { return test::classAs(server_, role, password); }

    // The computers' and the teacher's connections; true once both are open.
    bool openAs(PgConnection &computer, PgConnection &teacher)
    {
        return computer.open(params(made_.roles.computers, made_.computersPassword)) &&
               teacher.open(params(made_.roles.teacher, made_.teacherPassword));
    }

    // The first `columns` cells of a query's first row, joined by '|', or why it failed.
    static QString firstRow(PgConnection &db, const char *sql, const QList<QByteArray> &args = {}, int columns = 1)
    {
        PgResult r = db.exec(sql, args);
        if (!r.ok() || r.rows() < 1)
            return QStringLiteral("error %1: %2").arg(QString::fromLatin1(r.sqlState()), r.message());
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << r.text(0, c);
        return cells.join('|');
    }

    QString deliver(PgConnection &db, const QByteArray &child, int from, int to, const QByteArray &session = kSession)
    {
        return firstRow(db, "SELECT zampli.deliver($1, 'lab-3', 'marco', $2, $3, 1765000000000, 1765000100000, $4)",
                        {kCopy, session, child, heardAnswers(from, to)});
    }

private slots:
    void initTestCase()
    {
        const QString why = test::prepareClass(server_, made_);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        PgConnection owner;
        QVERIFY2(owner.open(params()), qPrintable(owner.error()));
        QCOMPARE(made_.roles.computers, QStringLiteral("classe_computer"));
        // Prepared as this program checks it before it delivers: the version it knows.
        QCOMPARE(deliveryRefused(owner), QString());
    }

    void theComputersRoleAddsAndReadsNothing()
    {
        PgConnection computer;
        QVERIFY2(computer.open(params(made_.roles.computers, made_.computersPassword)), qPrintable(computer.error()));
        QCOMPARE(deliver(computer, {}, 1, 3), QStringLiteral("ok"));
        for (const char *sql : {"SELECT count(*) FROM zampli.answers", "SELECT * FROM zampli.children",
                                "SELECT computers_password FROM zampli.school",
                                "INSERT INTO zampli.children(name, created_ms) VALUES ('x', 0)",
                                "DELETE FROM zampli.answers", "SELECT zampli.erase_child(1)",
                                "CREATE TABLE public.spia(x int)"}) {
            PgResult r = computer.exec(sql);
            QVERIFY2(!r.ok(), sql);
            QCOMPARE(r.sqlState(), QByteArray("42501")); // insufficient privilege
        }
    }

    // A delivery repeated is counted once; a child erased has her answers
    // refused for good, and her name is free again.
    void aDeliveryCountsOnceAndAnErasedChildsNever()
    {
        PgConnection computer, teacher;
        QVERIFY(openAs(computer, teacher));
        const QByteArray id = firstRow(teacher, "SELECT zampli.add_child('Giulia')").toUtf8();
        const auto send = [&](int from, int to) { return deliver(computer, id, from, to, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"); };
        QCOMPARE(send(1, 10), QStringLiteral("ok"));
        QCOMPARE(send(1, 10), QStringLiteral("ok")); // a retry after a lost reply
        QCOMPARE(send(5, 14), QStringLiteral("ok")); // overlapping the last
        QCOMPARE(firstRow(teacher, "SELECT count(*), sum(\"right\") FROM zampli.answers a JOIN zampli.sessions s "
                                   "ON s.id = a.session_id WHERE s.child_id = $1", {id}, 2),
                 QStringLiteral("14|7"));
        QCOMPARE(firstRow(teacher, "SELECT sum(answers), sum(right_answers) FROM zampli.summaries WHERE child_id = $1",
                          {id}, 2),
                 QStringLiteral("14|7"));

        const QByteArray pietro = firstRow(teacher, "SELECT zampli.add_child('Pietro')").toUtf8();
        const QByteArray session = "cccccccccccccccccccccccccccccccc";
        QCOMPARE(deliver(computer, pietro, 1, 4, session), QStringLiteral("ok"));
        QCOMPARE(firstRow(teacher, "SELECT zampli.erase_child($1)", {pietro}), QStringLiteral("4"));
        // The computer still holds them and tries again: told, nothing back.
        QCOMPARE(deliver(computer, pietro, 1, 6, session), QStringLiteral("cancellato"));
        QCOMPARE(firstRow(teacher, "SELECT (SELECT count(*) FROM zampli.sessions WHERE child_id = $1) + "
                                   "(SELECT count(*) FROM zampli.summaries WHERE child_id = $1)", {pietro}),
                 QStringLiteral("0"));
        // Her name is free for a new child of the class.
        QVERIFY(!firstRow(teacher, "SELECT zampli.add_child('Pietro')").startsWith("error"));
    }

    void aBadAnswerIsRefusedWhole()
    {
        PgConnection computer;
        QVERIFY(computer.open(params(made_.roles.computers, made_.computersPassword)));
        QByteArray bad = heardAnswers(1, 2);
        bad.replace("\"asked\":\"E\"", "\"asked\":\"X\"");
        PgResult r = computer.exec("SELECT zampli.deliver($1, 'lab-1', 'anna', 'bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb', "
                                   "NULL, 1, 2, $2)",
                                   {kCopy, bad});
        QVERIFY(!r.ok());
        QCOMPARE(r.sqlState(), QByteArray("23514")); // a check violated
        PgResult notAKey = computer.exec("SELECT zampli.deliver('../../etc', 'lab-1', 'anna', "
                                         "'bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb', NULL, 1, 2, '[]')");
        QCOMPARE(notAKey.sqlState(), QByteArray("22023"));
    }

    void connectionsElsewhereAreEncrypted()
    {
        QString error;
        const auto remote = parseConnection(QStringLiteral("host=scuola.lan dbname=classe user=u"), &error);
        QVERIFY(remote);
        QCOMPARE(remote->value("sslmode"), QByteArray("require"));
        QVERIFY(!parseConnection(QStringLiteral("host=scuola.lan dbname=classe sslmode=prefer"), &error));
        QVERIFY2(error.contains(QStringLiteral("sslmode=require")), qPrintable(error));
        QVERIFY(!parseConnection(QStringLiteral("postgresql://10.0.0.2/classe?sslmode=disable"), &error));
        QVERIFY(!parseConnection(QStringLiteral("host=/run/x,scuola.lan dbname=c sslmode=allow"), &error));
        const auto local = parseConnection(QStringLiteral("host=/run/postgresql dbname=classe"), &error);
        QVERIFY(local);
        QCOMPARE(local->value("sslmode"), QByteArray());
        // What reaches the server's settings or runs a command is not a copy's to say.
        QVERIFY(!parseConnection(QStringLiteral("host=/run/x dbname=c options='-c search_path=evil'"), &error));
        QVERIFY2(error.contains(QStringLiteral("«options»")), qPrintable(error));
        QVERIFY(!parseConnection(QStringLiteral("service=scuola dbname=c"), &error));
        QVERIFY(!parseConnection(QStringLiteral("host=/run/x"), &error)); // no database
    }

    void aCopysSettingIsReadBackOrRefused()
    {
        QTemporaryDir copy;
        QVERIFY(!readSchoolSetting(copy.path()));
        QVERIFY(!hasSchoolSetting(copy.path()));
        const SchoolSetting s{QStringLiteral("host=/run/x dbname=classe user=classe_computer password=p"), newCopyId()};
        QString error;
        QVERIFY2(writeSchoolSetting(copy.path(), s, &error), qPrintable(error));
        const auto back = readSchoolSetting(copy.path(), &error);
        QVERIFY(back);
        QCOMPARE(back->connection, s.connection);
        QCOMPARE(back->copyId, s.copyId);
        QVERIFY(QFileInfo(schoolSettingPath(copy.path())).permissions() & QFileDevice::ReadOther);
        QFile f(schoolSettingPath(copy.path()));
        QVERIFY(f.open(QIODevice::Append));
        f.write("comando=rm -rf /\n");
        f.close();
        QVERIFY(!readSchoolSetting(copy.path(), &error));
        QVERIFY2(error.contains(QStringLiteral("«comando»")), qPrintable(error));
        QVERIFY(writeSchoolSetting(copy.path(), SchoolSetting{}, &error));
        QVERIFY(!hasSchoolSetting(copy.path()));
    }
};

QTEST_GUILESS_MAIN(SchoolServerTest)
#include "test_school_server.moc"
