// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever becomes of the results file, the child's window answers every
// click as before, the adult is told once, and what could be written is
// intact afterwards. And a program killed mid-answer loses at most a second.
#include "CopyFiles.h"
#include "FileSizeLimit.h"
#include "ResultsDamage.h"
#include "ResultsHarness.h"
#include "ResultsPlant.h"
#include "MonthOfAnswers.h"
#include "results/PendingAnswers.h"
#include "results/ResultsEditor.h"

#include "exercises/recognition/PictureRecognition.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace zampli;
using namespace zampli::test;

namespace {

// The end waits a little for a lock, so that a test need not wait the program's seconds.
constexpr ResultsWriter::Timing kShortQuit{.quitWaitMs = 300};

// A full disk: no file may grow past the database's biggest file now. Lifted with the object.
std::unique_ptr<FileSizeLimit> diskFull(const QString &db)
{
    return std::make_unique<FileSizeLimit>(rlim_t(qMax(QFileInfo(db).size(), QFileInfo(db + "-wal").size())));
}

QString helper()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/results_helper");
}

// What the helper printed, once it ended, with what it told the adult when
// `channels` merges them; a helper still running 20 s after its start is
// killed, and said to be so.
QString helperSays(const QStringList &args, QProcess::ProcessChannelMode channels = QProcess::SeparateChannels)
{
    QProcess p;
    p.setProcessChannelMode(channels);
    p.start(helper(), args);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return QStringLiteral("still running after 20 s");
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The copies of `file` set aside beside it, whatever they are (a pipe too).
QStringList setAside(const QString &file)
{
    const QFileInfo f(file);
    QStringList out;
    for (const QString &name : f.dir().entryList({f.fileName() + ".guasto-*"}, QDir::Files | QDir::System | QDir::Hidden))
        out << f.dir().filePath(name);
    return out;
}

// True when the adult was told one line holding every part; else what was told is shown.
bool toldOnce(const QStringList &told, const QStringList &parts)
{
    const bool once = told.size() == 1 && std::all_of(parts.begin(), parts.end(), [&](const QString &part) {
        return told[0].contains(part);
    });
    if (!once)
        qWarning() << "told:" << told << "expected once, with:" << parts;
    return once;
}

constexpr const char *kRecursiveView =
    "CREATE VIEW v AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT x FROM c";

// A results file of its own, what every writer on it told the adult, and
// how many answers its month of made-up answers held.
struct TellingFile {
    QTemporaryDir dir;
    const QString db = dir.filePath("zampli.sqlite");
    QStringList told;
    int month = 0;

    ResultsFile::Report report()
    {
        return [this](const QString &line) { told << line; };
    }
    void writeMonth(const MonthPlan &plan)
    {
        ResultsWriter w(db, "/opt/zampli", report());
        month = writeMonthOfAnswers(w, plan);
    }
    // The next start of the child's program: one session, one right answer.
    bool playOnce(const char *vowel)
    {
        ResultsWriter w(db, "/opt/zampli", report());
        w.sessionStarted();
        w.record({.atMs = QDateTime::currentMSecsSinceEpoch(), .window = "FormZampli3", .asked = vowel,
                  .chosen = vowel, .right = true});
        return w.sync();
    }
};

// `count` answers of a batch set aside on March 4th 2024, `stepMs` apart.
PendingBatch setAsideBatch(const char *id, int count, qint64 stepMs)
{
    PendingBatch batch{QString::fromLatin1(id), 0, 1709546400000, {}};
    for (int k = 1; k <= count; ++k) {
        const AnswerRecord a{.atMs = batch.sessionStartMs + k * stepMs, .window = "FormZampli3", .asked = "U",
                             .chosen = "U"};
        batch.events.push_back({ResultsEvent::Kind::Answer, a.atMs, a, 0});
    }
    return batch;
}

// Another program holding the file's write lock until it is told to let go,
// or for a minute at most: a test stuck on the lock then fails instead of
// hanging.
class OtherProgramsLock {
public:
    explicit OtherProgramsLock(const QString &db) { locker_.start(helper(), {"lock", db, "60000"}); }
    ~OtherProgramsLock()
    {
        if (locker_.state() != QProcess::NotRunning && !release())
            locker_.kill(), locker_.waitForFinished();
    }

    // True once the lock is held.
    bool take()
    {
        while (!locker_.canReadLine() && locker_.waitForReadyRead(20000)) {
        }
        return locker_.readLine() == "locked\n";
    }

    // Not let go yet: the locker says so just before it lets go.
    bool stillHeld()
    {
        locker_.waitForReadyRead(0);
        return locker_.bytesAvailable() == 0 && locker_.state() == QProcess::Running;
    }

    // Tells it to let go; true when it did so because it was told.
    bool release()
    {
        locker_.write("\n");
        locker_.closeWriteChannel();
        return locker_.waitForFinished(20000) && locker_.exitStatus() == QProcess::NormalExit &&
               locker_.exitCode() == 0 && locker_.readAll() == "asked\n";
    }

private:
    QProcess locker_;
};

} // namespace

class ResultsFaultsTest : public QObject {
    Q_OBJECT

    // Zampli3 with A..U in boxes 0..4 and A spoken.
    static PictureRecognition &open(WithResults &r)
    {
        r.h.random.scriptNumbers(4, {1});
        r.h.random.scriptNumbers(5, {1, 2, 3, 4, 5, 1});
        auto &form = r.h.windows->form<PictureRecognition>(FormId::Zampli3);
        form.Show();
        return form;
    }

    // Clicks the wrong picture `clicks` times; true when each sounded the
    // error and counted, as without a database.
    static bool clickWrong(WithResults &r, PictureRecognition &form, int clicks)
    {
        QWidget *wrong = form.window()->findChild<QWidget *>("Image1_1");
        const qsizetype errorsBefore = r.h.sound.played.count(r.h.media().errorSound());
        const int countedBefore = r.h.modulo->EserciziErrati.value();
        for (int k = 0; k < clicks; ++k)
            clickAsUser(wrong);
        return r.h.sound.played.count(r.h.media().errorSound()) == errorsBefore + clicks &&
               r.h.modulo->EserciziErrati.value() == countedBefore + clicks;
    }

    // Zampli3 open on a started writer, `clicks` wrong answers in the file.
    static PictureRecognition &playing(WithResults &r, int clicks, ResultsWriter::Timing timing = {})
    {
        r.start(timing);
        auto &form = open(r);
        const bool written = clickWrong(r, form, clicks) && r.writer->sync();
        QTest::qVerify(written, "clickWrong(r, form, clicks) && r.writer->sync()", "", __FILE__, __LINE__);
        return form;
    }

    // Two rounds of clicks answered as ever and never written; the adult told once, of `why`.
    static void answeredButNeverWritten(WithResults &r, const char *why)
    {
        r.start();
        auto &form = open(r);
        for (int round = 0; round < 2; ++round) {
            QVERIFY(clickWrong(r, form, 5));
            QVERIFY(!r.writer->sync());
        }
        QVERIFY(toldOnce(r.told(), {why}));
    }

    static QString integrity(const QString &db) { return queryRows(db, "PRAGMA integrity_check"); }

private slots:
    void folderInPlaceOfTheFile()
    {
        WithResults r;
        QVERIFY(QDir().mkpath(r.db));
        answeredButNeverWritten(r, "cartella");
        QVERIFY(QFileInfo(r.db).isDir());
    }

    // A broken file is kept aside, untouched, under a dated name.
    void brokenFileMovedAside()
    {
        WithResults r;
        const QByteArray junk(8192, 'x');
        writeFile(r.db, junk);
        playing(r, 6);
        QCOMPARE(r.rows("SELECT count(*), sum(right = 0) FROM answers"), QStringLiteral("6|6"));
        QCOMPARE(integrity(r.db), QStringLiteral("ok"));
        const QStringList aside = setAside(r.db);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readFile(aside[0]), junk);
        QVERIFY(toldOnce(r.told(), {"guasto"}));
    }

    // A state folder that cannot be written. The superuser writes through
    // any mode, so under it the folder lies where nothing can be made (/proc).
    void readOnlyHome()
    {
        QTemporaryDir home;
        const QString state = geteuid() == 0 ? QStringLiteral("/proc/zampli-state") : home.filePath("state");
        if (geteuid() != 0) {
            QVERIFY(QDir().mkpath(state));
            QVERIFY(QFile::setPermissions(state, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        WithResults r(state);
        answeredButNeverWritten(r, "non salvati");
        QVERIFY(!QFileInfo::exists(r.db));
        QFile::setPermissions(state, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // The files may grow no more (a full disk as a file-size limit): the
    // answers wait in memory and reach the file once there is room again.
    void fullDisk()
    {
        WithResults r;
        auto &form = playing(r, 3);
        auto full = diskFull(r.db);
        const bool answered = clickWrong(r, form, 5);
        const bool written = r.writer->sync();
        full.reset();
        QVERIFY(answered);
        QVERIFY(!written);
        QVERIFY(r.writer->sync());
        QCOMPARE(r.rows("SELECT count(*) FROM answers"), QStringLiteral("8"));
        QCOMPARE(integrity(r.db), QStringLiteral("ok"));
        QVERIFY(toldOnce(r.told(), {"impossibile scrivere"}));
        // Told in the file too, once, where the teacher's program shows it.
        QCOMPARE(r.rows("SELECT kind, count FROM problems"), QStringLiteral("scrittura non riuscita|0"));
        QCOMPARE(r.rows("SELECT detail FROM problems"), r.told()[0]);
    }

    // Another program holds the write lock: the clicks go on meanwhile, the
    // adult is told once, and every answer reaches the file once it lets go.
    void lockedByAnotherProgram()
    {
        WithResults r;
        auto &form = playing(r, 1);
        OtherProgramsLock lock(r.db);
        QVERIFY(lock.take());
        for (int round = 0; round < 2; ++round) {
            QVERIFY(clickWrong(r, form, 3));
            QVERIFY(!r.writer->sync()); // tried, and met the lock
        }
        QVERIFY(lock.release());
        QVERIFY(r.writer->sync());
        QCOMPARE(r.rows("SELECT count(*) FROM answers"), QStringLiteral("7"));
        QCOMPARE(integrity(r.db), QStringLiteral("ok"));
        QVERIFY(toldOnce(r.told(), {"occupato"}));
        QCOMPARE(r.rows("SELECT kind, count FROM problems"), QStringLiteral("file occupato|0"));
    }

    // Here the writer waits for another program's lock for as long as it is
    // held, and the other program lets go only when told: a click that
    // waited for the file could not come back before it let go on its own.
    void clicksNeverWaitForTheLock()
    {
        WithResults r;
        auto &form = playing(r, 1, {.busyMs = 3'600'000});
        OtherProgramsLock lock(r.db);
        QVERIFY(lock.take());
        QVERIFY(clickWrong(r, form, 5));
        QVERIFY2(lock.stillHeld(), "a click waited until the other program let go of the lock");
        QVERIFY(lock.release());
        QVERIFY(r.writer->sync());
        QCOMPARE(r.rows("SELECT count(*) FROM answers"), QStringLiteral("6"));
    }

    // The results folder is removed while the child plays: the answers after
    // it are in a new file at the same place, in a session of their own.
    void folderRemovedWhilePlaying()
    {
        WithResults r;
        auto &form = playing(r, 2);
        QVERIFY(QDir(QFileInfo(r.db).path()).removeRecursively());
        QVERIFY(clickWrong(r, form, 3));
        QVERIFY(r.writer->sync());
        QVERIFY(QFileInfo(r.db).isFile());
        QCOMPARE(r.rows("SELECT count(*), sum(right = 0) FROM answers"), QStringLiteral("3|3"));
        QCOMPARE(r.rows("SELECT count(*) FROM sessions"), QStringLiteral("1"));
        QCOMPARE(QFileInfo(QFileInfo(r.db).path()).permissions() & 0x0777, QFileDevice::Permissions(0x0700));
        QCOMPARE(integrity(r.db), QStringLiteral("ok"));
        QVERIFY(toldOnce(r.told(), {"spostato o cancellato"}));
        QCOMPARE(r.rows("SELECT kind FROM problems"), QStringLiteral("file spostato"));
    }

    void fileMovedWhilePlaying_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("renamed") << false;
        QTest::newRow("another results file put in its place") << true; // a copy brought back from elsewhere
    }

    // The file is moved aside while the child plays: what was written stays in it, whole, and the answers after go
    // to the file now under the old name, new or put there, where the change is told once and recorded.
    void fileMovedWhilePlaying()
    {
        QFETCH(bool, replaced);
        WithResults r;
        auto &form = playing(r, 2);
        const QString aside = QFileInfo(r.db).path() + "/messo-da-parte.sqlite";
        const QString other = QFileInfo(r.db).path() + "/altra-copia.sqlite";
        if (replaced) {
            ResultsWriter elsewhere(other, QStringLiteral("/altrove"), [](const QString &) {});
            elsewhere.sessionStarted(QDateTime::currentMSecsSinceEpoch());
            QVERIFY(elsewhere.sync());
        }
        QVERIFY(QFile::rename(r.db, aside));
        QVERIFY(!replaced || QFile::rename(other, r.db));
        QVERIFY(clickWrong(r, form, 3));
        QVERIFY(r.writer->sync());
        QCOMPARE(queryRows(aside, "SELECT count(*) FROM answers"), QStringLiteral("2"));
        QCOMPARE(r.rows("SELECT count(*), sum(right = 0) FROM answers"), QStringLiteral("3|3"));
        QCOMPARE(integrity(r.db), QStringLiteral("ok"));
        QCOMPARE(integrity(aside), QStringLiteral("ok"));
        QCOMPARE(r.told().size(), 1);
        QCOMPARE(r.rows("SELECT kind FROM problems"), QStringLiteral("file spostato"));
        QCOMPARE(queryRows(aside, "SELECT count(*) FROM problems"), QStringLiteral("0"));
    }

    // The disk is full when the program ends and has room at the next start.
    void fullDiskAtQuitKeepsAnswersForTheNextStart()
    {
        WithResults r;
        auto &form = playing(r, 3, kShortQuit);
        auto full = diskFull(r.db);
        const bool answered = clickWrong(r, form, 4);
        // The quit a millisecond after the last answer at least, so that the session's end tells them apart.
        const qint64 answeredAt = QDateTime::currentMSecsSinceEpoch();
        QTRY_VERIFY(QDateTime::currentMSecsSinceEpoch() > answeredAt);
        const QByteArray quitAt = QByteArray::number(QDateTime::currentMSecsSinceEpoch());
        r.writer.reset();
        full.reset();
        QVERIFY(answered);
        QCOMPARE(r.rows("SELECT count(*) FROM answers"), QStringLiteral("3"));
        QVERIFY(QFileInfo(r.pending()).isFile());

        // Each once, in the session they belong to, which ended at the quit.
        r.start(kShortQuit);
        QVERIFY(r.writer->sync());
        QCOMPARE(r.rows("SELECT session_id, count(*) FROM answers GROUP BY session_id"), QStringLiteral("1|7"));
        QCOMPARE(r.rows("SELECT count(*), ended_ms >= " + quitAt + " FROM sessions"), QStringLiteral("1|1"));
        QVERIFY(!QFileInfo::exists(r.pending()));
        QCOMPARE(r.told().size(), 2);
        QVERIFY2(r.told()[0].contains("disco"), qPrintable(r.told()[0]));
        QVERIFY2(r.told()[1].contains("messe da parte in " + r.pending() + ": 4."), qPrintable(r.told()[1]));
        QCOMPARE(r.rows("SELECT kind, count FROM problems"), QStringLiteral("risposte in attesa|4"));
    }

    // A program answering all the time is killed: the answers reached the
    // file while it ran, with no end to wait for, and the kill takes none of
    // them away nor leaves the file damaged.
    void killedLosesNoAnswerWritten()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("zampli.sqlite");
        QProcess child;
        child.start(helper(), {"answer", db});
        QVERIFY(child.waitForStarted());
        const auto written = [&db] { return queryRows(db, "SELECT count(*) FROM answers", true).toInt(); };
        // Answers keep coming while the file is read; a minute only guards against a writer that never writes.
        for (const QDeadlineTimer guard(60000); written() <= 100 && !guard.hasExpired();)
            QVERIFY(child.write("risposta\n") > 0 && child.waitForBytesWritten());
        const int before = written();
        QVERIFY2(before > 100, qPrintable(QString::number(before)));
        child.kill(); // SIGKILL
        QVERIFY(child.waitForFinished());
        QCOMPARE(integrity(db), QStringLiteral("ok"));
        const QByteArray kept = "SELECT count(*) FROM answers WHERE turn <= " + QByteArray::number(before);
        QCOMPARE(queryRows(db, kept.constData()).toInt(), before);
    }

    // A trigger planted in the file would delete every answer added to it:
    // the file is not ours, so it is set aside untouched and its answers go
    // on in a fresh file with those an earlier run set aside, none lost, and
    // the adult is told that another program changed it.
    void plantedTriggerSetAsideAndNoAnswerLost()
    {
        TellingFile f;
        QVERIFY(f.playOnce("A"));
        QVERIFY(f.playOnce("E"));
        QVERIFY(plant(f.db, "CREATE TRIGGER t AFTER INSERT ON answers BEGIN DELETE FROM answers; END"));
        QVERIFY(appendPending(f.db, setAsideBatch("lotto-1", 3, 1000)).written);
        QVERIFY(f.playOnce("I"));
        QCOMPARE(queryRows(f.db, "SELECT asked FROM answers ORDER BY at_ms"), QStringLiteral("U / U / U / A / E / I"));
        QCOMPARE(queryRows(f.db, "SELECT count(*) FROM sqlite_master WHERE type = 'trigger'"), QStringLiteral("0"));
        QCOMPARE(queryRows(f.db, "PRAGMA trusted_schema"), QStringLiteral("0"));
        const QStringList aside = ResultsEditor::damagedCopies(f.db);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(queryRows(aside[0], "SELECT name FROM sqlite_master WHERE type = 'trigger'", true), QStringLiteral("t"));
        QVERIFY(toldOnce(f.told, {"cambiato da un altro programma", aside[0], "2 risposte recuperate, nessuna persa"}));
        QCOMPARE(queryRows(f.db, "SELECT kind, count FROM problems ORDER BY id"),
                 QStringLiteral("file guasto|0 / risposte in attesa|3"));
    }

    void foreignViewRefusedAtOnce_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::newRow("beside the tables") << QByteArray(kRecursiveView);
        QTest::newRow("in place of a table")
            << QByteArray("DROP TABLE problems; CREATE VIEW problems AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL "
                          "SELECT x+1 FROM c) SELECT x AS id, x AS at_ms, 'k' AS kind, 0 AS count, 'd' AS detail,"
                          " 0 AS read FROM c");
    }

    // A recursive view never ends once read. The teacher's program refuses
    // the file before reading any of it, and ends; the child's program sets
    // it aside and plays on in a fresh file, which the teacher's then reads.
    void foreignViewRefusedAtOnce()
    {
        QFETCH(QByteArray, sql);
        TellingFile f;
        QVERIFY(f.playOnce("A"));
        QVERIFY(plant(f.db, sql.constData()));
        const QString said = helperSays({"read", f.db});
        QVERIFY2(said.startsWith("refused: ") && said.contains("contiene parti che ZAMPLI non scrive"), qPrintable(said));
        QVERIFY(f.playOnce("E"));
        QCOMPARE(queryRows(f.db, "SELECT asked FROM answers ORDER BY id"), QStringLiteral("A / E"));
        QCOMPARE(queryRows(f.db, "SELECT count(*) FROM sqlite_master WHERE type = 'view'"), QStringLiteral("0"));
        QCOMPARE(ResultsEditor::damagedCopies(f.db).size(), 1);
        QVERIFY(toldOnce(f.told, {"cambiato da un altro programma"}));
        QCOMPARE(helperSays({"read", f.db}), QStringLiteral("read"));
    }

    // A pipe in place of the results file would hold the first read for good.
    void pipeInPlaceOfTheFileRefusedAtOnce()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("zampli.sqlite");
        QCOMPARE(::mkfifo(QFile::encodeName(db).constData(), 0600), 0);
        const QString said = helperSays({"read", db});
        QVERIFY2(said.startsWith("refused: ") && said.contains(db), qPrintable(said));
    }

    // A long read in the teacher's program ends at its quit, and none begins after.
    void readsStoppedAtTheQuit()
    {
        QCOMPARE(helperSays({"stop"}), QStringLiteral("%1 %1").arg(SQLITE_INTERRUPT));
    }

    // A file of a newer version may hold what this one never made: it is
    // only read, never changed nor set aside, and nothing in it runs.
    void newerFileOnlyRead()
    {
        TellingFile f;
        QVERIFY(f.playOnce("A"));
        QVERIFY(plant(f.db, (QByteArray("CREATE TABLE future(x);"
                                        "CREATE TRIGGER t AFTER INSERT ON future BEGIN DELETE FROM answers; END;") +
                             kRecursiveView + "; PRAGMA user_version = 9")
                                .constData()));
        QCOMPARE(helperSays({"read", f.db}), QStringLiteral("read"));
        QVERIFY(!f.playOnce("E"));
        QCOMPARE(queryRows(f.db, "SELECT asked FROM answers", true), QStringLiteral("A"));
        QCOMPARE(queryRows(f.db, "SELECT type, name FROM sqlite_master WHERE name IN ('t', 'v') ORDER BY name", true),
                 QStringLiteral("trigger|t / view|v"));
        QCOMPARE(ResultsEditor::damagedCopies(f.db), QStringList());
        QVERIFY2(f.told.value(0).contains("versione più nuova"), qPrintable(f.told.value(0)));
    }

    void pipeAtTheAnswersSetAsideNeverHoldsTheProgram_data()
    {
        QTest::addColumn<bool>("newerFile");
        QTest::newRow("found at the start") << false;
        QTest::newRow("found at the quit, beside a newer file") << true;
    }

    // A pipe in place of the answers set aside would hold the child's
    // program's writer for good, and the program after Esci. It ends; the
    // pipe is set aside unread and the adult told; what could not go in the
    // file waits in a file of its own.
    void pipeAtTheAnswersSetAsideNeverHoldsTheProgram()
    {
        QFETCH(bool, newerFile);
        TellingFile f;
        QVERIFY(f.playOnce("A"));
        if (newerFile)
            QVERIFY(plant(f.db, "PRAGMA user_version = 9"));
        const QString pending = pendingPath(f.db);
        QCOMPARE(::mkfifo(QFile::encodeName(pending).constData(), 0600), 0);
        // What it told the adult, then its end.
        const QString said = helperSays({"play", f.db}, QProcess::MergedChannels);
        QVERIFY2(said.endsWith("\nended"), qPrintable(said));
        const QStringList aside = setAside(pending);
        QCOMPARE(aside.size(), 1);
        struct stat pipe {};
        QVERIFY(::lstat(QFile::encodeName(aside[0]).constData(), &pipe) == 0 && S_ISFIFO(pipe.st_mode));
        QVERIFY2(said.contains("è un file speciale del sistema, non un file normale") && said.contains(aside[0]),
                 qPrintable(said));
        if (newerFile) {
            QVERIFY(QFileInfo(pending).isFile());
            QCOMPARE(readPending(f.db).batches.size(), std::size_t(1));
            QCOMPARE(queryRows(f.db, "SELECT asked FROM answers ORDER BY id", true), QStringLiteral("A"));
        } else {
            QVERIFY(!QFileInfo::exists(pending));
            QCOMPARE(queryRows(f.db, "SELECT asked FROM answers ORDER BY id"), QStringLiteral("A / O"));
            QCOMPARE(queryRows(f.db, "SELECT kind FROM problems"), QStringLiteral("risposte in attesa"));
        }
    }

    // 20 MB of answers set aside is more than any run sets aside: the file
    // is set aside whole and unread, the adult told, and the child plays on.
    void oversizedAnswersSetAsideLeftUnread()
    {
        TellingFile f;
        QVERIFY(f.playOnce("A"));
        const QString pending = pendingPath(f.db);
        {
            QFile file(pending);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray lines = pendingLines(setAsideBatch("lotto", 1000, 1));
            while (file.size() < 20 << 20)
                QCOMPARE(file.write(lines), lines.size());
        }
        const qint64 size = QFileInfo(pending).size();
        QVERIFY(f.playOnce("E"));
        QCOMPARE(queryRows(f.db, "SELECT asked FROM answers ORDER BY id"), QStringLiteral("A / E"));
        QVERIFY(!QFileInfo::exists(pending));
        const QStringList aside = setAside(pending);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(QFileInfo(aside[0]).size(), size);
        QVERIFY(toldOnce(f.told, {"è troppo grande", aside[0]}));
        QCOMPARE(queryRows(f.db, "SELECT kind FROM problems"), QStringLiteral("risposte in attesa"));
    }

    // A month of answers with one page of them overwritten: at the next start
    // the rows that still read go on in a fresh file, the damaged one is
    // kept aside as it was, and what was saved and lost is told once and
    // recorded once for the adult.
    void damagedMonthSalvaged()
    {
        TellingFile f;
        f.writeMonth({QDate(2024, 3, 29), 30, 3000, 5});
        const QList<qint64> leaves = leafPages(f.db, "answers");
        QVERIFY2(leaves.size() > 20, qPrintable(QString::number(leaves.size())));
        QVERIFY(overwritePage(f.db, leaves[leaves.size() / 2]));
        const QByteArray damagedBytes = readFile(f.db);
        QVERIFY(f.playOnce("A"));
        QVERIFY(f.playOnce("A"));
        QCOMPARE(integrity(f.db), QStringLiteral("ok"));
        const int saved = queryRows(f.db, "SELECT count(*) FROM answers WHERE at_ms < 1712000000000").toInt();
        QVERIFY2(saved >= f.month * 9 / 10 && saved < f.month,
                 qPrintable(QStringLiteral("%1 of %2").arg(saved).arg(f.month)));
        QCOMPARE(queryRows(f.db, "SELECT count(*) FROM answers WHERE at_ms >= 1712000000000"), QStringLiteral("2"));
        // Every answer saved still shows in its session.
        QCOMPARE(queryRows(f.db, "SELECT count(*) FROM answers WHERE session_id NOT IN (SELECT id FROM sessions)"),
                 QStringLiteral("0"));
        QCOMPARE(queryRows(f.db, "SELECT kind, count FROM problems"),
                 QStringLiteral("file guasto|%1").arg(f.month - saved));
        const QStringList aside = ResultsEditor::damagedCopies(f.db);
        QCOMPARE(aside.size(), 1);
        QVERIFY(readFile(aside[0]) == damagedBytes);
        QVERIFY(toldOnce(f.told, {f.db, "guasto", "recuperate", aside[0]}));

        // The adult removes the damaged copy.
        QCOMPARE(ResultsEditor::removeDamagedCopies(f.db), 1);
        QVERIFY(!QFileInfo::exists(aside[0]));
        QCOMPARE(ResultsEditor::damagedCopies(f.db), QStringList());
    }

    // With the answers' indexes damaged too, nothing tells how many answers
    // the file held: the answers lost are counted from the gap in the rows
    // that still read, and told as a lower bound.
    void damagedIndexesLossCountedFromTheGap()
    {
        TellingFile f;
        f.writeMonth({QDate(2024, 3, 29), 10, 1000, 5});
        const QList<qint64> rows = leafPages(f.db, "answers");
        QVERIFY2(rows.size() > 4, qPrintable(QString::number(rows.size())));
        QVERIFY(overwritePage(f.db, rows[rows.size() / 2]));
        for (const char *index : {"answers_at", "answers_session"}) {
            const QList<qint64> pages = leafPages(f.db, index);
            QVERIFY2(!pages.isEmpty(), index);
            QVERIFY(overwritePage(f.db, pages[0]));
        }
        QVERIFY(f.playOnce("E"));
        const int saved = queryRows(f.db, "SELECT count(*) FROM answers WHERE at_ms < 1712000000000").toInt();
        QVERIFY2(saved > f.month / 2 && saved < f.month, qPrintable(QStringLiteral("%1 of %2").arg(saved).arg(f.month)));
        QCOMPARE(queryRows(f.db, "SELECT kind, count FROM problems"),
                 QStringLiteral("file guasto|%1").arg(f.month - saved));
        QVERIFY(toldOnce(f.told, {QStringLiteral(", almeno %1 perse.").arg(f.month - saved)}));
    }

    // A file whose first page is gone tells nothing of what it held: the
    // adult is not told that nothing was lost, and the child plays on in a
    // fresh file.
    void unreadableFileLossNotClaimedNone()
    {
        TellingFile f;
        f.writeMonth({QDate(2024, 3, 29), 5, 300, 5});
        QVERIFY(f.month > 0);
        QVERIFY(!leafPages(f.db, "answers").isEmpty()); // the log folded in, so page 1 is in the file
        QVERIFY(overwritePage(f.db, 1));
        QVERIFY(f.playOnce("E"));
        QVERIFY(toldOnce(f.told, {"nessuna risposta recuperata, quante siano perse non si può sapere"}));
        QCOMPARE(queryRows(f.db, "SELECT kind FROM problems"), QStringLiteral("file guasto"));
        QCOMPARE(queryRows(f.db, "SELECT asked FROM answers"), QStringLiteral("E"));
    }
};

QTEST_MAIN(ResultsFaultsTest)
#include "test_results_faults.moc"
