// SPDX-License-Identifier: GPL-3.0-or-later
// Personal copies with real files in temporary folders: each copy's menu
// entry, started as the desktop starts it, runs that copy; links never lead
// outside a copy; a copy that fails leaves nothing behind.

#include "copies/Copies.h"
#include "CopyFiles.h"
#include "FileSizeLimit.h"
#include "copies/StopSignals.h"

#include <QtTest>

#include <functional>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zampli::copies;
using zampli::test::FileSizeLimit;

namespace {

// The hidden folder a running copy grows in, once the kernel says it was
// made in `parent` (watched from before `start` runs, so that even a copy
// done at once is seen); empty if none comes within a minute.
QString awaitWorkFolder(const QString &parent, const std::function<void()> &start)
{
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch < 0 || inotify_add_watch(watch, QFile::encodeName(parent).constData(), IN_CREATE | IN_ONLYDIR) < 0)
        return {};
    start();
    QString found;
    alignas(inotify_event) char buffer[4096];
    pollfd ready{watch, POLLIN, 0};
    while (found.isEmpty() && ::poll(&ready, 1, 60000) > 0) {
        const ssize_t n = ::read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            const QString name = QFile::decodeName(event->len ? event->name : "");
            if (found.isEmpty() && name.startsWith('.') && name.contains("copia-in-corso"))
                found = name;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    ::close(watch);
    return found;
}

} // namespace

class CopiesTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QString program_;      // the program folder copies are made from
    QString outside_;      // files the program folder links to
    QString applications_; // the menu's folder
    QString big_;          // a program folder whose copy takes a while

    QString bigProgram()
    {
        if (big_.isEmpty()) {
            big_ = root_.filePath("big");
            writeCopyingProgram(big_);
            // Hundreds of megabytes: the copy is still running well after its folder appears.
            for (int i = 0; i < 4; ++i)
                writeFile(big_ + QString("/voci/grande%1.wav").arg(i), QByteArray(64 << 20, char('a' + i)));
        }
        return big_;
    }

    // The real tool copying the big program into `parent`/Classe, sent
    // `signal` once its work folder is there: that folder's name, empty if
    // none came.
    QString signalMidCopy(QProcess &tool, const QString &parent, int signal)
    {
        QDir().mkpath(parent);
        const QString work =
            awaitWorkFolder(parent, [&] { tool.start(bigProgram() + "/zampli-copia", {parent + "/Classe"}); });
        ::kill(pid_t(tool.processId()), signal);
        tool.waitForFinished(30000);
        return work;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(root_.isValid());
        applications_ = homeIn(root_.path());
        program_ = root_.filePath("program");
        outside_ = root_.filePath("outside");
        writeCopyingProgram(program_);
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

        QCOMPARE(runProcess("desktop-file-validate", {made.copy.desktopFile}), std::make_pair(0, QString()));
        // Started as the desktop starts a menu entry.
        const auto [code, out] = runProcess("gio", {"launch", made.copy.desktopFile});
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

        const CopyResult removed = removeCopy(a.copy, RemoveFolder::ToTrash);
        QVERIFY2(removed.ok, qPrintable(removed.message));
        QVERIFY(!QFileInfo::exists(first));
        // In the desktop's trash, whence the teacher can take it back.
        QCOMPARE(readFile(root_.filePath("home/.local/share/Trash/files/Parole 100%/testi/a.txt")), QByteArray("ape\r\n"));
        QVERIFY(!QFileInfo::exists(a.copy.desktopFile));
        QCOMPARE(named(first), QString());
        QCOMPARE(named(second), QString("ZAMPLI – la mia classe"));
        QVERIFY(QFileInfo(second + "/zampli").isExecutable());
        QVERIFY(QFileInfo(second + "/testi/a.txt").isFile());

        // Only the entry: the teacher's folder stays.
        QVERIFY(removeCopy(b.copy).ok);
        QCOMPARE(named(second), QString());
        QVERIFY(QFileInfo(second + "/testi/a.txt").isFile());
    }

    // A menu entry edited so that its Path= is the home folder: taking that
    // copy away never sends the home to the trash, even where the trash is
    // outside the home and the move would work.
    void aHomeInAnEntryIsNeverTrashed()
    {
        QTemporaryDir apart;
        const QString home = apart.filePath("casa");
        writeFile(home + "/Documenti/lettera.txt", "cara maestra");
        const QByteArray oldHome = qgetenv("HOME"), oldData = qgetenv("XDG_DATA_HOME");
        auto restore = qScopeGuard([&] {
            qputenv("HOME", oldHome);
            qputenv("XDG_DATA_HOME", oldData);
        });
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_DATA_HOME", QFile::encodeName(apart.filePath("dati")));
        const QString made = apart.filePath("copia");
        const CopyResult copy = makeCopy(program_, made);
        QVERIFY2(copy.ok, qPrintable(copy.message));
        QByteArray entry = readFile(copy.copy.desktopFile);
        const QByteArray path = "\nPath=" + QFile::encodeName(made) + "\n";
        QVERIFY(entry.contains(path));
        entry.replace(path, "\nPath=" + QFile::encodeName(home) + "\n");
        writeFile(copy.copy.desktopFile, entry);
        const CopyInfo edited = knownCopies().value(0);
        QCOMPARE(edited.folder, home);

        const CopyResult removed = removeCopy(edited, RemoveFolder::ToTrash);
        QVERIFY(!removed.ok);
        QVERIFY2(removed.message.contains(home + " non sembra una copia di ZAMPLI"), qPrintable(removed.message));
        QCOMPARE(readFile(home + "/Documenti/lettera.txt"), QByteArray("cara maestra"));
        QCOMPARE(entriesIn(apart.filePath("dati/Trash/files")), QStringList());
    }

    // Taking a copy away with what a window knew of it: an entry that now
    // names another folder, or lies outside the menu's folder, is another's
    // and stays.
    void onlyTheCopysOwnEntryGoes()
    {
        const CopyResult a = makeCopy(program_, root_.filePath("own/Prima"));
        const CopyResult b = makeCopy(program_, root_.filePath("own/Seconda"));
        QVERIFY2(a.ok && b.ok, qPrintable(a.message + b.message));
        const CopyResult crossed = removeCopy({a.copy.folder, a.copy.name, b.copy.desktopFile});
        QVERIFY(!crossed.ok);
        QCOMPARE(crossed.message, b.copy.desktopFile + " non è la voce del menu di una copia di ZAMPLI: non viene toccata.");
        QVERIFY(QFileInfo::exists(b.copy.desktopFile));

        const QString elsewhere = root_.filePath("own/" + QFileInfo(a.copy.desktopFile).fileName());
        QVERIFY(QFile::copy(a.copy.desktopFile, elsewhere));
        QVERIFY(!removeCopy({a.copy.folder, a.copy.name, elsewhere}).ok);
        QVERIFY(QFileInfo::exists(elsewhere));
        QVERIFY(QFileInfo::exists(a.copy.desktopFile));
    }

    // A name is free only where nothing has it: a file, a link that leads
    // nowhere, or another copy's menu entry.
    void aFreeNameIsFreeEverywhere()
    {
        const QString where = root_.filePath("names");
        writeFile(where + "/Classe/x.txt", "x");
        QVERIFY(QFile::link(where + "/nowhere", where + "/Classe (2)"));
        const CopyResult other = makeCopy(program_, root_.filePath("names-elsewhere/Classe (3)"));
        QVERIFY2(other.ok, qPrintable(other.message));
        QCOMPARE(freeCopyName(where, "Classe"), QString("Classe (4)"));
    }

    // One folder however it is reached; two folders that do not exist are not one.
    void sameFolderFollowsTheRealFolder()
    {
        const QString real = root_.filePath("same/Classe");
        QVERIFY(QDir().mkpath(real));
        QVERIFY(QFile::link(real, root_.filePath("same/link")));
        QVERIFY(sameFolder(real, root_.filePath("same/link/")));
        QVERIFY(sameFolder(real, root_.filePath("same/../same/Classe")));
        QVERIFY(!sameFolder(root_.filePath("same/gone1"), root_.filePath("same/gone2")));
        QVERIFY(!sameFolder(real, root_.filePath("same")));
    }

    void aLinkAtTheEntryIsReplacedNotFollowed()
    {
        const QString folder = root_.filePath("linked/ZAMPLI");
        const CopyResult first = makeCopy(program_, folder);
        QVERIFY2(first.ok, qPrintable(first.message));
        QVERIFY(removeCopy(first.copy, RemoveFolder::ToTrash).ok);

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

    // Real files only, and a link to the program it was made from, followed
    // to the real file, so that a package update reaches it.
    void aCopyHoldsRealFilesAndLinksItsProgram()
    {
        const QString folder = root_.filePath("real/Copia");
        const CopyResult made = makeCopy(root_.path() + "/program/../program", folder);
        QVERIFY2(made.ok, qPrintable(made.message));
        QCOMPARE(QFile::symLinkTarget(folder + "/zampli"), program_ + "/zampli");
        QCOMPARE(entriesIn(folder), (QStringList{"jpg", "suoni", "testi", "voci", "zampli"}));
        QVERIFY(!holdsOwnProgram(folder));
        for (const QString &path : {folder + "/testi/a.txt", folder + "/jpg/fonts", folder + "/jpg/fonts/f.txt"})
            QVERIFY2(QFileInfo::exists(path) && !QFileInfo(path).isSymLink(), qPrintable(path));
        QCOMPARE(readFile(folder + "/testi/a.txt"), QByteArray("ape\r\n"));
        QVERIFY(!QFileInfo::exists(folder + "/jpg/loop/loop"));

        // The teacher's change stays inside her copy.
        writeFile(folder + "/testi/a.txt", "ape\r\nastronave\r\n");
        QCOMPARE(readFile(outside_ + "/a.txt"), QByteArray("ape\r\n"));
    }

    // A copy made when copies carried the program: brought up to date, it
    // starts the installed program and loses none of its own words.
    void anOldCopyIsBroughtUpToDate()
    {
        const QString folder = root_.filePath("old/Classe");
        writeFile(folder + "/zampli", "#!/bin/sh\nold\n");
        writeFile(folder + "/zampli-suoni.so", "old module");
        writeFile(folder + "/zampli-verifica", "old tool");
        writeFile(folder + "/testi/a.txt", "ape\r\nastronave\r\n");
        QVERIFY(holdsOwnProgram(folder));
        const CopyResult updated = useInstalledProgram(folder, program_);
        QVERIFY2(updated.ok, qPrintable(updated.message));
        QCOMPARE(QFile::symLinkTarget(folder + "/zampli"), program_ + "/zampli");
        QVERIFY(!holdsOwnProgram(folder));
        QCOMPARE(entriesIn(folder), (QStringList{"testi", "zampli"}));
        QCOMPARE(readFile(folder + "/testi/a.txt"), QByteArray("ape\r\nastronave\r\n"));
    }

    // A folder there already is never touched; a name with a line break is
    // refused, nothing made.
    void aFolderThatCannotBeTheCopyIsRefused()
    {
        const QString existing = root_.filePath("existing");
        writeFile(existing + "/mine.txt", "mine");
        const CopyResult there = makeCopy(program_, existing);
        QVERIFY(!there.ok);
        QCOMPARE(there.message, existing + " c'è già: scegli un'altra cartella, questa non viene toccata.");
        QCOMPARE(entriesIn(existing), QStringList{"mine.txt"});
        const QString twoLines = root_.filePath("due\nrighe");
        const CopyResult broken = makeCopy(program_, twoLines);
        QVERIFY(!broken.ok);
        QVERIFY2(broken.message.startsWith("Il nome della cartella contiene un a capo"), qPrintable(broken.message));
        QVERIFY(!QFileInfo::exists(twoLines));
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

    // The tool's own process under a file-size limit, SIGXFSZ left as the
    // system sets it: the copy fails on the first file over it, says so, leaves no
    // half-made folder, and once the limit is gone it is made.
    void aFileSizeLimitLeavesNothingBehind()
    {
        const QString parent = root_.filePath("full");
        QDir().mkpath(parent);
        const QStringList menuBefore = entriesIn(applications_);
        QProcess limited;
        limited.setChildProcessModifier([] {
            const rlimit limit{64 * 1024, 64 * 1024};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        const auto [code, out] = runProcess(limited, program_ + "/zampli-copia", {parent + "/Classe 1ª A"});
        QCOMPARE(limited.exitStatus(), QProcess::NormalExit);
        QCOMPARE(code, 1);
        QCOMPARE(out, "Il file jpg/ape.jpg è più grande del limite che il sistema pone ai file scritti da questo "
                      "programma (65.536 byte): la copia non è stata fatta e in " + parent + " non è rimasto nulla. "
                      "Avvia la copia senza quel limite (chiedi a chi gestisce il computer), poi riprova.\n");
        QCOMPARE(entriesIn(parent), QStringList());
        QCOMPARE(entriesIn(applications_), menuBefore);

        const auto [secondCode, secondOut] = runProcess(program_ + "/zampli-copia", {parent + "/Classe 1ª A"});
        QVERIFY2(secondCode == 0, qPrintable(secondOut));
        QCOMPARE(readFile(parent + "/Classe 1ª A/jpg/ape.jpg").size(), 300 * 1024);
        QVERIFY(secondOut.contains("Nel menu del desktop trovi \"ZAMPLI – Classe 1ª A\".\n"));
    }

    // The menu entry, a few hundred bytes, is the file over the limit: the
    // message names it and never asks for "0 MB"; the copy made is taken away.
    void anEntryOverTheLimitIsNamed()
    {
        const QString tiny = root_.filePath("tiny");
        writeStandInProgram(tiny);
        for (const char *media : {"jpg", "voci", "suoni", "testi"})
            writeFile(tiny + "/" + media + "/x", "x");
        const QString parent = root_.filePath("entrylimit");
        const QString folder = parent + "/Una classe con un nome lungo abbastanza";
        CopyResult made;
        {
            const FileSizeLimit limit(200);
            made = makeCopy(tiny, folder);
        }
        QVERIFY(!made.ok);
        QVERIFY2(!made.message.contains(" 0 MB"), qPrintable(made.message));
        QVERIFY2(made.message.startsWith("Il file " + applications_ + "/it.zampli.Zampli.Copia_"), qPrintable(made.message));
        QVERIFY2(made.message.contains("(200 byte)"), qPrintable(made.message));
        QVERIFY(!QFileInfo::exists(parent));
    }

    // A file of the program taken away while the copy runs is the program
    // folder's fault: named as missing, with nothing left in the target.
    void aSourceFileGoneMidCopyIsNamed()
    {
        const QString gone = program_ + "/voci/ape.wav";
        const QString parent = root_.filePath("vanished");
        const CopyResult made = makeCopy(program_, parent + "/Classe", {}, [&](qint64, qint64) {
            QFile::rename(gone, gone + ".via");
            return true;
        });
        QVERIFY(QFile::rename(gone + ".via", gone));
        QVERIFY(!made.ok);
        QCOMPARE(made.message, "Il file " + gone + " non c'è più: è stato tolto o spostato mentre lo copiavo. La "
                               "copia non è stata fatta e in " + parent + " non è rimasto nulla. Riprova quando "
                               "nessuno cambia la cartella del programma; se il file manca ancora, reinstalla ZAMPLI.");
        QVERIFY(!QFileInfo::exists(parent));
    }

    // Any name the file system takes can be the copy's, up to its last byte;
    // one byte more is refused with the limit.
    void theLongestNameIsTaken()
    {
        const QString parent = root_.filePath("long");
        const QString longest = QString(125, QChar(0xE0)) + "ab"; // 252 bytes in UTF-8
        const CopyResult made = makeCopy(program_, parent + "/" + longest + "cde");
        QVERIFY2(made.ok, qPrintable(made.message));
        QCOMPARE(entriesIn(parent), QStringList{longest + "cde"});

        const CopyResult tooLong = makeCopy(program_, parent + "/" + longest + "cdef");
        QVERIFY(!tooLong.ok);
        QCOMPARE(tooLong.message, "Il nome della cartella \"" + longest + "cdef\" è troppo lungo: occupa 256 byte e il "
                                  "disco ne accetta al massimo 255 (una lettera accentata ne occupa due). Scegli "
                                  "un nome più corto.");
        QCOMPARE(entriesIn(parent), QStringList{longest + "cde"});
        QVERIFY(removeCopy(made.copy).ok);
    }

    // Bytes that are not UTF-8 cannot be kept through the name the program
    // sees: refused, rather than a folder of another name.
    void aNameThatIsNotUtf8IsRefused()
    {
        const QString parent = root_.filePath("latin1");
        QDir().mkpath(parent);
        const auto [code, out] = runProcess("sh", {"-c", "exec \"$0\" \"$1/$(printf 'caff\\350')\"",
                                                         program_ + "/zampli-copia", parent});
        QCOMPARE(code, 1);
        QVERIFY2(out.startsWith("Il nome " + parent + "/caff\uFFFD contiene lettere che non sono scritte in UTF-8"),
                 qPrintable(out));
        QCOMPARE(entriesIn(parent), QStringList());
    }

    // The same in the program folder: a file the copy could not name is
    // named to the teacher before anything is made.
    void aProgramFileNotInUtf8IsNamed()
    {
        const QByteArray raw = QFile::encodeName(program_) + "/jpg/caff\xe8.jpg";
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        const QString parent = root_.filePath("latin1file");
        const CopyResult made = makeCopy(program_, parent + "/Classe");
        QVERIFY(::unlink(raw.constData()) == 0);
        QVERIFY(!made.ok);
        QCOMPARE(made.message, "Il nome di " + program_ + "/jpg/caff\uFFFD.jpg non è scritto in UTF-8 (qui le lettere "
                               "illeggibili sono mostrate come \uFFFD) e non lo posso copiare così com'è: la copia "
                               "non è stata fatta. Rinominalo con lettere comuni, poi riprova.");
        QVERIFY(!QFileInfo::exists(parent));
    }

    // Ctrl-C, the system's request to end and a closed terminal, each while
    // the real tool copies: it stops, takes away what it made, says so in
    // Italian and ends with the code a shell gives a program the signal ended.
    void aSignalLeavesNothingHalfMade_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("said");
        QTest::newRow("SIGINT") << int(SIGINT) << "Interrotto con Ctrl-C. ";
        QTest::newRow("SIGTERM") << int(SIGTERM) << "Il sistema ha chiesto di chiudere il programma. ";
        QTest::newRow("SIGHUP") << int(SIGHUP) << "Il terminale è stato chiuso. ";
    }

    void aSignalLeavesNothingHalfMade()
    {
        QFETCH(int, signal);
        QFETCH(QString, said);
        const QString parent = root_.filePath(QString("signal%1").arg(signal));
        const QStringList menuBefore = entriesIn(applications_);
        QProcess tool;
        QVERIFY(!signalMidCopy(tool, parent, signal).isEmpty());
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 128 + signal);
        QCOMPARE(QString::fromUtf8(tool.readAllStandardError()),
                 said + "La copia è stata fermata: in " + parent + " non è rimasto nulla di mezzo fatto. Per avere "
                 "la copia, avvia di nuovo zampli-copia.\n");
        QCOMPARE(entriesIn(parent), QStringList());
        QCOMPARE(entriesIn(applications_), menuBefore);
    }

    // In the process itself, as the teacher's window copies: the signal only
    // asks to stop, the copy leaves nothing, and afterwards the signal's
    // earlier action is back so that the program can end as it asked.
    void aSignalStopsACopyInTheProcess()
    {
        const QString parent = root_.filePath("inprocess");
        struct sigaction before{};
        sigaction(SIGTERM, nullptr, &before);
        int received = 0;
        {
            const StopSignals stop;
            std::raise(SIGTERM);
            const CopyResult made = makeCopy(program_, parent + "/Classe", {}, stop.stopping());
            received = stop.received();
            QCOMPARE(made.message, "La copia è stata fermata: in " + parent + " non è rimasto nulla di mezzo fatto.");
        }
        QCOMPARE(received, int(SIGTERM));
        QVERIFY(!QFileInfo::exists(parent));
        struct sigaction now{};
        sigaction(SIGTERM, nullptr, &now);
        QVERIFY(now.sa_handler == before.sa_handler);
    }

    // Started under nohup, the copy goes on when its terminal closes.
    void aSignalIgnoredByItsStarterStaysIgnored()
    {
        const QString parent = root_.filePath("nohup");
        QProcess tool;
        tool.setChildProcessModifier([] { std::signal(SIGHUP, SIG_IGN); });
        QVERIFY(!signalMidCopy(tool, parent, SIGHUP).isEmpty());
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(entriesIn(parent), QStringList{"Classe"});
    }

    // A copy killed outright cannot clean up: the next copy into the same
    // folder does, and touches neither a copy still running (its process
    // alive, or its lock held) nor anything else.
    void aKilledCopysLeftoverGoesNextTime()
    {
        const QString parent = root_.filePath("killed");
        QProcess gone;
        gone.start("true");
        QVERIFY(gone.waitForStarted());
        const qint64 gonePid = gone.processId();
        QVERIFY(gone.waitForFinished());
        const QString alive = ".zampli-copia-in-corso-" + QString::number(getpid()) + "-abc";
        const QString locked = ".zampli-copia-in-corso-" + QString::number(gonePid) + "-abc";
        const QStringList kept = {alive, locked, ".zampli-copia-in-corso-altro", "Classe 1ª A"};
        for (const QString &name : kept)
            writeFile(parent + "/" + name + "/mine.txt", "mine");
        const int lock = ::open(QFile::encodeName(parent + "/" + locked).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX) == 0);

        QProcess killed;
        const QString left = signalMidCopy(killed, parent, SIGKILL);
        QVERIFY(!left.isEmpty());
        QVERIFY2(QFileInfo(parent + "/" + left).isDir(), qPrintable(left));

        const auto [code, out] = runProcess(program_ + "/zampli-copia", {parent + "/Classe"});
        ::close(lock);
        QVERIFY2(code == 0, qPrintable(out));
        QStringList expected = kept + QStringList{"Classe"};
        expected.sort();
        QCOMPARE(entriesIn(parent), expected);
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
        QVERIFY2(defaultOut.startsWith("Non so qual è la tua cartella personale"), qPrintable(defaultOut));
    }

    // Made by the administrator, whose mask may keep everything to herself:
    // each account must still read every folder and file, and find the entry
    // in the menu every account reads, not in the administrator's own.
    void aCopyForEveryAccountIsReadableByAll()
    {
        const QString shared = root_.filePath("shared");
        const QString folder = shared + "/zampli/Classe per tutti";
        const QString menu = shared + "/applications";
        const QStringList ownMenu = entriesIn(applications_);
        const mode_t mask = umask(077);
        const CopyResult made = makeCopyForEveryone(program_, folder, menu);
        umask(mask);
        QVERIFY2(made.ok, qPrintable(made.message));
        QCOMPARE(made.copy.desktopFile, menu + "/" + desktopFileId(folder) + ".desktop");
        QCOMPARE(entriesIn(applications_), ownMenu);
        QCOMPARE(readFile(folder + "/testi/a.txt"), QByteArray("ape\r\n"));

        QStringList notForAll;
        QDirIterator it(shared, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo entry(it.next());
            struct stat st;
            QCOMPARE(lstat(QFile::encodeName(entry.filePath()).constData(), &st), 0);
            const mode_t wanted = S_ISDIR(st.st_mode) ? 0755 : S_ISLNK(st.st_mode) ? (st.st_mode & 0777) : 0644;
            if ((st.st_mode & 0777) != wanted)
                notForAll << QString("%1 %2").arg(entry.filePath()).arg(st.st_mode & 0777, 0, 8);
        }
        QCOMPARE(notForAll, QStringList());
        struct stat st;
        QCOMPARE(stat(QFile::encodeName(shared).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0755)); // made on the way there
        QCOMPARE(runProcess("desktop-file-validate", {made.copy.desktopFile}), std::make_pair(0, QString()));
    }
};

QTEST_GUILESS_MAIN(CopiesTest)
#include "test_copies.moc"
