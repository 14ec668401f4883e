// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the real program, twice, from a folder of its own.

#include "startup/SingleInstance.h"

#include <QtTest>

class SingleInstanceTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_; // the session's runtime folder, where the lock lives
    QTemporaryDir folder_;  // the program folder

    QString program() const { return folder_.path() + "/zampli"; }

    std::unique_ptr<QProcess> start() const
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(program(), {});
        return p;
    }

    QString lockPath() const { return zampli::SingleInstance::lockPath("zampli", folder_.path()); }

private slots:
    void initTestCase()
    {
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit()); // where the lock lives, here and in the program
        qputenv("QT_QPA_PLATFORM", "offscreen"); // for the programs started, with no window to show
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/zampli", program()));
        QFile::setPermissions(program(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void secondStartEndsAndTheFirstKeepsRunning()
    {
        auto first = start();
        QVERIFY(first->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockPath()), 10000);

        auto second = start();
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        first->kill(); // as a crash would: the lock stays behind
        first->waitForFinished();
        QVERIFY(QFile::exists(lockPath()));

        // The next start takes over the stale lock and runs.
        auto third = start();
        QVERIFY(third->waitForStarted());
        // The lock file names the process that holds it.
        const auto holder = [this] {
            QFile lock(lockPath());
            return lock.open(QIODevice::ReadOnly) ? lock.readLine().trimmed() : QByteArray();
        };
        QTRY_COMPARE_WITH_TIMEOUT(holder(), QByteArray::number(third->processId()), 10000);
        QCOMPARE(third->state(), QProcess::Running);
        third->kill();
        third->waitForFinished();
    }

    void aLaterStartBringsTheFirstForward()
    {
        QTemporaryDir folder;
        for (int run = 0; run < 2; ++run) { // the second time, over what the first run left
            zampli::SingleInstance first("zampli", folder.path());
            QVERIFY(first.claim());
            QSignalSpy woken(&first, &zampli::SingleInstance::woken);
            zampli::SingleInstance later("zampli", folder.path());
            QVERIFY(!later.claim());
            later.wakeRunning();
            later.wakeRunning();
            QTRY_COMPARE(woken.size(), 2);
        }
    }

    // A program that changes the copy runs once on it, whatever the display;
    // the child's program runs once a display, on the same copy, beside it,
    // and neither hands over to the other.
    void onAnyDisplayOneOnTheCopy()
    {
        qunsetenv("WAYLAND_DISPLAY");
        const QByteArray display = qgetenv("DISPLAY");
        QTemporaryDir folder;
        using Scope = zampli::SingleInstance::Scope;
        qputenv("DISPLAY", ":1");
        zampli::SingleInstance teacher("zampli-insegnante", folder.path(), Scope::AnyDisplay);
        QVERIFY(teacher.claim());
        zampli::SingleInstance childOne("zampli", folder.path());
        QVERIFY(childOne.claim());
        QSignalSpy woken(&teacher, &zampli::SingleInstance::woken);
        QSignalSpy childWoken(&childOne, &zampli::SingleInstance::woken);
        qputenv("DISPLAY", ":2");
        zampli::SingleInstance teacherTwo("zampli-insegnante", folder.path(), Scope::AnyDisplay);
        QVERIFY(!teacherTwo.claim());
        teacherTwo.wakeRunning();
        QTRY_COMPARE(woken.size(), 1);
        QCOMPARE(childWoken.size(), 0);
        zampli::SingleInstance childTwo("zampli", folder.path());
        QVERIFY(childTwo.claim());
        qputenv("DISPLAY", display);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "test_single_instance.moc"
