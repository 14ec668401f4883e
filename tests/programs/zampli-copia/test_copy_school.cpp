// SPDX-License-Identifier: GPL-3.0-or-later
// zampli-copia run as the technician runs it against a real PostgreSQL
// server started by the test: a class's database prepared, a real copy given
// the server and then taken off it, and every failure told in words.
#include "CopyFiles.h"
#include "PgServer.h"

#include "school/PgConnection.h"
#include "school/SchoolSetting.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zampli;
using namespace zampli::test;

namespace {

struct Run {
    int code = -2;
    QString out, err;
};

// As a terminal runs it: none of the tester's own PG variables.
Run runTool(const QString &program, const QStringList &args, bool asNobody = false)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &k : env.keys())
        if (k.startsWith(QLatin1String("PG")))
            env.remove(k);
    p.setProcessEnvironment(env);
    if (asNobody)
        p.setChildProcessModifier([] {
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                _exit(99);
        });
    p.start(program, args);
    Run r;
    r.code = !p.waitForStarted() ? -2 : p.waitForFinished(60000) ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class CopySchoolTest : public QObject {
    Q_OBJECT

    PgServer server_;
    QTemporaryDir root_;
    QString program_; // a program folder with the build's media and zampli-copia
    QString copy_;    // a copy made by zampli-copia from it
    QString copiesConnection_;
    QString teacherPassword_;

    QString tool() const { return program_ + "/zampli-copia"; }

private slots:
    void initTestCase()
    {
        const QString why = server_.start();
        if (!why.isEmpty())
            QFAIL(qPrintable(why));
        bool ok = false;
        server_.sql("postgres", "CREATE DATABASE classe", &ok);
        QVERIFY(ok);
        server_.sql("postgres", "CREATE DATABASE vuota", &ok);
        QVERIFY(ok);

        QVERIFY(root_.isValid());
        homeIn(root_.path());
        program_ = root_.filePath("program");
        writeStandInProgram(program_);
        const QString built = QCoreApplication::applicationDirPath();
        QVERIFY(QFile::copy(built + "/zampli-copia", program_ + "/zampli-copia"));
        for (const char *sub : {"jpg", "voci", "suoni", "testi"})
            QCOMPARE(QProcess::execute("cp", {"-R", built + "/" + sub, program_}), 0);
        copy_ = root_.filePath("copie/Classe 2ª B");
        QDir().mkpath(root_.filePath("copie"));
        const Run made = runTool(tool(), {copy_});
        QVERIFY2(made.code == 0, qPrintable(made.err));
    }

    // A failure of one case leaves no setting to the next.
    void cleanup() { QFile::remove(copy_ + "/scuola.conf"); }

    // The technician's first run: the two roles, the teacher's password (that
    // opens her role) and the line for the copies, with the computers' role.
    void aPreparedDatabaseTellsWhatItMade()
    {
        const Run r = runTool(tool(), {"--scuola-prepara", server_.connection("classe", server_.superuser())});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.err, QString());
        QVERIFY2(r.out.startsWith("Il database «classe» è pronto per ZAMPLI.\n"), qPrintable(r.out));
        QVERIFY2(r.out.contains("Ruolo dei computer: classe_computer. "), qPrintable(r.out));
        QVERIFY2(r.out.contains("Ruolo dell'insegnante: classe_insegnante. "), qPrintable(r.out));

        const QRegularExpressionMatch password =
            QRegularExpression("\nPassword dell'insegnante: ([A-Za-z0-9]{24})\n").match(r.out);
        QVERIFY2(password.hasMatch(), qPrintable(r.out));
        teacherPassword_ = password.captured(1);
        const QRegularExpressionMatch line =
            QRegularExpression("\n  zampli-copia --scuola \"([^\"]+)\" COPIA\n").match(r.out);
        QVERIFY2(line.hasMatch(), qPrintable(r.out));
        copiesConnection_ = line.captured(1);
        QVERIFY2(copiesConnection_.contains(" user=classe_computer "), qPrintable(copiesConnection_));
        QVERIFY2(!copiesConnection_.contains(server_.superuser() + " "), qPrintable(copiesConnection_));

        PgConnection teacher;
        QVERIFY2(teacher.open(*parseConnection(server_.connection("classe", "classe_insegnante", teacherPassword_))),
                 qPrintable(teacher.error()));
        QCOMPARE(teacher.exec("SELECT count(*) FROM zampli.children").text(0, 0), QString("0"));

        const Run again = runTool(tool(), {"--scuola-prepara", server_.connection("classe", server_.superuser())});
        QCOMPARE(again.code, 1);
        QVERIFY2(again.err.contains("ha già le tabelle di ZAMPLI"), qPrintable(again.err));
        QCOMPARE(again.out, QString());
    }

    // The copy gets the line printed above, keeps its id when given it again,
    // and a computer can hand in answers with what the copy now says.
    void aCopyIsGivenTheServerAndTakenOffIt()
    {
        QVERIFY(!copiesConnection_.isEmpty());
        const Run r = runTool(tool(), {"--scuola", copiesConnection_, copy_});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, "La copia " + copy_ + " manda le risposte dei bambini al database «classe»: ogni computer "
                        "le consegna appena può, e le tiene finché il server non le ha.\n");
        QString why;
        const std::optional<SchoolSetting> setting = readSchoolSetting(copy_, &why);
        QVERIFY2(setting, qPrintable(why));
        QCOMPARE(setting->connection, copiesConnection_);
        QVERIFY(QRegularExpression("^[0-9a-f]{32}$").match(setting->copyId).hasMatch());

        PgConnection computer;
        QVERIFY2(computer.open(*parseConnection(setting->connection)), qPrintable(computer.error()));
        PgResult handed = computer.exec(
            "SELECT zampli.deliver($1, 'lab-1', 'marco', 'fedcba9876543210fedcba9876543210', NULL, 1, 2, '[]')",
            {setting->copyId.toUtf8()});
        QVERIFY2(handed.ok(), qPrintable(handed.message()));
        QCOMPARE(handed.text(0, 0), QString("ok"));

        const Run again = runTool(tool(), {"--scuola", copiesConnection_, copy_});
        QCOMPARE(again.code, 0);
        QCOMPARE(readSchoolSetting(copy_)->copyId, setting->copyId);

        const Run off = runTool(tool(), {"--scuola", "", copy_});
        QCOMPARE(off.code, 0);
        QCOMPARE(off.out, "La copia " + copy_ + " non manda più le risposte al server della scuola: da ora "
                          "restano su ciascun computer.\n");
        QVERIFY(!QFile::exists(copy_ + "/scuola.conf"));
        const Run offAgain = runTool(tool(), {"--scuola", "", copy_});
        QCOMPARE(offAgain.code, 0);
        QCOMPARE(offAgain.out, "La copia " + copy_ + " non aveva un server della scuola: non è cambiato nulla.\n");
    }

    // Each failure leaves the copy as it was and says what to do.
    void aCopyIsNotGivenAServerThatWouldRefuseIt_data()
    {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("message");
        const QString socket = server_.socketFolder();
        QTest::newRow("wrong password") << "host=" + socket + " dbname=classe user=classe_computer password=sbagliata"
                                        << "Il server della scuola non accetta la password. La copia non è stata "
                                           "cambiata. Copia di nuovo la connessione";
        QTest::newRow("away") << "host=" + socket + "/altrove dbname=classe user=classe_computer password=x"
                              << "Il server della scuola non risponde (";
        // The superuser comes in without a password; the one given is not checked.
        QTest::newRow("not prepared") << server_.connection("vuota", server_.superuser(), "x")
                                      << "Il database «vuota» non è preparato per ZAMPLI. La copia non è stata "
                                         "cambiata. Prepara il database con «zampli-copia --scuola-prepara»";
        QTest::newRow("teacher's role") << "TEACHER"
                                        << "Il ruolo «classe_insegnante» non è quello dei computer e non può "
                                           "consegnare le risposte. La copia non è stata cambiata.";
        // The technician's own password file would let it through here, and
        // no computer has one.
        QTest::newRow("no password") << "host=" + socket + " dbname=classe user=classe_computer"
                                     << "La connessione non ha la password del ruolo dei computer (password=…): "
                                        "la copia non è stata cambiata.";
        QTest::newRow("not libpq's") << "host=" + socket + " dbname=classe service=altro"
                                     << "La connessione contiene «service», che ZAMPLI non usa. Scrivila come";
    }

    void aCopyIsNotGivenAServerThatWouldRefuseIt()
    {
        QFETCH(QString, connection);
        QFETCH(QString, message);
        QVERIFY(!teacherPassword_.isEmpty());
        if (connection == "TEACHER")
            connection = server_.connection("classe", "classe_insegnante", teacherPassword_);
        const Run r = runTool(tool(), {"--scuola", connection, copy_});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(message), qPrintable(r.err));
        QCOMPARE(r.out, QString());
        QVERIFY(!QFile::exists(copy_ + "/scuola.conf"));
    }

    // A copy another account cannot write, as a shared one is to the teacher.
    void aCopyOfAnotherAccountNeedsTheAdministrator()
    {
        QVERIFY(!copiesConnection_.isEmpty());
        if (::geteuid() == 0) {
            // nobody must reach the copy to find it is not theirs.
            for (QString f = copy_; f != QDir::rootPath() && f.startsWith(root_.path()); f = QFileInfo(f).path())
                QVERIFY(::chmod(QFile::encodeName(f).constData(), 0755) == 0);
            QVERIFY(::chmod(QFile::encodeName(root_.path()).constData(), 0755) == 0);
        } else {
            QVERIFY(QFile::setPermissions(copy_, QFile::ReadOwner | QFile::ExeOwner));
        }
        const Run r = runTool(tool(), {"--scuola", copiesConnection_, copy_}, ::geteuid() == 0);
        QFile::setPermissions(copy_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, "Non puoi cambiare la copia " + copy_ + ": è di un altro utente, o è una copia per tutti. "
                        "Chiedi all'amministratore di avviare lo stesso comando con sudo davanti.\n");
        QVERIFY(!QFile::exists(copy_ + "/scuola.conf"));
    }
};

QTEST_GUILESS_MAIN(CopySchoolTest)
#include "test_copy_school.moc"
