// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/Fakes.h"

#include "media/FileNames.h"
#include "shell/Controls.h"
#include "shell/Twips.h"

#include <QtTest>
#include <cstdio>

using namespace zampli;
using namespace zampli::test;

class SharedModuleTest : public QObject {
    Q_OBJECT

private slots:
    void filesCopiedFromWindowsAreFoundWhateverTheirCase()
    {
        Harness h;
        const QString f = h.folder.path();
        QDir(f).mkpath("JPG");
        QDir(f).mkpath("testi");
        h.writePicture(f + "/JPG/APE.JPG");
        h.writePicture(f + "/JPG/a1.jpg");
        for (const char *twin : {"/testi/a.txt", "/testi/A.TXT"})
            QFile(f + twin).open(QIODevice::WriteOnly);

        QCOMPARE(existingFile(f + "/jpg/ape.jpg"), f + "/JPG/APE.JPG");
        QCOMPARE(existingFile(f + "/JPG/a1.jpg"), f + "/JPG/a1.jpg"); // the exact name first
        QCOMPARE(existingFile(f + "/jpg/A1.jpg"), f + "/JPG/a1.jpg");
        // Two files that differ in case only: neither is guessed.
        QCOMPARE(existingFile(f + "/testi/a.Txt"), f + "/testi/a.Txt");
        QCOMPARE(existingFile(f + "/jpg/nave.jpg"), f + "/jpg/nave.jpg");
        QCOMPARE(existingFile(f + "/suoni/no.wav"), f + "/suoni/no.wav");

        // The program's own picture path finds the picture a teacher copied.
        QVERIFY(h.modulo->pictures.load(h.media().wordPicture("ape")).has_value());
        QVERIFY(h.problems.isEmpty());
    }

    void praisePicksEachOfTheFourFiles()
    {
        Harness h;
        h.random.script({0.0, 0.26, 0.5, 0.99});
        for (int i = 0; i < 4; ++i)
            h.modulo->SuonoGiusto();
        const QString s = h.folder.path() + "/suoni/";
        QCOMPARE(h.sound.played,
                 QStringList({s + "si1.wav", s + "si2.wav", s + "si3.wav", s + "si4.wav"}));
        h.modulo->SuonoSbagliato();
        QCOMPARE(h.sound.played.last(), s + "no.wav");
    }

    void missingPictureShowsADrawnPlaceholderUntilThePictureComes()
    {
        // Which files are reported, and once, the media-fault table checks for every window.
        Harness h;
        const QString missing = h.media().letterPicture("A", 1);
        PictureBox box;
        box.resize(100, 100);
        box.setPicture(h.modulo->pictures.load(missing), "A");
        QVERIFY(box.showsPlaceholder());
        // The letter, dark on a light ground.
        const QImage shot = box.grab().toImage();
        QVERIFY(QColor(shot.pixel(50, 5)).lightness() > 200);
        bool dark = false;
        for (int y = 0; y < 100 && !dark; ++y)
            for (int x = 10; x < 90 && !dark; ++x)
                dark = QColor(shot.pixel(x, y)).lightness() < 100;
        QVERIFY(dark);

        h.writePicture(missing);
        box.setPicture(h.modulo->pictures.load(missing), "A");
        QVERIFY(!box.showsPlaceholder());
        QCOMPARE(box.picture().size(), QSize(40, 30));
    }

    void pictureDecodedOnceAtItsSizeUntilTheFileOrTheSizeChanges()
    {
        Harness h;
        PictureLoader &pictures = h.modulo->pictures;
        const QString a = h.media().letterPicture("A", 1);
        h.writePicture(a, Qt::red);
        PictureBox box, twin;
        for (PictureBox *b : {&box, &twin}) {
            b->resize(80, 60);
            b->show();
            b->load(pictures, {a, "A"});
        }
        QCOMPARE(box.picture().size(), QSize(80, 60));
        QCOMPARE(twin.picture().cacheKey(), box.picture().cacheKey()); // one decoding for both

        // A file replaced on disk, as a copy over it does, is read anew.
        QImage blue(50, 50, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(a + ".new", "JPG"));
        QVERIFY(QFile::remove(a) && QFile::rename(a + ".new", a));
        twin.load(pictures, {a, "A"});
        QVERIFY(twin.picture().pixelColor(40, 30).blue() > 200);

        box.resize(120, 90);
        QCOMPARE(box.picture().size(), QSize(120, 90));
        QVERIFY(box.picture().pixelColor(60, 45).blue() > 200); // the file as it is now

        // Nothing stays decoded that no box shows.
        QCOMPARE(pictures.decodedPictures(), 3);
        twin.clear();
        QTRY_COMPARE(pictures.decodedPictures(), 1);
    }

    // A large picture is shown from a small copy made ahead: a copy made
    // before the file was replaced must never stand in for the new file.
    void smallCopyOfALargePictureGoesWithItsFile()
    {
        Harness h;
        PictureLoader &pictures = h.modulo->pictures;
        const QString a = h.media().letterPicture("A", 1);
        QVERIFY(QDir().mkpath(QFileInfo(a).path()));
        // Replaced as a copy over it does: a new file renamed into place.
        const auto writeLarge = [&](const QColor &colour) {
            QImage large(1600, 1200, QImage::Format_RGB32);
            large.fill(colour);
            return large.save(a + ".new", "JPG")
                && std::rename(QFile::encodeName(a + ".new").constData(), QFile::encodeName(a).constData()) == 0;
        };
        QVERIFY(writeLarge(Qt::red));
        pictures.prepare({a});
        QTRY_COMPARE(pictures.preparing(), 0);
        QVERIFY(pictures.smallCopyBytes() > 0);
        const QColor before = pictures.load(a, QSize(100, 75))->pixelColor(50, 37);
        QVERIFY2(before.red() > 200 && before.blue() < 50, qPrintable(before.name()));

        QVERIFY(writeLarge(Qt::blue));
        const QColor shown = pictures.load(a, QSize(100, 75))->pixelColor(50, 37);
        QVERIFY2(shown.blue() > 200 && shown.red() < 50, qPrintable(shown.name()));
    }

    // Boxes larger than the small copies (full screen on a large screen)
    // show the file itself, sharp, and later the copies made at their size.
    void largerBoxesAreNotEnlargedFromASmallCopy()
    {
        Harness h;
        PictureLoader &pictures = h.modulo->pictures;
        const QString a = h.media().letterPicture("A", 1);
        const QString e = h.media().letterPicture("E", 1);
        QVERIFY(QDir().mkpath(QFileInfo(a).path()));
        // Black on the left, white on the right: an edge one pixel wide.
        QImage large(1600, 1200, QImage::Format_RGB32);
        large.fill(Qt::white);
        for (int y = 0; y < large.height(); ++y)
            for (int x = 0; x < 800; ++x)
                large.setPixel(x, y, qRgb(0, 0, 0));
        QVERIFY(large.save(a, "JPG", 92) && large.save(e, "JPG", 92));
        pictures.prepare({a, e});
        QTRY_COMPARE(pictures.preparing(), 0);

        const auto greyAcrossTheEdge = [](const QImage &shown) {
            int grey = 0;
            for (int x = 0; x < shown.width(); ++x)
                if (const int v = qGray(shown.pixel(x, shown.height() / 2)); v > 40 && v < 215)
                    ++grey;
            return grey;
        };
        QCOMPARE(greyAcrossTheEdge(*pictures.load(a, QSize(800, 600))), 0);
        QCOMPARE(greyAcrossTheEdge(*pictures.load(e, QSize(800, 600))), 0);
        // Copies made at that size serve it as sharp, and smaller boxes too.
        QTRY_COMPARE(pictures.preparing(), 0);
        QCOMPARE(greyAcrossTheEdge(*pictures.load(a, QSize(800, 600))), 0);
        QCOMPARE(greyAcrossTheEdge(*pictures.load(a, QSize(400, 300))), 0);
    }

    void designFitsAndCentres()
    {
        // A 10770 x 8610 design in a wide area: height decides, centred across.
        const DesignFit fit = fitDesign(QSize(10770, 8610), QSize(2000, 861));
        QCOMPARE(fit.pixelsPerTwip, 0.1);
        QCOMPARE(fit.offset, QPoint(qRound((2000 - 1077) / 2.0), 0));
        QCOMPARE(fit.map(QRect(120, 120, 4000, 720)), QRect(fit.offset.x() + 12, 12, 400, 72));
        QCOMPARE(fit.fontPixels(15.75), 32); // 15.75 pt = 315 twips
        // Opening size: bigger than 15 twips a pixel on a big screen, never bigger than a small one.
        QVERIFY(openingScale(QSize(10770, 8610), QSize(1920, 1040)) > kDesignPixelsPerTwip);
        const qreal small = openingScale(QSize(10770, 8610), QSize(640, 480));
        QVERIFY(10770 * small <= 640 && 8610 * small <= 480);
    }
};

QTEST_MAIN(SharedModuleTest)
#include "test_shared_module.moc"
