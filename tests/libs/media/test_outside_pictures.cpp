// SPDX-License-Identifier: GPL-3.0-or-later
// Drawings from strangers, read by the decoder the child's program and
// zampli-verifica share: what a drawing holds written in ("data:") is a PNG
// or JPEG photo within a picture's limits, or the drawing is refused; a
// drawing never gets a file opened, least of all a pipe or a descriptor.

#include "media/PictureFile.h"

#include <QtTest>

#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace zampli;

namespace {

constexpr char kOpen[] = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                         "width='40' height='30'>";

QByteArray drawingWith(const QByteArray &href)
{
    return kOpen + ("<image width='40' height='30' xlink:href='" + href + "'/></svg>");
}

// A drawing holding `bytes` written in as `type`.
QByteArray holding(const char *type, const QByteArray &bytes)
{
    return drawingWith(QByteArray("data:") + type + ";base64," + bytes.toBase64());
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

// `drawing`, "PIPE" in it naming a pipe beside it, decoded on a thread of its own: a reader that opens the pipe
// waits there for a writer, which the test then becomes, so the failure ends.
DecodedPicture decodeDrawing(QByteArray drawing)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath("attesa"), path = dir.filePath("A.jpg");
    QFile file(path);
    if (::mkfifo(QFile::encodeName(pipe).constData(), 0644) != 0 || !file.open(QIODevice::WriteOnly) ||
        file.write(drawing.replace("PIPE", QFile::encodeName(pipe))) != drawing.size())
        return {{}, QStringLiteral("the drawing could not be written")};
    file.close();
    auto decoded = std::async(std::launch::async, [path] { return decodePicture(path, {}); });
    if (decoded.wait_for(std::chrono::seconds(20)) == std::future_status::ready)
        return decoded.get();
    if (const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK); writer >= 0)
        ::close(writer);
    decoded.wait();
    return {{}, QStringLiteral("FROZEN: the reader waited for the pipe")};
}

} // namespace

class OutsidePicturesTest : public QObject {
    Q_OBJECT

private slots:
    void nothingOutsideIsRead_data()
    {
        QTest::addColumn<QByteArray>("drawing"); // "PIPE" stands for a pipe beside the drawing
        QTest::addColumn<QString>("why"); // empty: the drawing is shown
        QTest::newRow("png") << holding("image/png", picture("PNG")) << QString();
        QTest::newRow("jpeg") << holding("image/jpeg", picture("JPEG")) << QString();
        const QString notPhoto = "è un disegno SVG con dentro un'immagine (data:%1) che non è PNG né JPEG";
        QTest::newRow("drawing naming /proc/self/fd/3")
            << holding("image/svg+xml", drawingWith("/proc/self/fd/3")) << notPhoto.arg("image/svg+xml;base64");
        QTest::newRow("drawing naming a pipe")
            << holding("image/svg+xml", drawingWith("PIPE")) << notPhoto.arg("image/svg+xml;base64");
        QTest::newRow("drawing naming nothing") << holding("image/svg+xml", drawingWith("#me"))
                                                << notPhoto.arg("image/svg+xml;base64");
        QTest::newRow("drawing as text") << drawingWith("data:image/svg+xml,%3Csvg/%3E") << notPhoto.arg("image/svg+xml");
        QTest::newRow("gif") << holding("image/gif", picture("GIF")) << notPhoto.arg("image/gif;base64");
        QTest::newRow("broken base64") << drawingWith("data:image/png;base64,iVBOR*w0KGgo=")
                                       << "è un disegno SVG con dentro un'immagine (data:image/png;base64) scritta "
                                          "male (base64 non valido)";
        QTest::newRow("png of absurd size") << holding("image/png", hugePng())
                                            << "è un disegno SVG con dentro un'immagine (data:image/png;base64) "
                                               "rifiutata: dice di misurare 100.000 × 100.000 pixel, più di quanto "
                                               "un'immagine possa essere: è danneggiata";
        QTest::newRow("garbage said to be png") << holding("image/png", "not a picture at all")
                                                << "è un disegno SVG con dentro un'immagine (data:image/png;base64) "
                                                   "rifiutata: non è un'immagine PNG o JPEG";
        // A style names files as well as an href does.
        const QByteArray open = kOpen;
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

    void nothingOutsideIsRead()
    {
        QFETCH(QByteArray, drawing);
        QFETCH(QString, why);
        const DecodedPicture decoded = decodeDrawing(drawing);
        if (why.isEmpty()) {
            QCOMPARE(decoded.why, QString());
            QCOMPARE(decoded.image.size(), QSize(40, 30));
        } else {
            QVERIFY2(decoded.why.startsWith(why), qPrintable(decoded.why));
            QVERIFY(decoded.image.isNull());
        }
    }
};

QTEST_MAIN(OutsidePicturesTest)
#include "test_outside_pictures.moc"
