// The adult's tools over the real default media set: the media check, and
// the personal copy of the program folder.

#include "fakes/Fakes.h"

#include "MediaCheck.h"
#include "exercises/initial/InitialVowel.h"

#include <QDirIterator>
#include <QProcess>
#include <QtTest>

using namespace zampli;
using namespace zampli::test;

namespace {

QString programFolder() { return QCoreApplication::applicationDirPath(); }

// Copies the default media set of the build into `to`.
void copyMedia(const QString &to)
{
    for (const char *sub : {"jpg", "voci", "suoni", "testi"})
        QVERIFY(QProcess::execute("cp", {"-R", programFolder() + "/" + sub, to}) == 0);
}

struct Run {
    int exitCode = -1;
    QString out;
};

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput())};
}

} // namespace

class AdultToolsTest : public QObject {
    Q_OBJECT

private slots:
    void everyMissingFileIsNamed()
    {
        QTemporaryDir dir;
        copyMedia(dir.path());
        QCOMPARE(checkMedia(dir.path()).problems, QStringList());

        QStringList files;
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << QDir(dir.path()).relativeFilePath(it.next());
        QVERIFY(files.size() > 100);
        for (const QString &file : std::as_const(files)) {
            const QString path = dir.path() + "/" + file;
            QVERIFY(QFile::rename(path, path + ".via"));
            const MediaReport report = checkMedia(dir.path());
            QCOMPARE(report.problems.size(), 1);
            QVERIFY2(report.problems.first().startsWith(file + ": "), qPrintable(report.problems.first()));
            QVERIFY(QFile::rename(path + ".via", path));
        }

        // The tool itself: that line, a summary, a failing exit.
        QVERIFY(QFile::remove(dir.path() + "/voci/I.wav"));
        const Run verifica = run(programFolder() + "/zampli-verifica", {dir.path()});
        QCOMPARE(verifica.exitCode, 1);
        QVERIFY(verifica.out.startsWith("voci/I.wav: manca\n"));
        QVERIFY(verifica.out.contains(": 1 problemi"));
    }

    void aPersonalCopyRunsWithTheTeachersWords()
    {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.remove("XDG_DATA_HOME");
        const QString copy = home.path() + "/ZAMPLI";
        QCOMPARE(run(programFolder() + "/zampli-copia", {}, env).exitCode, 0);
        QCOMPARE(run(programFolder() + "/zampli-copia", {}, env).exitCode, 1); // never over a folder
        QFile entry(home.path() + "/.local/share/applications/zampli-le-mie-parole.desktop");
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        QVERIFY(text.contains("Name=ZAMPLI (le mie parole)\n"));
        QVERIFY(text.contains("Exec=\"" + copy + "/zampli\"\n"));

        // The copy starts, from its own folder, with its sound.
        QVERIFY(QFile::exists(copy + "/zampli-suoni.so"));
        QProcess program;
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", home.path());
        program.setProcessEnvironment(env);
        program.start(copy + "/zampli", {});
        QVERIFY(program.waitForStarted());
        QVERIFY(!program.waitForFinished(1500));
        program.kill();
        program.waitForFinished();

        // The teacher adds a word with no picture yet, in a list saved on Windows.
        QFile list(copy + "/testi/a.txt");
        QVERIFY(list.open(QIODevice::Append));
        list.write("astronave\r\n");
        list.close();
        const Run verifica = run(copy + "/zampli-verifica", {}, env);
        QCOMPARE(verifica.exitCode, 1);
        QVERIFY2(verifica.out.contains("jpg/astronave.jpg: manca\n"), qPrintable(verifica.out));
        QVERIFY(verifica.out.contains("voci/astronave.wav: manca\n"));

        // The program reads the edited list from the copy.
        Harness h(copy);
        auto &iniziaPer = h.windows->form<InitialVowel>(FormId::IniziaPer);
        iniziaPer.Show();
        const auto &a = iniziaPer.Parole[1];
        QVERIFY(std::find(a.begin(), a.begin() + iniziaPer.NumeroParole[1] + 1, "astronave") !=
                a.begin() + iniziaPer.NumeroParole[1] + 1);
    }
};

QTEST_MAIN(AdultToolsTest)
#include "test_adult_tools.moc"
