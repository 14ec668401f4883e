// SPDX-License-Identifier: GPL-3.0-or-later
// The real child's program, started through a copy's link: a copy without
// a school's server never maps the client library; a copy with one delivers
// the answers its results file holds, with what the copy says and nothing
// the environment says.
#include "ProcMemory.h"
#include "SchoolClass.h"

#include "results/ResultsWriter.h"
#include "results/Schema.h"
#include "school/SchoolDelivery.h"
#include "school/SchoolSetting.h"

#include <QtTest>

using namespace zampli;
using zampli::test::PgServer;

namespace {

AnswerRecord faceAnswer(int turn)
{
    return {.atMs = 1765000000000 + turn * 1000, .window = "FormZampli5", .turn = turn, .asked = "O",
            .askedAs = Shown::Face, .chosen = "O", .chosenAs = Shown::Letter, .chosenStyle = 2, .right = true,
            .answerMs = 1200};
}

// `count` answers in the results file of `copy`, as the child's program keeps them.
void play(const QString &copy, int count)
{
    ResultsWriter writer(resultsDatabasePath(resultsFolder(), copy), copy,
                         [](const QString &line) { qFatal("%s", qPrintable(line)); });
    for (int i = 1; i <= count; ++i)
        writer.record(faceAnswer(i));
    QVERIFY(writer.sync());
}

QString verify(const QString &copy)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/zampli-verifica"), {copy});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAll());
}

QString maps(const QProcess &p) { return QString::fromLocal8Bit(proc::contents(proc::processFile("maps", p.processId()))); }

} // namespace

class SchoolProgramTest : public QObject {
    Q_OBJECT

    PgServer server_;
    PreparedSchool made_;
    QTemporaryDir root_;

    // A copy's folder holding a link to the program, as a copy's menu entry starts it.
    QString makeCopy(const QString &name)
    {
        const QString folder = root_.path() + QLatin1Char('/') + name;
        if (!QDir().mkpath(folder + QStringLiteral("/testi")) ||
            !QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/zampli"),
                         folder + QStringLiteral("/zampli")))
            qFatal("cannot make the copy %s", qPrintable(folder));
        return folder;
    }

    // The copy's setting: the class's server, reached as the computers with `password`.
    bool giveServer(const QString &copy, const QString &password, const QString &copyId = newCopyId())
    {
        return writeSchoolSetting(
            copy, SchoolSetting{server_.connection(QStringLiteral("classe"), made_.roles.computers, password), copyId});
    }

    std::unique_ptr<QProcess> start(const QString &copy, const QProcessEnvironment &env)
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(copy + QStringLiteral("/zampli"), {});
        return p;
    }

    QProcessEnvironment environment(const QString &state)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root_.path());
        env.insert(QStringLiteral("XDG_STATE_HOME"), state);
        return env;
    }

private slots:
    void initTestCase()
    {
        const QString why = test::prepareClass(server_, made_);
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }

    void aCopyWithoutServerNeverMapsTheClientLibrary()
    {
        const QString copy = makeCopy(QStringLiteral("senza-server"));
        auto program = start(copy, environment(root_.path() + QStringLiteral("/stato-1")));
        QVERIFY(program->waitForStarted());
        // The sound module is loaded just after the delivery would be.
        QTRY_VERIFY_WITH_TIMEOUT(maps(*program).contains(QLatin1String("zampli-suoni")), 30000);
        QVERIFY(!maps(*program).contains(QLatin1String("libpq")));
        QVERIFY(!maps(*program).contains(QLatin1String("zampli-scuola")));
        program->kill();
        program->waitForFinished();
    }

    // PG* variables that would send the program to another server, refuse
    // every write or ask for a standby: the copy's setting alone counts.
    void aCopyWithServerDeliversWhateverTheEnvironmentSays()
    {
        const QString copy = makeCopy(QStringLiteral("con-server"));
        const QString copyId = newCopyId();
        QVERIFY(giveServer(copy, made_.computersPassword, copyId));
        const QString state = root_.path() + QStringLiteral("/stato-2");
        qputenv("XDG_STATE_HOME", QFile::encodeName(state));
        play(copy, 12);

        QProcessEnvironment env = environment(state);
        env.insert(QStringLiteral("PGOPTIONS"), QStringLiteral("-c default_transaction_read_only=on"));
        env.insert(QStringLiteral("PGTARGETSESSIONATTRS"), QStringLiteral("standby"));
        env.insert(QStringLiteral("PGHOST"), QStringLiteral("/nonexistent"));
        env.insert(QStringLiteral("PGPORT"), QStringLiteral("1"));
        env.insert(QStringLiteral("PGPASSWORD"), QStringLiteral("sbagliata"));
        env.insert(QStringLiteral("PGDATABASE"), QStringLiteral("altrove"));
        auto program = start(copy, env);
        QVERIFY(program->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(maps(*program).contains(QLatin1String("libpq")), 30000);
        const QString counted = QStringLiteral("SELECT count(*) FROM zampli.answers a JOIN zampli.sessions s "
                                               "ON s.id = a.session_id WHERE s.copy = '%1'")
                                    .arg(copyId);
        QTRY_COMPARE_WITH_TIMEOUT(server_.sql(QStringLiteral("classe"), counted), QStringLiteral("12"), 30000);
        program->kill();
        program->waitForFinished();
    }

    // zampli-verifica tells how many answers wait for the server, since
    // when and why, for a copy with a server only.
    void verificaTellsWhatWaitsForTheServer()
    {
        qputenv("XDG_STATE_HOME", QFile::encodeName(root_.path() + QStringLiteral("/stato-3")));
        const QString without = makeCopy(QStringLiteral("verifica-senza"));
        play(without, 3);
        QVERIFY2(!verify(without).contains(QLatin1String("Scuola")), qPrintable(verify(without)));

        const QString copy = makeCopy(QStringLiteral("verifica-con"));
        QVERIFY(giveServer(copy, "sbagliata"));
        play(copy, 7);
        QVERIFY2(verify(copy).contains(QLatin1String("Scuola: 7 risposte aspettano di andare al server della scuola")),
                 qPrintable(verify(copy)));
        {
            SchoolDelivery delivery(copy, resultsDatabasePath(resultsFolder(), copy),
                                    DeliveryKey{{}, QStringLiteral("aula-9"), QStringLiteral("alunni")}, {});
            QTRY_VERIFY2_WITH_TIMEOUT(verify(copy).contains(QStringLiteral("perché il server della scuola non "
                                                                           "accetta la password.")),
                                      qPrintable(verify(copy)), 30000);
        }
        QVERIFY2(verify(copy).contains(QRegularExpression(QStringLiteral(
                     "Scuola: 7 risposte aspettano dal \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d di andare"))),
                 qPrintable(verify(copy)));

        QVERIFY(giveServer(copy, made_.computersPassword));
        {
            SchoolDelivery delivery(copy, resultsDatabasePath(resultsFolder(), copy),
                                    DeliveryKey{{}, QStringLiteral("aula-9"), QStringLiteral("alunni")}, {});
            QTRY_VERIFY_WITH_TIMEOUT(verify(copy).contains(QLatin1String("Scuola: il server della scuola ha tutte le "
                                                                         "risposte.")),
                                     30000);
        }
    }
};

QTEST_GUILESS_MAIN(SchoolProgramTest)
#include "test_school_program.moc"
