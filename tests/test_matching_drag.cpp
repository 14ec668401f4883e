#include "MatchingPictures.h"

#include "exercises/listening/SinglePictureListening.h"
#include "exercises/matching/CharacterClickMatching.h"
#include "exercises/matching/CharacterDragMatching.h"
#include "exercises/matching/PositionMatching.h"
#include "shell/DesignCanvas.h"

#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QtTest>
#include <algorithm>

using namespace zampli;
using namespace zampli::test;

namespace {

struct Caratteri2 {
    Harness h;
    CharacterDragMatching *form = nullptr;

    explicit Caratteri2(std::initializer_list<double> draws = {})
    {
        writeColouredPictures(h);
        h.random.script(draws);
        form = &h.windows->form<CharacterDragMatching>(FormId::Caratteri2);
        h.windows->form(FormId::Menu)->Show();
        clickAsUser(h.windows->form(FormId::Menu)->window()->findChild<QPushButton *>("Command11"));
    }
    QWidget *window() const { return form->window(); }
    template <class W = PictureBox>
    W *control(const QString &name) const { return window()->findChild<W *>(name); }
    DragPiece *piece(int k) const { return control<DragPiece>(QStringLiteral("Image1_%1").arg(k)); }
    PictureBox *box(int k) const { return control(QStringLiteral("Image3_%1").arg(k)); }
    PictureBox *reference(int k) const { return control(QStringLiteral("Image2_%1").arg(k)); }
    QWidget *command2() const { return control<QWidget>("Command2"); }
    QAction *action(const QString &name) const { return window()->findChild<QAction *>(name); }

    // Piece indices from the top row to the bottom one, as on screen.
    QList<int> pieceOrder() const
    {
        QList<int> order{0, 1, 2, 3, 4};
        std::sort(order.begin(), order.end(), [&](int a, int b) { return piece(a)->y() < piece(b)->y(); });
        return order;
    }

    // A drag arriving over `target` through the window, as the window system
    // delivers it: enter, move, then the drop. True when the drop was taken.
    bool drop(QWidget *target, const QMimeData &data, QPoint point = {}) const
    {
        QWindow *handle = window()->windowHandle();
        const QPointF at = target->mapTo(window(), point.isNull() ? target->rect().center() : point);
        const auto actions = Qt::MoveAction | Qt::CopyAction;
        QDragEnterEvent enter(at.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &enter);
        QDragMoveEvent move(at.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &move);
        QDropEvent dropped(at, actions, &data, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &dropped);
        return dropped.isAccepted();
    }
    bool dropPiece(int from, QWidget *target, QPoint point = {}) const
    {
        std::unique_ptr<QMimeData> data(piece(from)->dragData());
        return drop(target, *data, point);
    }
    void reactivate() const
    {
        QWidget *menu = h.windows->form(FormId::Menu)->window();
        menu->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window()));
    }
    // The start of a series in the given styles.
    void checkNewSeries(int referenceStyle, int pieceStyle) const
    {
        QCOMPARE(form->CoppieFatte, qint16(0));
        QList<int> rows = pieceOrder();
        for (int k = 0; k < 5; ++k) {
            QVERIFY(shows(reference(k), kVowels[k], referenceStyle));
            QVERIFY(isEmptyBox(box(k)));
            QVERIFY(shows(piece(k), kVowels[k], pieceStyle));
            QCOMPARE(piece(k)->tag(), kVowels[k]);
            QVERIFY(piece(k)->isEnabled());
            // one piece a row, on the rows of the boxes
            QCOMPARE(piece(rows[k])->y(), box(k)->y());
        }
    }
};

void tapAsUser(QWidget *w)
{
    static QPointingDevice *finger = QTest::createTouchDevice();
    QVERIFY(w->isVisible() && w->isEnabled());
    const QPoint at = w->mapTo(w->window(), w->rect().center());
    QTest::touchEvent(w->window(), finger).press(0, at);
    QTest::touchEvent(w->window(), finger).release(0, at);
}

} // namespace

class MatchingDragTest : public QObject {
    Q_OBJECT

private slots:
    void aSeriesStartsWithFixedReferencesAndShuffledPieces()
    {
        Caratteri2 o;
        o.checkNewSeries(2, 1);
        QCOMPARE(o.form->canvas()->background(), QColor(128, 64, 0));
        QVERIFY(!o.command2()->isEnabled());
        QVERIFY(o.h.windows->form(FormId::Menu)->isLoaded());
        QCOMPARE(o.piece(0)->cursor().shape(), Qt::BitmapCursor);
        for (int k = 0; k < 5; ++k) {
            QVERIFY(o.box(k)->hasSingleBorder());
            QVERIFY(o.box(k)->acceptDrops());
            QVERIFY(!o.reference(k)->acceptDrops() && !o.piece(k)->acceptDrops());
        }
        QVERIFY(o.h.sound.played.isEmpty());
    }

    void shuffleStepsToTheNextFreePiece()
    {
        // Rows are filled top down; a drawn piece already placed hands over
        // to the next free index, wrapping from 4 to 0.
        Caratteri2 zeros({0.0, 0.0, 0.0, 0.0, 0.0});
        QCOMPARE(zeros.pieceOrder(), QList<int>({0, 1, 2, 3, 4}));
        Caratteri2 fours({0.9, 0.9, 0.9, 0.9, 0.9});
        QCOMPARE(fours.pieceOrder(), QList<int>({4, 0, 1, 2, 3}));
        for (int k = 0; k < 5; ++k)
            QCOMPARE(fours.form->canvas()->twips(fours.piece(fours.pieceOrder()[k])).top(), 120 + 1680 * k);
        Caratteri2 mixed({0.5, 0.5, 0.1, 0.5, 0.7});
        QCOMPARE(mixed.pieceOrder(), QList<int>({2, 3, 0, 4, 1}));
    }

    void overManySeriesEveryPieceReachesEveryRow()
    {
        Caratteri2 o;
        int reached[5][5] = {};
        int nextAfterTop = 0;
        const int series = 4000;
        for (int s = 0; s < series; ++s) {
            o.action(QStringLiteral("mnuCaratteri_%1").arg(s % 8))->trigger();
            const QList<int> rows = o.pieceOrder();
            for (int row = 0; row < 5; ++row)
                ++reached[rows[row]][row];
            nextAfterTop += rows[1] == (rows[0] + 1) % 5;
        }
        for (int p = 0; p < 5; ++p)
            for (int row = 0; row < 5; ++row)
                QVERIFY2(reached[p][row] > 0, qPrintable(QStringLiteral("piece %1 row %2").arg(p).arg(row)));
        // The second row takes the piece after the first one twice as often
        // as any other: its own draw and the draw that hit the placed piece.
        const double share = double(nextAfterTop) / series;
        QVERIFY2(share > 0.37 && share < 0.43, qPrintable(QString::number(share)));
    }

    void rightDropFillsTheBoxAndEmptiesThePiece()
    {
        Caratteri2 o;
        const int rowOfI = int(o.pieceOrder().indexOf(2));
        const QRect place = o.piece(2)->geometry();
        QVERIFY(o.dropPiece(2, o.box(2)));
        QVERIFY(shows(o.box(2), "I", 1));
        QVERIFY(isEmptyBox(o.piece(2)));
        QVERIFY(!o.piece(2)->isEnabled());
        QCOMPARE(o.piece(2)->geometry(), place); // an empty place stays in the left column
        QCOMPARE(o.pieceOrder().indexOf(2), rowOfI);
        QCOMPARE(o.form->canvas()->background(), QColor(0, 0, 255));
        QCOMPARE(o.h.sound.played, QStringList{o.h.media().voice("I")});
        QCOMPARE(o.h.modulo->Percorso, o.h.media().voice("I"));
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(o.form->CoppieFatte, qint16(1));
        QVERIFY(!o.command2()->isEnabled());
    }

    void wrongDropsCountAndMoveNothing()
    {
        Caratteri2 o;
        QVERIFY(o.dropPiece(0, o.box(0)));
        const QImage before = o.window()->grab().toImage();
        QVERIFY(o.dropPiece(3, o.box(0))); // on a filled box
        QVERIFY(o.dropPiece(3, o.box(4)));
        QCOMPARE(o.window()->grab().toImage(), before);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 2);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(o.h.sound.played.mid(1), QStringList(2, o.h.media().errorSound()));
        QVERIFY(o.piece(3)->isEnabled());
        QVERIFY(shows(o.box(0), "A", 1));
    }

    void dropsElsewhereOrOfForeignDataAreRefused()
    {
        Caratteri2 o;
        QVERIFY(o.dropPiece(1, o.box(1)));
        const QImage before = o.window()->grab().toImage();
        // Not on a box: a reference, a piece, the window's ground.
        QVERIFY(!o.dropPiece(3, o.reference(3)));
        QVERIFY(!o.dropPiece(3, o.piece(4)));
        DesignCanvas *ground = o.form->canvas();
        QVERIFY(!o.dropPiece(3, ground, ground->fit().map(QRect(3000, 4000, 1, 1)).topLeft()));
        // Not a piece that can be dragged: an emptied one, one of another
        // window or another run of the program, one that does not exist.
        QVERIFY(!o.dropPiece(1, o.box(1)));
        QVERIFY(!o.dropPiece(1, o.box(0)));
        std::unique_ptr<QMimeData> elsewhere(PieceMime::make(QStringLiteral("1/abc"), 3));
        QVERIFY(!o.drop(o.box(3), *elsewhere));
        std::unique_ptr<QMimeData> seventh(PieceMime::make(PieceMime::originOf(o.form->canvas()), 7));
        QVERIFY(!o.drop(o.box(3), *seventh));
        // Things from other programs.
        QMimeData text;
        text.setText(QStringLiteral("O"));
        QVERIFY(!o.drop(o.box(3), text));
        QMimeData file;
        file.setUrls({QUrl::fromLocalFile(o.h.media().letterPicture("O", 1))});
        QVERIFY(!o.drop(o.box(3), file));

        QCOMPARE(o.window()->grab().toImage(), before);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 0);
        QCOMPARE(o.h.sound.played.size(), 1);
        QVERIFY(o.dropPiece(3, o.box(3))); // the piece itself still goes
    }

    void fivePairsInAnyOrderThenANewSeries()
    {
        Caratteri2 o;
        for (int k : {3, 0, 4, 2, 1}) {
            QVERIFY(!o.command2()->isEnabled());
            QVERIFY(o.dropPiece(k, o.box(k)));
            QCOMPARE(o.form->canvas()->background(), vowelColour(kVowels[k]));
            QCOMPARE(o.h.sound.played.last(), o.h.media().voice(kVowels[k]));
        }
        QVERIFY(o.command2()->isEnabled());
        for (int k = 0; k < 5; ++k) {
            QVERIFY(!o.piece(k)->isEnabled());
            QVERIFY(shows(o.box(k), kVowels[k], 1));
        }
        clickAsUser(o.command2());
        QVERIFY(!o.command2()->isEnabled());
        o.checkNewSeries(2, 1);
        QCOMPARE(o.form->canvas()->background(), vowelColour("E")); // never reset
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 5);
    }

    void activationStartsANewSeriesAndKeepsTheNextButton()
    {
        Caratteri2 o;
        o.action("mnuCaratteri_5")->trigger();
        o.checkNewSeries(3, 1);
        QVERIFY(o.dropPiece(0, o.box(0)));
        QVERIFY(o.dropPiece(1, o.box(1)));
        o.reactivate();
        o.checkNewSeries(2, 1);
        QCOMPARE(o.form->checkedStyleItem(), 5);
        QVERIFY(!o.command2()->isEnabled());

        for (int k = 0; k < 5; ++k)
            QVERIFY(o.dropPiece(k, o.box(k)));
        QVERIFY(o.command2()->isEnabled());
        o.reactivate();
        o.checkNewSeries(2, 1);
        QVERIFY(o.command2()->isEnabled()); // as it was
        QVERIFY(o.dropPiece(4, o.box(4)));
    }

    void styleChoiceAlwaysEndsWithTheNextButtonDisabled()
    {
        Caratteri2 o;
        for (int k = 0; k < 5; ++k)
            QVERIFY(o.dropPiece(k, o.box(k)));
        QVERIFY(o.command2()->isEnabled());
        o.action("mnuCaratteri_6")->trigger();
        QVERIFY(!o.command2()->isEnabled());
        o.checkNewSeries(2, 4);
        QVERIFY(o.dropPiece(2, o.box(2)));
        o.action("mnuCaratteri_6")->trigger(); // the marked item, mid-series
        o.checkNewSeries(2, 4);
        QVERIFY(!o.command2()->isEnabled());
    }

    void aTapIsAClickInEveryFamily()
    {
        // Listening: a tap on the picture says the vowel again.
        {
            Harness h;
            writeColouredPictures(h);
            auto &form = h.windows->form<SinglePictureListening>(FormId::Posizioni1);
            form.Show();
            tapAsUser(form.window()->findChild<QWidget *>("Image1"));
            QCOMPARE(h.sound.played.size(), 2);
            QCOMPARE(h.sound.played[1], h.sound.played[0]);
        }
        // Matching by click: a tap on a wrong box is a wrong answer; a tap
        // on the right face and on the next button go on.
        {
            Harness h;
            writeColouredPictures(h);
            auto &form = h.windows->form<CharacterClickMatching>(FormId::Caratteri1);
            form.Show();
            int wrong = 0;
            while (form.window()->findChild<PictureBox *>(QStringLiteral("Image1_%1").arg(wrong))->tag() == "A")
                ++wrong;
            tapAsUser(form.window()->findChild<QWidget *>(QStringLiteral("Image3_%1").arg(wrong)));
            QCOMPARE(h.modulo->EserciziErrati.value(), 1);
        }
        {
            Harness h;
            writeColouredPictures(h);
            auto &form = h.windows->form<PositionMatching>(FormId::Posizioni5);
            form.Show();
            int right = 0;
            while (form.window()->findChild<PictureBox *>(QStringLiteral("Image1_%1").arg(right))->tag() !=
                   form.LetteraGiusta)
                ++right;
            tapAsUser(form.window()->findChild<QWidget *>(QStringLiteral("Image1_%1").arg(right)));
            QCOMPARE(h.modulo->EserciziEseguiti.value(), 1);
            tapAsUser(form.window()->findChild<QWidget *>("Command2"));
            QVERIFY(!form.window()->findChild<QWidget *>("Command2")->isEnabled());
        }
    }
};

QTEST_MAIN(MatchingDragTest)
#include "test_matching_drag.moc"
