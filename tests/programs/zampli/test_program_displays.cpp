// SPDX-License-Identifier: GPL-3.0-or-later
// The program file itself on real X servers of the test's own (Xvfb picks
// a free display and says which): one account on one screen or on two.

#include <QProcess>
#include <QRandomGenerator>
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

class ProgramDisplaysTest : public QObject {
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
        p->waitForStarted();
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

    // A private X server, stopped with the test; its display, empty if none
    // answers. Other programs on the machine (in other sandboxes too) run
    // servers of their own on the low displays: a high one is drawn, and the
    // server answering is known for ours by its odd screen size.
    QString startServer(QProcess &server) const
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            const int n = QRandomGenerator::global()->bounded(200, 900);
            const QString display = ":" + QString::number(n), width = QString::number(600 + n % 100);
            // Without -noreset the server starts over as its last client goes,
            // and refuses the next one meanwhile.
            server.start("Xvfb", {display, "-screen", "0", width + "x500x24", "-nolisten", "tcp", "-noreset"});
            if (QTest::qWaitFor([&] { return xdotool({"getdisplaygeometry"}, display) == width + " 500"; }, 5000))
                return display;
            server.kill(), server.waitForFinished(3000);
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("xdotool").isEmpty() || QStandardPaths::findExecutable("Xvfb").isEmpty())
            QSKIP("needs Xvfb and xdotool (scripts/install-deps.sh --tests)");
    }

    // One account, one program folder, two screens: a program on each; a
    // second start on the same screen only brings the first forward.
    void oneProgramPerDisplay()
    {
        QProcess server, otherServer;
        const QString display = startServer(server), other = startServer(otherServer);
        QVERIFY(!display.isEmpty() && !other.isEmpty());

        auto here = start(display);
        QVERIFY2(shownWindows(*here, display).size() == 1, here->readAllStandardError().constData());
        auto there = start(other);
        QVERIFY2(shownWindows(*there, other).size() == 1, there->readAllStandardError().constData());
        QCOMPARE(here->state(), QProcess::Running);

        auto again = start(display + ".0"); // the same display, its screen named
        QVERIFY(again->waitForFinished(10000));
        QCOMPARE(again->exitCode(), 0);
        QCOMPARE(here->state(), QProcess::Running);
        QCOMPARE(there->state(), QProcess::Running);

        for (QProcess *p : {here.get(), there.get(), &server, &otherServer})
            p->terminate(), p->waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(ProgramDisplaysTest)
#include "test_program_displays.moc"
