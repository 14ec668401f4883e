// Every window over a copy of the default media set that a teacher has
// damaged: files gone, cut short, of another kind, in another encoding, far
// too long. The program goes on and says once what is wrong with which file.

#include "WindowWalk.h"

#include "media/SoundRouter.h"
#include "state/ExerciseWindows.h"

using namespace zampli;
using namespace zampli::test;

namespace {

QString programFolder() { return QCoreApplication::applicationDirPath(); }

// Only counts what the router asks of the output: the default, or a file.
struct CountingOutput final : SoundOutput {
    int defaults = 0;
    void load(const QUrl &) override {}
    void start(const QUrl &source) override { defaults += source == SoundRouter::builtInDefault(); }
    void stop(const QUrl &) override {}
};

// Turns the file at `path` into the damage named `kind`.
void damage(const QString &kind, const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(f.remove()); // closes it first
    if (kind == "removed" || kind == "folder" || kind == "dangling link") {
        QVERIFY(kind == "removed" || (kind == "folder" ? QDir().mkdir(path) : QFile::link(path + ".gone", path)));
        return;
    }
    QByteArray out;
    if (kind.startsWith("cut in"))
        out = bytes.left(kind == "cut in half" ? bytes.size() / 2 : 30);
    else if (kind == "random bytes")
        out = QByteArray(5000, 0), std::generate(out.begin(), out.end(), std::mt19937(bytes.size()));
    else if (kind == "png") {
        QVERIFY(QImage::fromData(bytes).save(path, "PNG"));
        return;
    } else if (kind == "float samples")
        out = QByteArray(bytes).replace(20, 2, QByteArray("\x03\x00", 2));
    else if (kind == "utf-16 without mark")
        out = QStringEncoder(QStringConverter::Utf16LE).encode(QString::fromUtf8(bytes));
    else if (kind == "one 10 MB line")
        out = QByteArray(10 << 20, 'a');
    else if (kind == "10000 lines")
        out = bytes.left(bytes.indexOf('\n') + 1).repeated(10000);
    else
        QVERIFY(kind == "empty");
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(out) == out.size());
}

} // namespace

class MediaFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindowGoesOn_data()
    {
        QTest::addColumn<QString>("files"); // a pattern over the paths in the media folder
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("reported");
        const auto rows = [](const char *files, std::initializer_list<const char *> kinds, bool reported = true) {
            for (const char *kind : kinds)
                QTest::addRow("%s %s", files, kind) << QString(files) << QString(kind) << reported;
        };
        rows("^jpg/", {"removed", "cut in half", "random bytes", "empty", "folder", "dangling link"});
        rows("^jpg/", {"png"}, false); // a picture all the same
        rows("^jpg/[^/]*a[^/]*$", {"removed"}); // some pictures, not all
        rows("^(voci|suoni)/", {"removed", "cut in the header", "float samples", "random bytes", "empty", "folder",
                                "dangling link"});
        rows("^testi/a.txt$", {"removed", "empty", "folder", "dangling link", "one 10 MB line", "10000 lines"});
        rows("^testi/a.txt$", {"utf-16 without mark"}, false);
        rows("^testi/", {"removed", "empty"}); // no word at all: back to the menu
    }

    void everyWindowGoesOn()
    {
        QFETCH(QString, files);
        QFETCH(QString, kind);
        QFETCH(bool, reported);
        QTemporaryDir dir;
        for (const char *sub : {"jpg", "voci", "suoni", "testi"})
            QCOMPARE(QProcess::execute("cp", {"-R", programFolder() + "/" + sub, dir.path()}), 0);
        QStringList damaged;
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            if (const QString path = it.next(); QRegularExpression(files).match(QDir(dir.path()).relativeFilePath(path)).hasMatch())
                damaged << path;
        QVERIFY(!damaged.isEmpty());
        for (const QString &path : std::as_const(damaged))
            damage(kind, path);

        Harness h(dir.path());
        CountingOutput output;
        SoundRouter router(output, [&h](const QString &path, const QString &why) { h.log.missingFile(path, why); });
        h.sound.onPlay = [&router](const QString &path) { router.play(path); };
        std::mt19937 g(7);
        bool placeholders = false;
        int answers = 0;
        for (const ExerciseWindowRow &row : kExerciseWindows) {
            Form *form = h.windows->form(row.id);
            form->Show();
            for (int step = 0; step < 12 && form->isLoaded(); ++step) {
                placeholders |=
                    std::ranges::any_of(form->window()->findChildren<PictureBox *>(), &PictureBox::showsPlaceholder);
                const QList<QWidget *> controls = clickable(form->window());
                if (step % 4 == 3 || controls.isEmpty())
                    tick(h, form, 2.5);
                else
                    clickAsUser(pick(g, controls));
            }
            answers = std::max(answers, h.modulo->EserciziEseguiti + h.modulo->EserciziErrati);
            if (form->isLoaded())
                form->Unload();
            else // no word at all: the adult is told, the child is back at the menu
                QVERIFY2(h.windows->form(FormId::Menu)->isLoaded() && h.boxes.shown.size() == 1, row.name);
        }
        QVERIFY(answers > 0);

        // Said once, and only about the damaged files.
        QCOMPARE(QSet<QString>(h.problems.begin(), h.problems.end()).size(), h.problems.size());
        for (const QString &line : std::as_const(h.problems))
            QVERIFY2(std::any_of(damaged.begin(), damaged.end(), [&](const QString &p) { return line.contains(p); }),
                     qPrintable(line));
        // Whatever a window met is told: a picture as its placeholder, a sound as the default sound.
        const QSet<QString> played =
            QSet<QString>(h.sound.played.begin(), h.sound.played.end()).intersect({damaged.begin(), damaged.end()});
        QCOMPARE(!h.problems.isEmpty(), reported && (placeholders || !played.isEmpty() || files.contains("testi")));
        // Every picture damaged: every window shows placeholders; no picture damaged: none.
        QCOMPARE(placeholders, files == "^jpg/" ? reported : placeholders && files.contains("jpg"));
        QCOMPARE(output.defaults > 0, reported && !played.isEmpty());
        for (const QString &path : std::as_const(played))
            QVERIFY2(h.problems.filter(path).size() == 1, qPrintable(path));
    }
};

QTEST_MAIN(MediaFaultsTest)
#include "test_media_faults.moc"
