// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/Fakes.h"

#include "media/Artwork.h"
#include "shell/DesignCanvas.h"

#include <QSignalSpy>
#include <QtTest>

using namespace zampli;
using namespace zampli::test;

namespace {

// The five boxes and the frame of the recognition windows, on a canvas of
// their design size shown as a window of its own.
struct Boxes {
    static constexpr QSize kDesign{9360, 7200};
    static constexpr QRect kBox0{360, 480, 2415, 2175};
    inline static const QColor kGround{128, 64, 0};

    explicit Boxes(qreal scale)
    {
        canvas.setPointer(Art::CursorArrow);
        canvas.setBackground(kGround);
        std::vector<Placement> places;
        for (QPoint at : {QPoint(360, 480), QPoint(3000, 480), QPoint(5760, 480), QPoint(360, 3600),
                          QPoint(5760, 3600)})
            places.push_back({.twips = QRect(at, kBox0.size())});
        boxes = canvas.addArray<PictureBox>("Image1", places);
        frame = canvas.add<OutlineFrame>("Shape1", {.twips = kBox0}, QColor(255, 0, 0), 5);
        for (PictureBox *box : *boxes) {
            QImage green(40, 30, QImage::Format_RGB32);
            green.fill(Qt::darkGreen);
            box->setPicture(green, "x");
        }
        canvas.resize(qRound(kDesign.width() * scale / kTwipsPerPixel),
                      qRound(kDesign.height() * scale / kTwipsPerPixel));
        canvas.show();
    }

    DesignCanvas canvas{kDesign, nullptr};
    ControlArray<PictureBox> *boxes = nullptr;
    OutlineFrame *frame = nullptr;
};

} // namespace

class CanvasTest : public QObject {
    Q_OBJECT

private slots:
    void frameMovedOntoABoxSurroundsItExactly_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<int>("line");
        QTest::newRow("design size") << 1.0 << 5;
        QTest::newRow("twice the design size") << 2.0 << 10;
    }

    void frameMovedOntoABoxSurroundsItExactly()
    {
        QFETCH(qreal, scale);
        QFETCH(int, line);
        Boxes b(scale);
        for (int k : {2, 4, 0}) {
            PictureBox *box = (*b.boxes)[k];
            b.canvas.setTwips(b.frame, b.canvas.twips(box));
            QCOMPARE(b.canvas.twips(b.frame), b.canvas.twips(box));
            QCOMPARE(b.frame->lineWidth(), line);
            // The pointer grows with the design too, from its 32 pixels.
            QCOMPARE(box->cursor().pixmap().width(), 32 * line / 5);
            // Its inner edge lies on the box's edge.
            QCOMPARE(b.frame->geometry().adjusted(line, line, -line, -line), box->geometry());

            // On screen: the ring is red between two edges (dark on a light ground, white on a
            // dark one), every pixel of the picture is still the picture.
            const QColor ground = k == 4 ? QColor(0, 0, 255) : QColor(255, 255, 0);
            const QColor edge = k == 4 ? QColor(255, 255, 255) : QColor(0, 0, 0);
            b.canvas.setBackground(ground);
            const QImage shot = b.canvas.grab().toImage();
            const QRect r = box->geometry();
            for (QPoint inside : {r.topLeft(), r.bottomRight(), QPoint(r.center().x(), r.top())})
                QCOMPARE(QColor(shot.pixel(inside)), QColor(Qt::darkGreen));
            const int middle = line / 2 + 1;
            for (QPoint ring : {r.topLeft() - QPoint(middle, middle), r.bottomRight() + QPoint(middle, middle),
                                QPoint(r.center().x(), r.top() - middle)})
                QCOMPARE(QColor(shot.pixel(ring)), QColor(255, 0, 0));
            for (QPoint rim : {r.topLeft() - QPoint(1, 1), r.bottomRight() + QPoint(line, line),
                               QPoint(r.center().x(), r.top() - line)})
                QCOMPARE(QColor(shot.pixel(rim)), edge);
            QCOMPARE(QColor(shot.pixel(r.topLeft() - QPoint(line + 1, line + 1))), ground);
        }
    }

    // Until the first window is painted the pictures' pointers wait in the
    // plain arrow; released, every canvas built meanwhile takes its own,
    // drawn (not an empty square: the SVG plugin must have been found).
    void heldPointersArriveAtTheRelease()
    {
        Artwork::holdPointers();
        Boxes b(1.0);
        PictureBox *box = (*b.boxes)[1];
        QCOMPARE(box->cursor().shape(), Qt::ArrowCursor);
        Artwork::releasePointers();
        QCOMPARE(box->cursor().shape(), Qt::BitmapCursor);
        const QImage arrow = box->cursor().pixmap().toImage();
        QCOMPARE(arrow.width(), 32);
        int drawn = 0;
        for (int y = 0; y < arrow.height(); ++y)
            for (int x = 0; x < arrow.width(); ++x)
                drawn += qAlpha(arrow.pixel(x, y)) > 128;
        QVERIFY2(drawn > 32 * 32 / 10, qPrintable(QString::number(drawn)));
        // The hot spot stays at the arrow's tip, scaled from its 32-pixel design.
        QCOMPARE(box->cursor().hotSpot(), QPoint(3, 1));
    }

    void nestedLetterIsPartOfItsTile()
    {
        DesignCanvas canvas(QSize(11205, 8445), nullptr);
        std::vector<Placement> tilePlaces;
        for (int k = 0; k < 5; ++k)
            tilePlaces.push_back({.twips = QRect(k * 2400, 0, 2415, 2535)});
        auto *tiles = canvas.addArray<Tile>("Frame1", tilePlaces);
        std::vector<QLabel *> letters;
        for (int k = 0; k < 5; ++k)
            letters.push_back(canvas.add<QLabel>(QString("Label1_%1").arg(k),
                                                 {.twips = QRect(600, 120, 1215, 1095), .in = (*tiles)[k]}));
        canvas.resize(747, 563);
        canvas.show();

        // Placed in tile-relative twips: tile 3 at 7200 plus 600.
        QCOMPARE(letters[3]->parentWidget(), (*tiles)[3]);
        QCOMPARE(letters[3]->mapTo(&canvas, QPoint(0, 0)).x(), canvas.fit().map(7800));

        QSignalSpy tileClicks(tiles, &ControlArraySignals::clicked);
        QSignalSpy canvasClicks(&canvas, &DesignCanvas::clicked);
        const QPoint onLetter = letters[3]->geometry().center(); // in the tile's coordinates
        clickAsUser((*tiles)[3], onLetter);
        QCOMPARE(tileClicks.size(), 1);
        QCOMPARE(tileClicks.at(0).at(0).toInt(), 3);
        QCOMPARE(canvasClicks.size(), 0);

        // A disabled tile locks its letter too.
        (*tiles)[3]->setEnabled(false);
        QVERIFY(!letters[3]->isEnabled());
        QTest::mouseClick((*tiles)[3], Qt::LeftButton, {}, onLetter);
        QCOMPARE(tileClicks.size(), 1);

        // Moving a tile carries its letter.
        canvas.setTwips((*tiles)[0], QRect(0, 4800, 2415, 2535));
        QCOMPARE(letters[0]->mapTo(&canvas, QPoint(0, 0)),
                 canvas.fit().map(QRect(600, 4800 + 120, 1, 1)).topLeft());
    }
};

QTEST_MAIN(CanvasTest)
#include "test_canvas.moc"
