// SPDX-License-Identifier: GPL-3.0-or-later
// Drawings from strangers, read by the decoder the child's program and
// zampli-verifica share: what a drawing holds written in ("data:") is a PNG
// or JPEG photo within a picture's limits, or the drawing is refused; a
// drawing never gets a file opened, least of all a pipe or a descriptor.

#include "media/PictureFile.h"

#include <QtTest>

#include <condition_variable>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace zampli;

namespace {

QByteArray drawingWith(const QByteArray &href)
{
    return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
           "width='40' height='30'>"
           "<image width='40' height='30' xlink:href='" + href + "'/></svg>";
}

QByteArray encoded(const char *type, const QByteArray &bytes)
{
    return QByteArray("data:") + type + ";base64," + bytes.toBase64();
}

QByteArray picture(const char *format)
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A PNG whose header claims 100.000 × 100.000 pixels.
QByteArray hugePng()
{
    QByteArray png = picture("PNG");
    qToBigEndian<quint32>(100000, png.data() + 16);
    qToBigEndian<quint32>(100000, png.data() + 20);
    return png;
}

// decodePicture() on a thread of its own: a reader that opens a pipe waits
// there for a writer, which the test then becomes, so the failure ends.
DecodedPicture decodeOrUnblock(const QString &path, const QString &pipe)
{
    std::mutex mutex;
    std::condition_variable over;
    std::optional<DecodedPicture> decoded;
    std::thread reader([&] {
        DecodedPicture d = decodePicture(path, {});
        std::lock_guard lock(mutex);
        decoded = std::move(d);
        over.notify_one();
    });
    std::unique_lock lock(mutex);
    const bool ended = over.wait_for(lock, std::chrono::seconds(20), [&] { return decoded.has_value(); });
    lock.unlock();
    if (!ended && !pipe.isEmpty()) {
        const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    reader.join();
    if (!ended)
        return {{}, QStringLiteral("FROZEN: the reader waited for the pipe")};
    return *decoded;
}

} // namespace

class OutsidePicturesTest : public QObject {
    Q_OBJECT

private slots:
    void writtenInPictures_data()
    {
        QTest::addColumn<QByteArray>("href"); // "PIPE" stands for a pipe beside the drawing
        QTest::addColumn<QString>("why"); // empty: the drawing is shown
        QTest::newRow("png") << encoded("image/png", picture("PNG")) << QString();
        QTest::newRow("jpeg") << encoded("image/jpeg", picture("JPEG")) << QString();
        const QString notPhoto = "è un disegno SVG con dentro un'immagine (data:%1) che non è PNG né JPEG";
        QTest::newRow("drawing naming /proc/self/fd/3")
            << encoded("image/svg+xml", drawingWith("/proc/self/fd/3")) << notPhoto.arg("image/svg+xml;base64");
        QTest::newRow("drawing naming a pipe")
            << encoded("image/svg+xml", drawingWith("PIPE")) << notPhoto.arg("image/svg+xml;base64");
        QTest::newRow("drawing naming nothing") << encoded("image/svg+xml", drawingWith("#me"))
                                                << notPhoto.arg("image/svg+xml;base64");
        QTest::newRow("drawing as text") << QByteArray("data:image/svg+xml,%3Csvg/%3E") << notPhoto.arg("image/svg+xml");
        QTest::newRow("gif") << encoded("image/gif", picture("GIF")) << notPhoto.arg("image/gif;base64");
        QTest::newRow("broken base64") << QByteArray("data:image/png;base64,iVBOR*w0KGgo=")
                                       << "è un disegno SVG con dentro un'immagine (data:image/png;base64) scritta "
                                          "male (base64 non valido)";
        QTest::newRow("png of absurd size") << encoded("image/png", hugePng())
                                            << "è un disegno SVG con dentro un'immagine (data:image/png;base64) "
                                               "rifiutata: dice di misurare 100.000 × 100.000 pixel, più di quanto "
                                               "un'immagine possa essere: è danneggiata";
        QTest::newRow("garbage said to be png") << encoded("image/png", "not a picture at all")
                                                << "è un disegno SVG con dentro un'immagine (data:image/png;base64) "
                                                   "rifiutata: non è un'immagine PNG o JPEG";
    }

    void writtenInPictures()
    {
        QFETCH(QByteArray, href);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString pipe = dir.filePath("attesa");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
        const QString path = dir.filePath("A.jpg");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(drawingWith(href.replace("PIPE", QFile::encodeName(pipe))));
        file.close();

        const DecodedPicture decoded = decodeOrUnblock(path, pipe);
        if (why.isEmpty()) {
            QCOMPARE(decoded.why, QString());
            QCOMPARE(decoded.image.size(), QSize(40, 30));
        } else {
            QVERIFY2(decoded.why.startsWith(why), qPrintable(decoded.why));
            QVERIFY(decoded.image.isNull());
        }
    }

    // A style names files as well as an href does.
    void stylesNameNothingOutside_data()
    {
        QTest::addColumn<QByteArray>("drawing");
        QTest::addColumn<QString>("why");
        const QByteArray open = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                                "width='10' height='10'>";
        QTest::newRow("fill from a file") << open + "<rect width='10' height='10' fill='url(/etc/passwd#x)'/></svg>"
                                          << "è un disegno SVG che rimanda a un altro file («/etc/passwd#x»)";
        QTest::newRow("style sheet url") << open + "<style>rect { fill: url('http://example.org/a.svg#g') }</style>"
                                                   "<rect width='10' height='10'/></svg>"
                                         << "è un disegno SVG che rimanda a un altro file («http://example.org/a.svg#g»)";
        QTest::newRow("style attribute") << open + "<rect width='10' height='10' style='fill:url(\"PIPE\")'/></svg>"
                                         << "è un disegno SVG che rimanda a un altro file";
        QTest::newRow("own gradient") << open + "<linearGradient id='g'/><rect width='10' height='10' "
                                                "fill='url(#g)'/></svg>"
                                      << QString();
    }

    void stylesNameNothingOutside()
    {
        QFETCH(QByteArray, drawing);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString pipe = dir.filePath("attesa");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
        QFile file(dir.filePath("A.jpg"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(drawing.replace("PIPE", QFile::encodeName(pipe)));
        file.close();
        const DecodedPicture decoded = decodeOrUnblock(file.fileName(), pipe);
        QVERIFY2(why.isEmpty() ? decoded.why.isEmpty() : decoded.why.startsWith(why), qPrintable(decoded.why));
        QCOMPARE(decoded.image.isNull(), !why.isEmpty());
    }
};

QTEST_MAIN(OutsidePicturesTest)
#include "test_outside_pictures.moc"
