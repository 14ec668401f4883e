// SPDX-License-Identifier: GPL-3.0-or-later
// The adult's tools over the real default media set: the media check, and
// the personal copy of the program folder.

#include "mediacheck/MediaCheck.h"
#include "results/ResultsEditor.h"
#include "results/Schema.h"
#include "results/Sqlite.h"

#include "CopyFiles.h"
#include "MediaBytes.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace zampli;
using namespace zampli::test;

namespace {

QString programFolder() { return QCoreApplication::applicationDirPath(); }

// The exit code (-1 when still running after 30 s) and all that `program` printed.
std::pair<int, QString> run(const QString &program, const QStringList &args,
                            const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    return runProcess(p, program, args);
}

// A copy of the build's default media in `dir`.
void copyMedia(const QString &dir)
{
    for (const char *sub : {"jpg", "voci", "suoni", "testi"})
        QCOMPARE(QProcess::execute("cp", {"-R", programFolder() + "/" + sub, dir}), 0);
}

void write(const QString &path, const QByteArray &bytes, QIODevice::OpenMode mode = QIODevice::Truncate)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | mode));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class AdultToolsTest : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> dir_; // a copy of the default media for each test

private slots:
    void init()
    {
        dir_.emplace();
        copyMedia(dir_->path());
    }

    void everyMissingFileIsNamed()
    {
        const QDir dir(dir_->path());
        QCOMPARE(checkMedia(dir.path()).problems, QStringList());

        // Twenty files at a time (the check names twenty of a kind, then
        // counts the rest), the word lists last, alone, as the check would
        // no longer know their words: each file named, on a line of its own.
        QStringList files;
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << dir.relativeFilePath(it.next());
        QVERIFY(files.size() > 100);
        files.sort();
        const QStringList lists = files.filter(QRegularExpression("^testi/"));
        files.removeIf([&lists](const QString &file) { return lists.contains(file); });
        QList<QStringList> groups = {lists};
        for (qsizetype k = 0; k < files.size(); k += 20)
            groups << files.mid(k, 20);
        for (const QStringList &gone : std::as_const(groups)) {
            for (const QString &file : gone)
                QVERIFY(QFile::rename(dir.filePath(file), dir.filePath(file + ".via")));
            QStringList named = checkMedia(dir.path()).problems;
            for (QString &line : named)
                line = line.section(": ", 0, 0);
            named.sort();
            QCOMPARE(named, gone);
            for (const QString &file : gone)
                QVERIFY(QFile::rename(dir.filePath(file + ".via"), dir.filePath(file)));
        }

        // The tool itself: that line, a summary, a failing exit.
        QVERIFY(QFile::remove(dir.path() + "/voci/I.wav"));
        const auto [code, out] = run(programFolder() + "/zampli-verifica", {dir.path()});
        QVERIFY2(code == 1 && out.startsWith("voci/I.wav: manca\n") && out.contains(": 1 problema, 0 note.\n"), qPrintable(out));
    }

    // Trouble with the results (here a damaged file salvaged) is listed for
    // the adult until read in the teacher's program, with its day and time;
    // the media's verdict and the exit status stay the media's.
    void unreadResultProblemsAreListed()
    {
        QTemporaryDir state;
        const QDir dir(dir_->path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_STATE_HOME", state.path());
        const auto [cleanCode, clean] = run(programFolder() + "/zampli-verifica", {dir.path()}, env);
        QVERIFY2(cleanCode == 0 && !clean.contains("Risultati"), qPrintable(clean));

        const QString db = resultsDatabasePath(state.path() + "/zampli", dir.path());
        ResultsEditor editor;
        QVERIFY(editor.open(db, ResultsEditor::IfMissing::Make));
        {
            SqliteDb sql;
            QCOMPARE(sql.open(db, false), SQLITE_OK);
            const qint64 at = QDateTime(QDate(2026, 3, 4), QTime(9, 30)).toMSecsSinceEpoch();
            const QByteArray rows = QStringLiteral("INSERT INTO problems(at_ms, kind, count, detail) VALUES(%1, 'file "
                                                   "guasto', 12, 'salvate 980 risposte, perse 12'), (%2, 'risposte "
                                                   "perse', 7, NULL)").arg(at).arg(at + 86400000).toUtf8();
            QCOMPARE(sql.exec(rows.constData()), SQLITE_OK);
        }
        const auto [code, out] = run(programFolder() + "/zampli-verifica", {dir.path()}, env);
        QCOMPARE(code, 0);
        QVERIFY2(out.contains("Risultati: 2 problemi da leggere.\n04/03/2026 09:30: salvate 980 risposte, perse 12\n"),
                 qPrintable(out));
        QVERIFY2(out.contains("\n05/03/2026 09:30: 7 risposte non sono state conservate"), qPrintable(out));

        QVERIFY(editor.markProblemsRead());
        const auto [readCode, read] = run(programFolder() + "/zampli-verifica", {dir.path()}, env);
        QVERIFY2(readCode == 0 && !read.contains("Risultati"), qPrintable(read));
    }

    // A folder whose name holds an escape sequence and a right-to-left
    // override, a list of 100,000 fields that cannot be words and a word
    // holding the override: what reaches the terminal holds no raw control
    // character, and one kind of line stops after 20.
    void theTerminalStaysSafe()
    {
        QTemporaryDir base;
        const QString folder = base.path() + QString::fromUtf8("/classe\x1b]0;preso\x07\u202Eotto");
        QVERIFY(QDir().mkdir(folder));
        copyMedia(folder);
        write(folder + "/testi/e.txt", QByteArray("a/b\n").repeated(100000) + QString::fromUtf8("elmo\u202E\n").toUtf8());

        const auto [code, out] = run(programFolder() + "/zampli-verifica", {folder});
        QCOMPARE(code, 1);
        // No raw control character, C0, DEL, C1, nor the override itself.
        QVERIFY2(!out.contains(QRegularExpression("[^\\n\\x{20}-\\x{7E}\\x{A0}-\\x{202D}\\x{202F}-\\x{10FFFF}]")), qPrintable(out));
        QVERIFY2(out.contains("classe\\x1B]0;preso\\x07\\u202Eotto: 2 problemi, 100.000 note.\n"), qPrintable(out));
        QVERIFY2(out.contains("jpg/elmo\\u202E.jpg: manca\n"), qPrintable(out));
        QCOMPARE(out.count("parola scartata"), 20);
        QVERIFY2(out.contains("\nnota: … e altri 99.980\n"), qPrintable(out));
    }

    // Drawings whose drawing inside names a descriptor of the checker's own
    // and a pipe: the check ends, without a crash, naming each picture once.
    void drawingsNamingOutsideEndTheCheck()
    {
        const QDir dir(dir_->path());
        const QString pipe = dir.filePath("attesa");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
        write(dir.filePath("jpg/ape.jpg"), zampli::test::drawingNaming("/proc/self/fd/3"));
        write(dir.filePath("jpg/A.jpg"), zampli::test::drawingNaming(QFile::encodeName(pipe)));

        // A check that opens the pipe never ends (-1); one that crashes ends by its signal.
        const auto [code, out] = run(programFolder() + "/zampli-verifica", {dir.path()});
        QCOMPARE(code, 1);
        const QString why = ": è un disegno SVG con dentro un'immagine (data:image/svg+xml;base64) che non è PNG né "
                            "JPEG, e che il programma non legge: il programma mostra un riquadro vuoto al suo posto\n";
        QCOMPARE(out.count("jpg/ape.jpg" + why), 1);
        QCOMPARE(out.count("jpg/A.jpg" + why), 1);
        QVERIFY2(out.contains(": 2 problemi, 0 note.\n"), qPrintable(out));
    }

    // A voice cut to a third, its header still declaring the whole: the
    // program would play a third, so the check names it. And a word listed
    // twice names the same files: each missing one is told once.
    void aVoiceCutShortAndAWordListedTwiceAreNamedOnce()
    {
        const QDir dir(dir_->path());
        QVERIFY(QFile::resize(dir.filePath("voci/O.wav"), QFileInfo(dir.filePath("voci/O.wav")).size() / 3));
        write(dir.filePath("testi/a.txt"), "astronave\r\nastronave\r\n", QIODevice::Append);
        const auto [code, out] = run(programFolder() + "/zampli-verifica", {dir.path()});
        QCOMPARE(code, 1);
        QVERIFY2(out.startsWith("voci/O.wav: file WAV tagliato: dichiara "), qPrintable(out));
        QVERIFY2(out.contains("\njpg/astronave.jpg: manca\nvoci/astronave.wav: manca\n"), qPrintable(out));
        QCOMPARE(out.count("voci/O.wav"), 1);
        QCOMPARE(out.count("astronave"), 2);
        QVERIFY2(out.contains(": 3 problemi, 0 note.\n"), qPrintable(out));
    }

    void aPersonalCopyRunsWithTheTeachersWords()
    {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.remove("XDG_DATA_HOME");
        const QString copy = home.path() + "/ZAMPLI";
        QCOMPARE(run(programFolder() + "/zampli-copia", {}, env).first, 0);
        QCOMPARE(run(programFolder() + "/zampli-copia", {}, env).first, 1); // never over a folder
        const QDir menu(home.path() + "/.local/share/applications");
        const QStringList entries = menu.entryList({"it.zampli.Zampli.Copia_*.desktop"});
        QCOMPARE(entries.size(), 1);
        QFile entry(menu.filePath(entries[0]));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QByteArray entryText = entry.readAll();
        QVERIFY(entryText.contains("\nName=ZAMPLI – le mie parole\n"));
        QVERIFY(entryText.contains("\nIcon=it.zampli.Zampli\n"));
        // The program is the installed one: no module nor adult's tool of its own.
        for (const char *file : {"zampli-suoni.so", "zampli-risposte.so", "zampli-verifica", "zampli-copia"})
            QVERIFY2(!QFileInfo::exists(copy + "/" + file), file);

        // The copy starts and loads the sound module beside the installed program.
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", home.path());
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(copy + "/zampli");
        QVERIFY(child.waitForStarted());
        const auto loaded = [&child] {
            QFile maps(QStringLiteral("/proc/%1/maps").arg(child.processId()));
            return maps.open(QIODevice::ReadOnly)
                && maps.readAll().contains(QFile::encodeName(programFolder() + "/zampli-suoni.so"));
        };
        QTRY_VERIFY_WITH_TIMEOUT(loaded(), 20000);
        QCOMPARE(child.state(), QProcess::Running);
        child.kill();
        child.waitForFinished();

        // The teacher adds a word with no picture yet, in a list saved on Windows.
        write(copy + "/testi/a.txt", "astronave\r\n", QIODevice::Append);
        const auto [code, out] = run(programFolder() + "/zampli-verifica", {copy}, env);
        QVERIFY2(code == 1 && out.contains("jpg/astronave.jpg: manca\n") && out.contains("voci/astronave.wav: manca\n"),
                 qPrintable(out));
    }
};

QTEST_MAIN(AdultToolsTest)
#include "test_adult_tools.moc"
