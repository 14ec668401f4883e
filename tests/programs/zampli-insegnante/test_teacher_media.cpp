// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's pictures and voices on real files: pictures dropped on a
// word come out as JPEGs of the boxes' proportions, upright and on white;
// sounds of any kind come out as the program's own WAV; and a recording from
// a private PulseAudio whose microphone plays a known tone is trimmed and
// levelled. Hostile files are refused in Italian: sound headers that lie,
// pictures cut short, drawings that name other files.
#include "CheckRows.h"
#include "FakeServices.h"
#include "ProcMemory.h"
#include "SoundFiles.h"
#include "imports/VoiceImport.h"
#include "pictures-voices/MediaActions.h"
#include "tabs/check/CheckTab.h"
#include "tabs/words/WordsTab.h"

#include <QtTest>
#include <QtWidgets>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zampli;
using namespace zampli::teacher;
using namespace zampli::test;

namespace {

// A JPEG with an EXIF block whose orientation is `orientation` (6: the camera
// was turned a quarter clockwise), put right after the start marker.
QByteArray jpegWithOrientation(const QImage &image, quint16 orientation)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    QByteArray tiff("MM\0\x2A\0\0\0\x08", 8); // big-endian, first directory at 8
    tiff += QByteArray("\0\x01", 2);           // one entry
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8) + char(orientation >> 8) + char(orientation & 0xFF) + QByteArray(2, 0);
    tiff += QByteArray(4, 0); // no next directory
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    const quint16 length = quint16(exif.size() + 2);
    return jpeg.left(2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + exif + jpeg.mid(2);
}

struct Voice {
    QByteArray header; // the first 36 bytes: RIFF, WAVE, fmt
    std::vector<double> samples;
};

Voice readVoice(const QString &path)
{
    const QByteArray bytes = readAll(path);
    Voice v{bytes.left(36), {}};
    const qsizetype data = bytes.indexOf("data");
    for (qsizetype i = data + 8; data >= 0 && i + 1 < bytes.size(); i += 2)
        v.samples.push_back(qint16(quint16(uchar(bytes[i])) | quint16(uchar(bytes[i + 1])) << 8) / 32768.0);
    return v;
}

double rmsDbOf(const std::vector<double> &s)
{
    double sum = 0;
    for (const double x : s)
        sum += x * x;
    return 10 * std::log10(sum / double(s.size()));
}

// Where the sound starts: the first 5 ms whose RMS passes -40 dBFS, in ms.
double onsetMs(const std::vector<double> &s)
{
    const size_t window = 22050 / 200;
    for (size_t start = 0; start + window <= s.size(); start += window) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i)
            sum += s[i] * s[i];
        if (10 * std::log10(sum / double(window)) > -40)
            return 1000.0 * double(start) / 22050;
    }
    return -1;
}

// "RIFF", any length, "WAVE", a plain PCM fmt chunk: mono, 22050 Hz, 16 bits.
const QByteArray kVoiceFormat = QByteArray::fromHex("10000000" "0100" "0100" "22560000" "44ac0000" "0200" "1000");

// Virtual memory of this process, in MB.
double vmSizeMb()
{
    const double mb = proc::statusMb("VmSize");
    if (mb <= 0)
        qFatal("no VmSize in /proc/self/status");
    return mb;
}

struct ChildImport {
    bool ended = false; // on its own, not killed by a failed allocation
    QString said;       // the error, or "pronta"
};

// importVoice in a child process that may take only `headroomMb` more
// address space than this one has: room made for what a header claims ends
// it with std::bad_alloc instead of passing unseen.
ChildImport importWithHeadroom(const QString &file, double headroomMb)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        qFatal("no pipe");
    [[maybe_unused]] const auto cap = rlim_t((vmSizeMb() + headroomMb) * 1024 * 1024);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
#ifndef __SANITIZE_ADDRESS__ // whose shadow memory alone passes any such cap
        const rlimit limit{cap, cap};
        ::setrlimit(RLIMIT_AS, &limit);
#endif
        // Nothing may leave the child but through _exit: an exception would
        // run the rest of the tests in it.
        try {
            const ImportedVoice voice = importVoice(file);
            const QByteArray said = (voice.samples.empty() ? voice.error : QStringLiteral("pronta")).toUtf8();
            ::_exit(::write(pipeFds[1], said.constData(), size_t(said.size())) == said.size() ? 0 : 1);
        } catch (...) {
            ::_exit(2);
        }
    }
    ::close(pipeFds[1]);
    QByteArray said;
    char chunk[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], chunk, sizeof chunk)) > 0;)
        said.append(chunk, n);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0, QString::fromUtf8(said)};
}

// How often a file is opened or read while watched, as the kernel tells.
class OpenWatch {
public:
    explicit OpenWatch(const QString &path) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (fd_ < 0 || ::inotify_add_watch(fd_, QFile::encodeName(path).constData(), IN_OPEN | IN_ACCESS) < 0)
            qFatal("cannot watch %s", qPrintable(path));
    }
    ~OpenWatch() { ::close(fd_); }
    OpenWatch(const OpenWatch &) = delete;
    OpenWatch &operator=(const OpenWatch &) = delete;

    int events() const
    {
        alignas(inotify_event) char buffer[4096];
        int count = 0;
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;)
            for (ssize_t at = 0; at < n; at += ssize_t(sizeof(inotify_event)) + reinterpret_cast<inotify_event *>(buffer + at)->len)
                ++count;
        return count;
    }

private:
    int fd_;
};

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

// A picture whose coded data fills the file: no two neighbours alike.
QImage busyPicture()
{
    QImage image(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * y * 7) % 256, (x * 13 + y) % 256, (y * 5 + x * x) % 256));
    return image;
}

// A PNG whose first IDAT chunk fails its CRC.
QByteArray pngWithBadChunk()
{
    QByteArray png = encoded(busyPicture(), "PNG");
    const qsizetype idat = png.indexOf("IDAT");
    const quint32 length = qFromBigEndian<quint32>(png.constData() + idat - 4);
    png[idat + 4 + qsizetype(length)] = char(png[idat + 4 + qsizetype(length)] ^ 0x01);
    return png;
}

// 300 × 100, its left half see-through, its right half red.
QImage halfRed()
{
    QImage half(300, 100, QImage::Format_ARGB32);
    half.fill(Qt::transparent);
    for (int y = 0; y < 100; ++y)
        for (int x = 150; x < 300; ++x)
            half.setPixelColor(x, y, Qt::red);
    return half;
}

const QString kChooseAnother = QStringLiteral(". Scegli un'altra immagine, una foto o un disegno in JPEG, PNG, GIF, BMP o SVG.");

// A copy with one word, "ape": its picture as `picture`, its voice as `voice`.
QString copyWithApe(const QString &folder, const QByteArray &picture, const QByteArray &voice)
{
    QDir().mkpath(folder + "/testi"), QDir().mkpath(folder + "/jpg"), QDir().mkpath(folder + "/voci");
    writeFile(folder + "/testi/a.txt", "ape\r\n");
    writeFile(folder + "/jpg/ape.jpg", picture);
    writeFile(folder + "/voci/ape.wav", voice);
    return folder;
}

// Controllo on `folder`, shown `width` wide and checked once.
struct ShownCheck : FakeServices {
    CheckTab tab;

    ShownCheck(const QString &folder, int width) : tab(services, folder)
    {
        tab.resize(width, 600);
        tab.show();
        if (!QTest::qWaitForWindowExposed(&tab))
            qFatal("Controllo is not shown");
        tab.runCheck();
    }
};

// The teacher's choice of file, answered here; what was asked for is kept.
struct ChosenFiles {
    QString file;
    QList<Fix> asked;
    CheckTab::FileChooser chooser()
    {
        return [this](QWidget *, Fix fix) { return asked << fix, file; };
    }
};

} // namespace

// Keeps each picture shown before it is saved, and answers as told.
struct AnsweringPreview : PicturePreview {
    bool answer = true;
    QList<QImage> shown;
    bool use(QWidget *, const QImage &picture, const QString &) override
    {
        shown << picture;
        return answer;
    }
};

class TeacherMediaTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    AnsweringPreview preview_;

    void drop(WordsTab &tab, int row, const QString &file)
    {
        auto *view = tab.findChild<QTableView *>("elenco");
        const QPoint at = view->visualRect(view->model()->index(row, 1)).center();
        auto *mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &dropped);
        delete mime;
    }

private slots:
    void initTestCase() { setPicturePreview(&preview_); }
    void cleanupTestCase() { setPicturePreview(nullptr); }

    // A PNG named .jpg, its left half see-through: shown as the child will
    // see it, on white in the box's proportions, and not saved when refused.
    void aPictureIsShownBeforeItIsSaved()
    {
        const QString file = dir_.filePath("finta.jpg");
        QVERIFY(halfRed().save(file, "PNG"));
        const QString target = dir_.filePath("anteprima/jpg/ape.jpg");
        QWidget parent;
        preview_.shown.clear();
        preview_.answer = false;
        QCOMPARE(putPicture(&parent, file, target),
                 QStringLiteral("L'immagine ape.jpg non è cambiata: scegline un'altra quando vuoi."));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(preview_.shown.size(), 1);
        const QImage shown = preview_.shown.first();
        QCOMPARE(shown.size(), QSize(805, 725));
        QCOMPARE(shown.pixelColor(200, 362), QColor(Qt::white));
        QCOMPARE(shown.pixelColor(600, 362), QColor(Qt::red));
        preview_.answer = true; // the other tests take every picture they choose
    }

    // Each picture is dropped on "ape"; the JPEG made is 805 × 725 (2415 × 2175
    // twips' proportions) with the picture fitted inside on white.
    void picturesDroppedBecomeBoxShapedJpegs_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<QPoint>>("points");
        QTest::addColumn<QList<QColor>>("colors");
        halfRed().save(dir_.filePath("largo.png"));
        // 805 wide, 268 high in the middle: white bands above and below.
        QTest::newRow("PNG") << dir_.filePath("largo.png") << QList<QPoint>{{200, 362}, {600, 362}, {402, 40}, {402, 690}}
                             << QList<QColor>{Qt::white, Qt::red, Qt::white, Qt::white};
        QImage lying(400, 200, QImage::Format_RGB32); // red left half, blue right half
        lying.fill(Qt::red);
        for (int y = 0; y < 200; ++y)
            for (int x = 200; x < 400; ++x)
                lying.setPixelColor(x, y, Qt::blue);
        writeFile(dir_.filePath("foto.jpg"), jpegWithOrientation(lying, 6));
        // Turned upright: 362 wide and 725 high, red on top, blue below, white on both sides.
        QTest::newRow("JPEG turned by EXIF") << dir_.filePath("foto.jpg") << QList<QPoint>{{402, 150}, {402, 580}, {60, 362}, {745, 362}}
                                             << QList<QColor>{Qt::red, Qt::blue, Qt::white, Qt::white};
        writeFile(dir_.filePath("disegno.svg"), "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='200'>"
                                                "<rect width='100' height='200' fill='#00ff00'/></svg>");
        QTest::newRow("SVG") << dir_.filePath("disegno.svg") << QList<QPoint>{{402, 362}, {402, 10}, {60, 362}}
                             << QList<QColor>{QColor(0, 255, 0), QColor(0, 255, 0), Qt::white};
        // What a drawing holds itself is no other file: a part it names by
        // "#id", drawn blue, and a red picture written into it as "data:".
        QImage red(10, 10, QImage::Format_RGB32);
        red.fill(Qt::red);
        writeFile(dir_.filePath("parti.svg"),
                  "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='100' height='100'>"
                  "<defs><rect id='fondo' width='100' height='100' fill='#0000ff'/></defs><use xlink:href='#fondo'/>"
                  "<image width='50' height='100' preserveAspectRatio='none' xlink:href='data:image/png;base64,"
                  + encoded(red, "PNG").toBase64() + "'/></svg>");
        // 725 × 725 in the middle: red left, blue right, white on both sides.
        QTest::newRow("SVG of its own parts") << dir_.filePath("parti.svg") << QList<QPoint>{{200, 362}, {600, 362}, {20, 362}, {785, 362}}
                                              << QList<QColor>{Qt::red, Qt::blue, Qt::white, Qt::white};
    }

    void picturesDroppedBecomeBoxShapedJpegs()
    {
        QFETCH(QString, file);
        QFETCH(QList<QPoint>, points);
        QFETCH(QList<QColor>, colors);
        const QString folder = dir_.filePath("copia");
        QDir().mkpath(folder + "/testi");
        writeFile(folder + "/testi/a.txt", "ape\r\n");
        QFile::remove(folder + "/jpg/ape.jpg");
        FakeServices fake;
        WordsTab tab(fake.services, folder, "a");
        tab.resize(900, 500);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        drop(tab, 0, file);

        QCOMPARE(readAll(folder + "/jpg/ape.jpg").left(3), QByteArray("\xFF\xD8\xFF"));
        const QImage saved(folder + "/jpg/ape.jpg");
        QCOMPARE(saved.size(), QSize(805, 725));
        for (qsizetype i = 0; i < points.size(); ++i) {
            const QColor got = saved.pixelColor(points[i]), want = colors[i];
            const int off = std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) + std::abs(got.blue() - want.blue());
            QVERIFY2(off < 40, qPrintable(QStringLiteral("at %1,%2: %3 instead of %4").arg(points[i].x()).arg(points[i].y())
                                              .arg(got.name(), want.name())));
        }
        QCOMPARE(tab.findChild<QTableView *>("elenco")->model()->index(0, 4).data().toString(), QStringLiteral("manca la voce"));
    }

    void soundsOfAnyKindBecomeTheProgramsWav_data()
    {
        QTest::addColumn<QString>("file");
        const int stereo = 2, rate = 44100;
        QTest::newRow("WAV 24 bit stereo") << writeSound(dir_.filePath("v24.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, rate, stereo);
        QTest::newRow("WAV float stereo") << writeSound(dir_.filePath("vf.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, rate, stereo);
        QTest::newRow("FLAC") << writeSound(dir_.filePath("v.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, rate, stereo);
        QTest::newRow("OGG") << writeSound(dir_.filePath("v.ogg"), SF_FORMAT_OGG | SF_FORMAT_VORBIS, rate, stereo);
    }

    void soundsOfAnyKindBecomeTheProgramsWav()
    {
        QFETCH(QString, file);
        const QString target = dir_.filePath("voci/ape.wav");
        QWidget parent;
        QCOMPARE(putVoice(&parent, file, target), QString());
        const Voice v = readVoice(target);
        QCOMPARE(v.header.mid(0, 4), QByteArray("RIFF"));
        QCOMPARE(v.header.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(v.header.mid(16, 20), kVoiceFormat);
        QVERIFY2(std::abs(rmsDbOf(v.samples) + 16) <= 1, qPrintable(QString::number(rmsDbOf(v.samples))));
        // The tone after a short margin of silence, and its half second with little more than the margins.
        QVERIFY2(onsetMs(v.samples) >= 50 && onsetMs(v.samples) <= 110, qPrintable(QString::number(onsetMs(v.samples))));
        QVERIFY2(std::abs(double(v.samples.size()) / 22050 - 0.66) < 0.05, qPrintable(QString::number(v.samples.size())));
    }

    // Headers no voice has, or that claim far more sound than the file
    // holds, cost no memory: the import runs with 200 MB of address space to
    // spare, where room for what they claim would take 360 to 840 MB.
    void forgedSoundHeadersCostNoMemory_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("said");
        QTest::newRow("FLAC claiming 655.350 Hz, 8 channels, 40 s")
            << forgedFlac(dir_.filePath("finto.flac"), 44100, 2, 655350, 8, 40)
            << QStringLiteral("finto.flac dice di avere 655.350 campioni al secondo, ma una voce registrata ne ha da "
                              "1.000 a 192.000. Forse il file è danneggiato: scegli un altro file o registra la voce "
                              "col microfono.");
        QTest::newRow("WAV claiming 12 channels")
            << forgedWav(dir_.filePath("canali.wav"), 2, 12)
            << QStringLiteral("canali.wav dice di avere 12 canali, ma una voce registrata ne ha da 1 a 8. Forse il file "
                              "è danneggiato: scegli un altro file o registra la voce col microfono.");
        // A rate and channels a recorder may have, and a length under the
        // minute: read for what it holds, a second of it.
        QTest::newRow("FLAC at 192 kHz, 8 channels, claiming 59 s")
            << forgedFlac(dir_.filePath("lungo.flac"), 192000, 8, 192000, 8, 59) << QStringLiteral("pronta");
    }

    void forgedSoundHeadersCostNoMemory()
    {
        QFETCH(QString, file);
        QFETCH(QString, said);
        const ChildImport import = importWithHeadroom(file, 200);
        QVERIFY2(import.ended, "the import ran out of memory");
        QCOMPARE(import.said, said);
    }

    // Qt's reader would accept the JPEG, its missing half grey, and say of
    // the PNGs "Unable to read image data": the teacher reads why, in Italian.
    void damagedPicturesAreRefusedInItalian_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("said");
        const QByteArray jpeg = encoded(busyPicture(), "JPEG"), png = encoded(busyPicture(), "PNG");
        writeFile(dir_.filePath("mezza.jpg"), jpeg.left(jpeg.size() / 2));
        QTest::newRow("JPEG cut in half") << dir_.filePath("mezza.jpg")
                                          << "mezza.jpg non si può usare: immagine JPEG incompleta: il file è tagliato" + kChooseAnother;
        writeFile(dir_.filePath("mezza.png"), png.left(png.size() / 2));
        QTest::newRow("PNG cut in half") << dir_.filePath("mezza.png")
                                         << "mezza.png non si può usare: immagine danneggiata o incompleta" + kChooseAnother;
        writeFile(dir_.filePath("guasta.png"), pngWithBadChunk());
        QTest::newRow("PNG with a bad chunk") << dir_.filePath("guasta.png")
                                              << "guasta.png non si può usare: immagine danneggiata o incompleta" + kChooseAnother;
        writeFile(dir_.filePath("lista.png"), "ape\r\nuva\r\n");
        QTest::newRow("a word list") << dir_.filePath("lista.png") << "lista.png non si può usare: non è un'immagine" + kChooseAnother;
    }

    void damagedPicturesAreRefusedInItalian()
    {
        QFETCH(QString, file);
        QFETCH(QString, said);
        const QString target = dir_.filePath("danni/jpg/ape.jpg");
        QWidget parent;
        QCOMPARE(putPicture(&parent, file, target), said);
        QVERIFY(!QFile::exists(target));
    }

    // Qt's SVG reader opens what an <image> or a style sheet names: a drawing
    // could show the teacher's own files to whoever gets the copy. Each way
    // of naming a file is refused before the named file is so much as opened.
    void drawingsNamingOtherFilesAreRefusedUnread_data()
    {
        QTest::addColumn<QString>("drawing"); // %1: the file named
        QTest::addColumn<QString>("why");
        const QString svg = QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                                           "width='100' height='100'>%1<rect width='100' height='100' fill='#00ff00'/></svg>");
        const QString elsewhere = QStringLiteral("è un disegno SVG che rimanda a un altro file («%1»), che il programma non legge");
        QTest::newRow("image xlink:href") << svg.arg("<image width='100' height='100' xlink:href='%1'/>") << elsewhere;
        QTest::newRow("image href") << svg.arg("<image width='100' height='100' href='%1'/>") << elsewhere;
        QTest::newRow("image by a relative name") << svg.arg("<image width='100' height='100' xlink:href='vicina.png'/>")
                                                  << elsewhere.arg("vicina.png");
        QTest::newRow("style sheet") << "<?xml-stylesheet type='text/css' href='%1'?>" + svg.arg("")
                                     << QStringLiteral("è un disegno SVG con un'istruzione («<?xml-stylesheet?>») che può "
                                                       "rimandare ad altri file");
        QTest::newRow("@import") << svg.arg("<style>@import url(%1);</style>")
                                 << QStringLiteral("è un disegno SVG con uno stile che rimanda ad altri file (@import)");
        const QString dtd = QStringLiteral("è un disegno SVG con una DTD o delle entità, che possono rimandare ad altri file");
        QTest::newRow("external entity") << "<!DOCTYPE svg [<!ENTITY e SYSTEM '%1'>]>" + svg.arg("<text>&e;</text>") << dtd;
        QTest::newRow("external DTD") << "<!DOCTYPE svg SYSTEM '%1'>" + svg.arg("") << dtd;
        QTest::newRow("XInclude") << svg.arg("<xi:include xmlns:xi='http://www.w3.org/2001/XInclude' href='%1'/>")
                                  << QStringLiteral("è un disegno SVG che include altri file (XInclude), che il programma non legge");
    }

    void drawingsNamingOtherFilesAreRefusedUnread()
    {
        QFETCH(QString, drawing);
        QFETCH(QString, why);
        QTemporaryDir folder;
        const QString secret = folder.filePath("vicina.png");
        writeFile(secret, encoded(busyPicture(), "PNG"));
        writeFile(folder.filePath("disegno.svg"), drawing.arg(secret).toUtf8());
        const QString target = folder.filePath("copia/jpg/ape.jpg");
        const OpenWatch watch(secret);
        QWidget parent;
        const QString said = putPicture(&parent, folder.filePath("disegno.svg"), target);
        QCOMPARE(watch.events(), 0);
        QCOMPARE(said, "disegno.svg non si può usare: " + (why.contains("%1") ? why.arg(secret) : why) + kChooseAnother);
        QVERIFY(!QFile::exists(target));
    }

    // In a narrow window a long finding is wrapped onto more lines, never
    // cut. A damaged picture's fix imports another; an empty voice file can
    // be recorded (as the recording's test does) or taken from another sound,
    // not converted. More files missing than zampli-verifica prints of a
    // kind: each still has its row and its fix.
    void controlloWrapsAndOffersEachFix()
    {
        const QString folder = copyWithApe(dir_.filePath("rotta"), encoded(busyPicture(), "JPEG").left(200), {});
        ShownCheck shown(folder, 480);
        CheckTab &tab = shown.tab;
        QTRY_VERIFY(checkRow(tab, "jpg/ape.jpg").what); // rows show once the layout has run
        const CheckRow row = checkRow(tab, "jpg/ape.jpg");
        // Longer than the room the row gives it on one line.
        QTRY_VERIFY(row.what->fontMetrics().horizontalAdvance(row.what->text()) > row.what->width());
        QTRY_VERIFY(row.what->height() >= row.what->heightForWidth(row.what->width()));
        const QWidget *view = tab.findChild<QWidget *>("problemi")->parentWidget();
        QVERIFY(row.what->mapTo(view, QPoint(row.what->width(), 0)).x() <= view->width());
        QVERIFY(row.what->height() >= 2 * row.what->fontMetrics().lineSpacing()); // on more than one line
        const QStringList voiceFixes{QStringLiteral("Registra la voce…"), QStringLiteral("Importa una voce…")};
        QCOMPARE(checkRow(tab, "voci/U.wav").fixes, voiceFixes);
        QCOMPARE(checkRow(tab, "voci/ape.wav").fixes, voiceFixes);
        QCOMPARE(checkRow(tab, "jpg/U4.jpg").fixes, QStringList{QStringLiteral("Importa un'immagine…")});
        // 25 letter pictures and faces, 5 vowels' voices, 4 praises, the error
        // sound, 4 lists, the damaged picture and the empty voice.
        QCOMPARE(tab.findChildren<QLabel *>("file").size(), 25 + 5 + 4 + 1 + 4 + 2);

        QCOMPARE(row.fixes, QStringList{QStringLiteral("Importa un'immagine…")});
        QImage green(40, 30, QImage::Format_RGB32);
        green.fill(Qt::green);
        green.save(dir_.filePath("verde.png"));
        ChosenFiles chosen{dir_.filePath("verde.png"), {}};
        tab.setFileChooser(chosen.chooser());
        QVERIFY(reachable(row.buttons[0]));
        QTest::mouseClick(row.buttons[0], Qt::LeftButton);
        QCOMPARE(chosen.asked, QList<Fix>{Fix::ImportPicture});
        QCOMPARE(QImage(folder + "/jpg/ape.jpg").size(), QSize(805, 725));
        QTRY_VERIFY(!checkRow(tab, "jpg/ape.jpg").what);

        chosen = {writeSound(dir_.filePath("altra.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2), {}};
        QTRY_VERIFY(checkRow(tab, "voci/ape.wav").what); // the rows shown again after the fix
        const CheckRow voice = checkRow(tab, "voci/ape.wav");
        QVERIFY(reachable(voice.buttons[1]));
        QTest::mouseClick(voice.buttons[1], Qt::LeftButton);
        QCOMPARE(chosen.asked, QList<Fix>{Fix::ImportVoice});
        QCOMPARE(readAll(folder + "/voci/ape.wav").left(4), QByteArray("RIFF"));
        QTRY_VERIFY(!checkRow(tab, "voci/ape.wav").what);
    }
};

QTEST_MAIN(TeacherMediaTest)
#include "test_teacher_media.moc"
