// SPDX-License-Identifier: GPL-3.0-or-later
// Personal copies with real files in temporary folders: each copy's menu
// entry, started as the desktop starts it, runs that copy; links never lead
// outside a copy; a copy that fails leaves nothing behind.

#include "Copies.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace zampli::copies;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QStringList entriesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

std::pair<int, QString> runProcess(QProcess &p, const QString &program, const QStringList &args)
{
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return {-1, QString()};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
}

} // namespace

class CopiesTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QString program_;      // the program folder copies are made from
    QString outside_;      // files the program folder links to
    QString applications_; // the menu's folder

private slots:
    void initTestCase()
    {
        QVERIFY(root_.isValid());
        qputenv("HOME", QFile::encodeName(root_.filePath("home")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root_.filePath("home/.local/share")));
        applications_ = root_.filePath("home/.local/share/applications");
        program_ = root_.filePath("program");
        outside_ = root_.filePath("outside");
        // A stand-in for the program: it tells which file was started, and from where.
        writeFile(program_ + "/zampli", "#!/bin/sh\nprintf '%s\\n%s\\n' \"$0\" \"$(pwd)\" > \"$(dirname \"$0\")/started\"\n");
        QVERIFY(QFile::setPermissions(program_ + "/zampli", QFile::permissions(program_ + "/zampli") | QFile::ExeOwner));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/zampli-copia", program_ + "/zampli-copia"));
        writeFile(program_ + "/jpg/ape.jpg", QByteArray(300 * 1024, 'j'));
        writeFile(program_ + "/voci/ape.wav", "RIFF voice");
        writeFile(program_ + "/suoni/no.wav", "RIFF alert");
        writeFile(outside_ + "/a.txt", "ape\r\n");
        writeFile(outside_ + "/fonts/f.txt", "font");
        QDir().mkpath(program_ + "/testi");
        QVERIFY(QFile::link(outside_ + "/a.txt", program_ + "/testi/a.txt"));
        QVERIFY(QFile::link(outside_ + "/fonts", program_ + "/jpg/fonts"));
        QVERIFY(QFile::link(program_ + "/jpg", program_ + "/jpg/loop")); // a link back up
    }

    void eachEntryStartsItsOwnCopy_data()
    {
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<QString>("menuName");
        QTest::newRow("percent") << "Parole 100%" << "ZAMPLI – Parole 100%";
        QTest::newRow("accents") << "Classe 2ª B" << "ZAMPLI – Classe 2ª B";
        QTest::newRow("quotes") << "Lei disse \"ciao\" all'ape" << "ZAMPLI – Lei disse \"ciao\" all'ape";
        QTest::newRow("shell") << "$HOME `id` $(id)" << "ZAMPLI – $HOME `id` $(id)";
        QTest::newRow("backslash") << "a\\b \\\\ %f %%" << "ZAMPLI – a\\b \\\\ %f %%";
        QTest::newRow("blanks") << " Ai bordi " << "ZAMPLI – Ai bordi";
    }

    void eachEntryStartsItsOwnCopy()
    {
        QFETCH(QString, folderName);
        QFETCH(QString, menuName);
        const QString folder = root_.filePath("copies/") + folderName;
        const CopyResult made = makeCopy(program_, folder);
        QVERIFY2(made.ok, qPrintable(made.message));
        QCOMPARE(made.copy.name, menuName);
        QCOMPARE(made.copy.folder, folder);
        QCOMPARE(QFileInfo(made.copy.desktopFile).path(), applications_);

        QProcess validate;
        QCOMPARE(runProcess(validate, "desktop-file-validate", {made.copy.desktopFile}), std::make_pair(0, QString()));
        // Started as the desktop starts a menu entry.
        QProcess gio;
        const auto [code, out] = runProcess(gio, "gio", {"launch", made.copy.desktopFile});
        QVERIFY2(code == 0, qPrintable(out));
        QTRY_COMPARE_WITH_TIMEOUT(readFile(folder + "/started"), (folder + "/zampli\n" + folder + "\n").toUtf8(), 10000);
    }

    void everyCopyIsKnownUntilRemoved()
    {
        const QString first = root_.filePath("two/Parole 100%");
        const QString second = root_.filePath("two/Classe 2ª B");
        const CopyResult a = makeCopy(program_, first);
        const CopyResult b = makeCopy(program_, second, "la mia classe");
        QVERIFY2(a.ok && b.ok, qPrintable(a.message + b.message));
        QVERIFY(a.copy.desktopFile != b.copy.desktopFile);

        const auto named = [](const QString &folder) {
            for (const CopyInfo &copy : knownCopies())
                if (copy.folder == folder)
                    return copy.name;
            return QString();
        };
        QCOMPARE(named(first), QString("ZAMPLI – Parole 100%"));
        QCOMPARE(named(second), QString("ZAMPLI – la mia classe"));

        const CopyResult removed = removeCopy(a.copy, RemoveFolder::Yes);
        QVERIFY2(removed.ok, qPrintable(removed.message));
        QVERIFY(!QFileInfo::exists(first));
        QVERIFY(!QFileInfo::exists(a.copy.desktopFile));
        QCOMPARE(named(first), QString());
        QCOMPARE(named(second), QString("ZAMPLI – la mia classe"));
        QVERIFY(QFileInfo(second + "/zampli").isExecutable());

        // Only the entry: the teacher's folder stays.
        QVERIFY(removeCopy(b.copy).ok);
        QCOMPARE(named(second), QString());
        QVERIFY(QFileInfo(second + "/testi/a.txt").isFile());
    }

    void aLinkAtTheEntryIsReplacedNotFollowed()
    {
        const QString folder = root_.filePath("linked/ZAMPLI");
        const CopyResult first = makeCopy(program_, folder);
        QVERIFY2(first.ok, qPrintable(first.message));
        QVERIFY(removeCopy(first.copy, RemoveFolder::Yes).ok);

        writeFile(outside_ + "/victim.desktop", "not yours\n");
        QVERIFY(QFile::link(outside_ + "/victim.desktop", first.copy.desktopFile));
        const CopyResult again = makeCopy(program_, folder);
        QVERIFY2(again.ok, qPrintable(again.message));
        QCOMPARE(again.copy.desktopFile, first.copy.desktopFile);
        QVERIFY(!QFileInfo(again.copy.desktopFile).isSymLink());
        QVERIFY(readFile(again.copy.desktopFile).contains("\nName=ZAMPLI – le mie parole\n"));
        QCOMPARE(readFile(outside_ + "/victim.desktop"), QByteArray("not yours\n"));
        QCOMPARE(entriesIn(applications_).filter(".victim"), QStringList()); // no temporary file left
    }

    void aCopyHoldsRealFilesOnly()
    {
        const QString folder = root_.filePath("real/Copia");
        const CopyResult made = makeCopy(program_, folder);
        QVERIFY2(made.ok, qPrintable(made.message));
        for (const QString &path : {folder + "/testi/a.txt", folder + "/jpg/fonts", folder + "/jpg/fonts/f.txt"})
            QVERIFY2(QFileInfo::exists(path) && !QFileInfo(path).isSymLink(), qPrintable(path));
        QCOMPARE(readFile(folder + "/testi/a.txt"), QByteArray("ape\r\n"));
        QVERIFY(!QFileInfo::exists(folder + "/jpg/loop/loop"));

        // The teacher's change stays inside her copy.
        writeFile(folder + "/testi/a.txt", "ape\r\nastronave\r\n");
        QCOMPARE(readFile(outside_ + "/a.txt"), QByteArray("ape\r\n"));
    }

    void anExistingFolderIsNeverTouched()
    {
        const QString folder = root_.filePath("existing");
        writeFile(folder + "/mine.txt", "mine");
        const CopyResult made = makeCopy(program_, folder);
        QVERIFY(!made.ok);
        QCOMPARE(made.message, folder + " c'è già: scegliete un'altra cartella, questa non viene toccata.");
        QCOMPARE(entriesIn(folder), QStringList{"mine.txt"});
    }

    void aFolderNameWithALineBreakIsRefused()
    {
        const QString folder = root_.filePath("due\nrighe");
        const CopyResult made = makeCopy(program_, folder);
        QVERIFY(!made.ok);
        QVERIFY2(made.message.startsWith("Il nome della cartella contiene un a capo"), qPrintable(made.message));
        QVERIFY(!QFileInfo::exists(folder));
    }

    void aStoppedCopyLeavesNothing()
    {
        const QString parent = root_.filePath("stopped");
        qint64 seen = 0;
        const CopyResult made = makeCopy(program_, parent + "/ZAMPLI", {}, [&](qint64 done, qint64 total) {
            seen = total;
            return done < 100 * 1024;
        });
        QVERIFY(!made.ok);
        QVERIFY(seen > 300 * 1024);
        QVERIFY(!QFileInfo::exists(parent)); // the parent it made is gone too
    }

    // A full disk, as a file size limit in the tool's own process: the copy
    // fails on its biggest file, leaves no half-made folder, and once there
    // is room again it is made.
    void aFullDiskLeavesNothingBehind()
    {
        const QString parent = root_.filePath("full");
        QDir().mkpath(parent);
        const QStringList menuBefore = entriesIn(applications_);
        QProcess limited;
        limited.setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{64 * 1024, 64 * 1024};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        const auto [code, out] = runProcess(limited, program_ + "/zampli-copia", {parent + "/Classe 1ª A"});
        QCOMPARE(code, 1);
        QVERIFY2(out.startsWith("Spazio su disco esaurito: la copia non è stata fatta e in " + parent
                                + " non è rimasto nulla."),
                 qPrintable(out));
        QCOMPARE(entriesIn(parent), QStringList());
        QCOMPARE(entriesIn(applications_), menuBefore);

        QProcess again;
        const auto [secondCode, secondOut] = runProcess(again, program_ + "/zampli-copia", {parent + "/Classe 1ª A"});
        QVERIFY2(secondCode == 0, qPrintable(secondOut));
        QCOMPARE(readFile(parent + "/Classe 1ª A/jpg/ape.jpg").size(), 300 * 1024);
        QVERIFY(secondOut.contains("Nel menu del desktop trovi \"ZAMPLI – Classe 1ª A\".\n"));
    }

    void withoutAHomeNothingIsMade()
    {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("HOME");
        env.remove("XDG_DATA_HOME");
        tool.setProcessEnvironment(env);
        const QString target = root_.filePath("homeless/ZAMPLI");
        const auto [code, out] = runProcess(tool, program_ + "/zampli-copia", {target});
        QCOMPARE(code, 1);
        QVERIFY2(out.startsWith("Non so dove mettere la voce del menu"), qPrintable(out));
        QVERIFY(!QFileInfo::exists(root_.filePath("homeless")));

        const auto [defaultCode, defaultOut] = runProcess(tool, program_ + "/zampli-copia", {});
        QCOMPARE(defaultCode, 1);
        QVERIFY2(defaultOut.startsWith("Non so qual è la vostra cartella personale"), qPrintable(defaultOut));
    }
};

QTEST_GUILESS_MAIN(CopiesTest)
#include "test_copies.moc"
