// The program file itself on real X servers: the one xvfb-run gives this
// test, and a second one it starts, as one account on two screens.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString program() { return QCoreApplication::applicationDirPath() + "/zampli"; }

// xdotool's answer, trimmed; empty when it fails.
QString xdotool(const QStringList &args, const QString &display)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    p.setProcessEnvironment(env);
    p.start("xdotool", args);
    return p.waitForFinished(5000) && p.exitCode() == 0 ? QString::fromLatin1(p.readAllStandardOutput()).trimmed()
                                                        : QString();
}

} // namespace

class ProgramXcbTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_; // the session's runtime folder, shared by every start

    std::unique_ptr<QProcess> start(const QString &display) const
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb"), env.insert("DISPLAY", display);
        env.insert("XDG_RUNTIME_DIR", runtime_.path()), env.remove("WAYLAND_DISPLAY");
        p->setProcessEnvironment(env);
        p->start(program(), {});
        return p;
    }

    // The program's windows a person can see, once there are `count`.
    static QStringList shownWindows(const QProcess &p, const QString &display, int count = 1)
    {
        QStringList windows;
        (void)QTest::qWaitFor([&] {
            windows = xdotool({"search", "--onlyvisible", "--pid", QString::number(p.processId())}, display)
                          .split('\n', Qt::SkipEmptyParts);
            return windows.size() == count;
        }, 10000);
        return windows;
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable("xdotool").isEmpty()
            || QStandardPaths::findExecutable("Xvfb").isEmpty())
            QSKIP("needs an X server, Xvfb and xdotool (scripts/install-deps.sh --tests)");
    }

    // Destroyed from outside, the menu leaves nothing to reach: the program ends.
    void aWindowDestroyedFromOutsideEndsTheProgram()
    {
        const QString display = qEnvironmentVariable("DISPLAY");
        auto zampli = start(display);
        const QStringList title = shownWindows(*zampli, display);
        QCOMPARE(title.size(), 1);
        xdotool({"mousemove", "--window", title[0], "40", "40", "click", "1"}, display);
        QTRY_VERIFY_WITH_TIMEOUT(shownWindows(*zampli, display).value(0, title[0]) != title[0], 10000);
        QCOMPARE(zampli->state(), QProcess::Running); // the title went, the menu came

        xdotool({"windowclose", shownWindows(*zampli, display).value(0)}, display);
        QVERIFY(zampli->waitForFinished(5000));
        QCOMPARE(zampli->exitStatus(), QProcess::NormalExit);
        QCOMPARE(zampli->exitCode(), 0);
    }

    // One account, one program folder, two screens: a program on each; a
    // second start on the same screen only brings the first forward.
    void oneProgramPerDisplay()
    {
        QProcess otherServer;
        otherServer.start("Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        QVERIFY(otherServer.waitForReadyRead(10000));
        const QString other = ":" + QString::fromLatin1(otherServer.readLine()).trimmed();
        const QString display = qEnvironmentVariable("DISPLAY");

        auto here = start(display);
        QCOMPARE(shownWindows(*here, display).size(), 1);
        auto there = start(other);
        QCOMPARE(shownWindows(*there, other).size(), 1);
        QCOMPARE(here->state(), QProcess::Running);

        auto again = start(display + ".0"); // the same display, its screen named
        QVERIFY(again->waitForFinished(10000));
        QCOMPARE(again->exitCode(), 0);
        QCOMPARE(here->state(), QProcess::Running);
        QCOMPARE(there->state(), QProcess::Running);

        for (QProcess *p : {here.get(), there.get(), &otherServer})
            p->terminate(), p->waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(ProgramXcbTest)
#include "test_program_xcb.moc"
