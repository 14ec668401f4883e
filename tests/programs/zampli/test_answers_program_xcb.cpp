// SPDX-License-Identifier: GPL-3.0-or-later
// The real program file on the test's X server: with the answers' module
// beside it the session is kept; without it the adult is told once and the
// child plays on.
#include "ResultsRows.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString built(const QString &name) { return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name; }

// The program's windows a person can see, by xdotool on the test's display.
QStringList shownWindows(const QProcess &p)
{
    QProcess x;
    x.start("xdotool", {"search", "--onlyvisible", "--pid", QString::number(p.processId())});
    x.waitForFinished(5000);
    return QString::fromLatin1(x.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

bool xdotool(const QStringList &args)
{
    QProcess x;
    x.start("xdotool", args);
    return x.waitForFinished(5000) && x.exitCode() == 0;
}

} // namespace

class AnswersProgramTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    int starts_ = 0;

    struct Run {
        QProcess process;
        QByteArray told; // standard error, as the adult reads it
    };

    std::unique_ptr<Run> start(const QString &program, const QString &state)
    {
        auto run = std::make_unique<Run>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString runtime = root_.filePath(QStringLiteral("run-%1").arg(++starts_));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("XDG_STATE_HOME", state);
        env.remove("WAYLAND_DISPLAY");
        run->process.setProcessEnvironment(env);
        Run *r = run.get();
        connect(&run->process, &QProcess::readyReadStandardError, this,
                [r] { r->told += r->process.readAllStandardError(); });
        run->process.start(program, {});
        run->process.waitForStarted();
        return run;
    }

    // From the title to the menu with a click, then the menu's window closed,
    // which ends the program.
    static void playThenClose(Run &run)
    {
        QCOMPARE(run.process.state(), QProcess::Running);
        QTRY_COMPARE_WITH_TIMEOUT(shownWindows(run.process).size(), 1, 30000);
        const QString title = shownWindows(run.process).value(0);
        QVERIFY(xdotool({"mousemove", "--window", title, "40", "40", "click", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(shownWindows(run.process).value(0, title) != title, 10000);
        QCOMPARE(run.process.state(), QProcess::Running);
        QVERIFY(xdotool({"windowclose", shownWindows(run.process).value(0)}));
        QVERIFY(run.process.waitForFinished(10000));
        QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.process.exitCode(), 0);
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("needs xdotool (scripts/install-deps.sh --tests)");
    }

    void withTheModuleTheSessionIsKept()
    {
        const QString state = root_.filePath("stato-con");
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        auto run = start(built("zampli"), state);
        playThenClose(*run);
        if (QTest::currentTestFailed())
            return;
        const qint64 after = QDateTime::currentMSecsSinceEpoch();
        QVERIFY2(!run->told.contains("modulo delle risposte"), run->told.constData());
        const QStringList files = QDir(state + "/zampli").entryList({"*.sqlite"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        const QString session = zampli::test::queryRows(state + "/zampli/" + files[0], "SELECT started_ms, ended_ms FROM sessions");
        const QStringList times = session.split('|');
        QCOMPARE(times.size(), 2);
        QVERIFY2(before <= times[0].toLongLong() && times[0].toLongLong() <= times[1].toLongLong() &&
                     times[1].toLongLong() <= after,
                 qPrintable(session));
    }

    void withoutTheModuleTheAdultIsToldAndTheChildPlaysOn()
    {
        // The program file where it stands alone, its media and sound beside it.
        const QString installed = root_.filePath("senza-modulo");
        QVERIFY(QDir().mkpath(installed));
        QVERIFY(QFile::copy(built("zampli"), installed + "/zampli"));
        QVERIFY(QFile::setPermissions(installed + "/zampli", QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(QFile::copy(built("zampli-suoni.so"), installed + "/zampli-suoni.so"));
        for (const char *media : {"jpg", "voci", "suoni", "testi"})
            QVERIFY(QFile::link(built(media), installed + "/" + media));

        const QString state = root_.filePath("stato-senza");
        auto run = start(installed + "/zampli", state);
        QTRY_VERIFY_WITH_TIMEOUT(run->told.contains("manca il modulo delle risposte"), 30000);
        playThenClose(*run);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(run->told.count("modulo delle risposte"), 1);
        QVERIFY2(run->told.contains("reinstalla ZAMPLI"), run->told.constData());
        QCOMPARE(QDir(state + "/zampli").entryList({"*.sqlite"}, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(AnswersProgramTest)
#include "test_answers_program_xcb.moc"
