// SPDX-License-Identifier: GPL-3.0-or-later
// Every window over a copy of the default media set that a teacher has
// damaged: files gone, cut short, of another kind, in another encoding, far
// too long, pipes and devices in their place. The program goes on, never
// freezes, and says once what is wrong with which file.

#include "ProcMemory.h"
#include "WindowWalk.h"

#include "sound/SoundRouter.h"
#include "shell/ExerciseWindows.h"

#include "MediaBytes.h"

#include <future>
#include <sys/stat.h>
#include <thread>

using namespace zampli;
using namespace zampli::test;

namespace {

// Only counts what the router asks of the output: the default, or a file.
struct CountingOutput final : SoundOutput {
    int defaults = 0;
    void load(const QUrl &) override {}
    void start(const QUrl &source) override { defaults += source == SoundRouter::builtInDefault(); }
    void stop(const QUrl &) override {}
};

// Runs `step`, ending the test with a failure instead of a hang when it freezes the window thread (a FIFO
// opened without care waits for a writer for good). How fast it was, the benchmarks measure.
template <class Step> void failIfFrozen(Step step, const char *what)
{
    std::promise<void> over;
    std::thread watcher([done = over.get_future(), what] {
        if (done.wait_for(std::chrono::seconds(20)) == std::future_status::timeout)
            qFatal("frozen for 20 s: %s", what);
    });
    step();
    over.set_value();
    watcher.join();
}

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
    if (kind == "fifo" || kind == "/dev/zero") {
        QVERIFY(kind == "fifo" ? ::mkfifo(QFile::encodeName(path), 0644) == 0 : QFile::link("/dev/zero", path));
        return;
    }
    if (kind == "sparse 2 GB") {
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(qint64(2) << 30));
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
    } else if (kind == "png with a bad chunk") {
        QBuffer png(&out);
        QVERIFY(png.open(QIODevice::WriteOnly) && QImage::fromData(bytes).save(&png, "PNG"));
        const qsizetype crc = out.indexOf("IDAT") + 4 + qFromBigEndian<quint32>(out.constData() + out.indexOf("IDAT") - 4);
        out[crc] = char(out[crc] ^ 0x01);
    } else if (kind == "drawing naming a file")
        out = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'><image width='10' height='10' href='"
              + QFile::encodeName(path) + ".gone'/></svg>";
    else if (kind == "drawing in a drawing naming a pipe") {
        QVERIFY(::mkfifo(QFile::encodeName(path + ".pipe"), 0644) == 0);
        out = zampli::test::drawingNaming(QFile::encodeName(path + ".pipe"));
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
        QTest::addColumn<QString>("why"); // what every report says, when it matters
        const auto rows = [](const char *files, std::initializer_list<const char *> kinds, bool reported = true,
                             const char *why = "") {
            for (const char *kind : kinds)
                QTest::addRow("%s %s", files, kind) << QString(files) << QString(kind) << reported << QString(why);
        };
        rows("^jpg/", {"removed", "cut in half", "random bytes", "empty", "folder", "dangling link"});
        rows("^jpg/", {"png"}, false); // a picture all the same
        rows("^jpg/[^/]*a[^/]*$", {"removed"}); // some pictures, not all
        rows("^(voci|suoni)/", {"removed", "cut in the header", "float samples", "random bytes", "empty", "folder",
                                "dangling link"});
        rows("^testi/a.txt$", {"removed", "empty", "folder", "dangling link", "one 10 MB line", "10000 lines"});
        rows("^testi/a.txt$", {"utf-16 without mark"}, false);
        rows("^testi/", {"removed", "empty"}); // no word at all: back to the menu
        // Neither a pipe nor a device is ever read: each would hold the window for good.
        for (const char *files : {"^jpg/", "^(voci|suoni)/", "^testi/a.txt$"}) {
            rows(files, {"fifo"}, true, "è un file speciale del sistema, non un file normale");
            rows(files, {"/dev/zero"}, true, "è un dispositivo del sistema, non un file normale");
        }
        rows("^jpg/[AEIOU].jpg$", {"sparse 2 GB"}, true, "troppo grande: 2,0 GB");
        rows("^jpg/", {"png with a bad chunk"}, true, "immagine danneggiata o incompleta");
        // Qt's reader would open what it names: refused before it is read.
        rows("^jpg/", {"drawing naming a file"}, true, "è un disegno SVG che rimanda a un altro file");
        // Nor through a drawing written into the drawing: that one would go unchecked.
        rows("^jpg/", {"drawing in a drawing naming a pipe"}, true,
             "è un disegno SVG con dentro un'immagine (data:image/svg+xml;base64) che non è PNG né JPEG");
    }

    void everyWindowGoesOn()
    {
        QFETCH(QString, files);
        QFETCH(QString, kind);
        QFETCH(bool, reported);
        QFETCH(QString, why);
        QTemporaryDir dir;
        for (const char *sub : {"jpg", "voci", "suoni", "testi"})
            QCOMPARE(QProcess::execute("cp", {"-R", QCoreApplication::applicationDirPath() + "/" + sub, dir.path()}), 0);
        QStringList damaged;
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            if (const QString path = it.next(); QRegularExpression(files).match(QDir(dir.path()).relativeFilePath(path)).hasMatch())
                damaged << path;
        QVERIFY(!damaged.isEmpty());
        for (const QString &path : std::as_const(damaged))
            damage(kind, path);

        Harness h(dir.path());
        CountingOutput output;
        SoundRouter router(output, [&h](const QString &path, const QString &reason) { h.log.missingFile(path, reason); });
        h.sound.onPlay = [&router](const QString &path) { router.play(path); };
        std::mt19937 g(7);
        bool placeholders = false;
        int answers = 0;
        for (const ExerciseWindowRow &row : kExerciseWindows) {
            Form *form = h.windows->form(row.id);
            failIfFrozen([form] { form->Show(); }, row.name());
            for (int step = 0; step < 12 && form->isLoaded(); ++step) {
                placeholders |=
                    std::ranges::any_of(form->window()->findChildren<PictureBox *>(), &PictureBox::showsPlaceholder);
                const QList<QWidget *> controls = clickable(form->window());
                if (step % 4 == 3 || controls.isEmpty())
                    tick(h, form, 2.5);
                else
                    failIfFrozen([&] { clickAsUser(pick(g, controls)); }, row.name());
            }
            answers = std::max(answers, h.modulo->EserciziEseguiti + h.modulo->EserciziErrati);
            if (form->isLoaded())
                form->Unload();
            else // no word at all: the adult is told, the child is back at the menu
                QVERIFY2(h.windows->form(FormId::Menu)->isLoaded() && h.boxes.shown.size() == 1, row.name());
        }
        QVERIFY(answers > 0);

        // Said once, and only about the damaged files.
        QCOMPARE(QSet<QString>(h.problems.begin(), h.problems.end()).size(), h.problems.size());
        for (const QString &line : std::as_const(h.problems))
            QVERIFY2(std::any_of(damaged.begin(), damaged.end(), [&](const QString &p) { return line.contains(p); })
                         && line.contains(why),
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

    // A phone's 50-megapixel photo as every face: shown, at the box's size,
    // while the program holds less than 150 MB.
    void aPhonePhotoIsShown()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("jpg"));
        {
            QImage photo(8160, 6144, QImage::Format_RGB888);
            photo.fill(QColor(220, 20, 20));
            QPainter(&photo).fillRect(4080, 0, 4080, 6144, QColor(20, 20, 220));
            QVERIFY(photo.save(dir.filePath("jpg/A.jpg"), "JPEG", 90));
        }
        for (const char *face : {"E", "I", "O", "U"})
            QVERIFY(QFile::link(dir.filePath("jpg/A.jpg"), dir.filePath(QString("jpg/%1.jpg").arg(face))));
        const double before = proc::resetPeakMb();
        Harness h(dir.path());
        Form *form = h.windows->form(FormId::Posizioni1);
        failIfFrozen([form] { form->Show(); }, "FormPosizioni1");
        auto *box = form->window()->findChild<PictureBox *>("Image1");
        QVERIFY(box && !box->showsPlaceholder());
        const QImage shown = box->grab().toImage();
        QCOMPARE(shown.size(), QSize(420, 402)); // 5775 × 5535 twips on this screen
        QCOMPARE(QColor(shown.pixel(100, 200)).red() / 20, 220 / 20); // left half red, right half blue
        QCOMPARE(QColor(shown.pixel(320, 200)).blue() / 20, 220 / 20);
        QVERIFY(h.problems.isEmpty());

        const double peak = proc::statusMb("VmHWM");
        // Decoded whole, the photo alone would take 200 MB.
        QVERIFY2(peak - before < 50, qPrintable(QString("%1 MB, %2 before").arg(peak).arg(before)));
#ifndef __SANITIZE_ADDRESS__ // whose shadow and quarantine are resident too
        QVERIFY2(peak < 150, qPrintable(QString("%1 MB").arg(peak)));
#endif
    }
};

QTEST_MAIN(MediaFaultsTest)
#include "test_media_faults.moc"
