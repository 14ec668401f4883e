#include "MatchingPictures.h"

#include "exercises/listening/SinglePictureListening.h"
#include "exercises/matching/CharacterDragMatching.h"
#include "exercises/matching/PositionMatching.h"

#include <QMimeData>
#include <QUrl>
#include <algorithm>

using namespace zampli;
using namespace zampli::test;

namespace {

struct Caratteri2 : Open<CharacterDragMatching> {
    explicit Caratteri2(std::initializer_list<double> draws = {}) : Open(FormId::Caratteri2, "Command11", draws) {}
    DragPiece *piece(int k) const { return at<DragPiece>("Image1", k); }
    PictureBox *box(int k) const { return at("Image3", k); }
    bool nextOn() const { return button("Command2")->isEnabled(); }
    // Piece indices from the top row to the bottom one, as on screen.
    QList<int> pieceOrder() const
    {
        QList<int> order{0, 1, 2, 3, 4};
        std::sort(order.begin(), order.end(), [&](int a, int b) { return piece(a)->y() < piece(b)->y(); });
        return order;
    }
    // A drag arriving over `target` as the window system delivers it: enter,
    // move, drop. True when the drop was taken.
    bool drop(QWidget *target, const QMimeData &data, QPoint point = {}) const
    {
        const QPoint at = target->mapTo(window(), point.isNull() ? target->rect().center() : point);
        const auto actions = Qt::MoveAction | Qt::CopyAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent dropped(at, actions, &data, Qt::NoButton, Qt::NoModifier);
        for (QEvent *e : std::initializer_list<QEvent *>{&enter, &move, &dropped})
            QCoreApplication::sendEvent(window()->windowHandle(), e);
        return dropped.isAccepted();
    }
    bool dropPiece(int from, int to) const { return drop(box(to), *std::unique_ptr<QMimeData>(piece(from)->dragData())); }
    void checkNewSeries(int referenceStyle, int pieceStyle) const
    {
        QCOMPARE(form->CoppieFatte, qint16(0));
        const QList<int> rows = pieceOrder();
        for (int k = 0; k < 5; ++k) {
            QVERIFY(shows(at("Image2", k), kVowels[k], referenceStyle) && isEmptyBox(box(k)));
            QVERIFY(shows(piece(k), kVowels[k], pieceStyle) && piece(k)->isEnabled());
            QCOMPARE(piece(rows[k])->y(), box(k)->y()); // one piece a row, beside the boxes
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
    void shuffleStepsToTheNextFreePiece()
    {
        QCOMPARE(Caratteri2({0.0, 0.0, 0.0, 0.0, 0.0}).pieceOrder(), QList<int>({0, 1, 2, 3, 4}));
        QCOMPARE(Caratteri2({0.9, 0.9, 0.9, 0.9, 0.9}).pieceOrder(), QList<int>({4, 0, 1, 2, 3}));
        // Seeded, every piece reaches every row; the second row takes the piece
        // after the first one with chance 2/5, not 1/4: its own draw and the
        // draw that hit the placed piece.
        Caratteri2 o;
        int reached[5][5] = {}, nextAfterTop = 0;
        const int series = 800;
        for (int s = 0; s < series; ++s) {
            o.choose(s % 8);
            const QList<int> rows = o.pieceOrder();
            for (int row = 0; row < 5; ++row)
                ++reached[rows[row]][row];
            nextAfterTop += rows[1] == (rows[0] + 1) % 5;
        }
        for (int p = 0; p < 25; ++p)
            QVERIFY2(reached[p / 5][p % 5] > 0, qPrintable(QStringLiteral("piece %1 row %2").arg(p / 5).arg(p % 5)));
        const double share = double(nextAfterTop) / series;
        QVERIFY2(share > 0.34 && share < 0.46, qPrintable(QString::number(share)));
    }

    void dropsAreJudgedByTheirIndices()
    {
        Caratteri2 o;
        const QRect place = o.piece(2)->geometry();
        QVERIFY(o.dropPiece(2, 2));
        QVERIFY(shows(o.box(2), "I", 1) && isEmptyBox(o.piece(2)) && !o.piece(2)->isEnabled());
        QCOMPARE(o.piece(2)->geometry(), place);
        QCOMPARE(o.background(), vowelColour("I"));
        QCOMPARE(o.h.modulo->Percorso, o.h.media().voice("I"));

        const QImage before = o.screen();
        QVERIFY(o.dropPiece(3, 2) && o.dropPiece(3, 4)); // wrong, the first on a filled box
        // Refused: not on a box, an emptied piece, a piece of another window
        // or run, no piece at all, things from other programs.
        std::unique_ptr<QMimeData> three(o.piece(3)->dragData()), emptied(o.piece(2)->dragData()),
            elsewhere(PieceMime::make(QStringLiteral("1/abc"), 3)), text(new QMimeData), file(new QMimeData),
            seventh(PieceMime::make(PieceMime::originOf(o.form->canvas()), 7));
        text->setText(QStringLiteral("O"));
        file->setUrls({QUrl::fromLocalFile(o.h.media().letterPicture("O", 1))});
        const std::pair<QWidget *, QMimeData *> refused[] = {
            {o.at("Image2", 3), three.get()}, {o.piece(4), three.get()},   {o.box(2), emptied.get()},
            {o.box(0), emptied.get()},        {o.box(3), elsewhere.get()}, {o.box(3), seventh.get()},
            {o.box(3), text.get()},           {o.box(3), file.get()}};
        for (const auto &[target, data] : refused)
            QVERIFY(!o.drop(target, *data));
        QVERIFY(!o.drop(o.form->canvas(), *three, o.form->canvas()->fit().map(QRect(3000, 4000, 1, 1)).topLeft()));
        QCOMPARE(o.screen(), before);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 2);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        const QString error = o.h.media().errorSound();
        QCOMPARE(o.h.sound.played, QStringList({o.h.media().voice("I"), error, error}));
        QVERIFY(o.dropPiece(3, 3));
    }

    void seriesOfFivePairsAcrossActivationsAndStyles()
    {
        Caratteri2 o;
        o.checkNewSeries(2, 1);
        QCOMPARE(o.background(), QColor(128, 64, 0));
        QVERIFY(!o.nextOn() && o.menu()->isLoaded() && o.h.sound.played.isEmpty());
        for (int k : {3, 0, 4, 2, 1}) // five pairs in any order
            QVERIFY(!o.nextOn() && o.dropPiece(k, k));
        for (int k = 0; k < 5; ++k)
            QVERIFY(!o.piece(k)->isEnabled() && shows(o.box(k), kVowels[k], 1));
        QCOMPARE(o.h.sound.played.last(), o.h.media().voice("E"));
        clickAsUser(o.button("Command2"));
        QVERIFY(!o.nextOn());
        o.checkNewSeries(2, 1);
        QCOMPARE(o.background(), vowelColour("E")); // never reset

        o.choose(5);
        o.checkNewSeries(3, 1);
        QVERIFY(o.dropPiece(0, 0) && o.dropPiece(1, 1));
        o.reactivate();
        o.checkNewSeries(2, 1);
        QCOMPARE(o.form->checkedStyleItem(), 5);
        for (int k = 0; k < 5; ++k)
            QVERIFY(!o.nextOn() && o.dropPiece(k, k));
        o.reactivate();
        o.checkNewSeries(2, 1);
        QVERIFY(o.nextOn()); // as it was
        QVERIFY(o.dropPiece(4, 4));
        o.choose(6);
        QVERIFY(!o.nextOn());
        o.checkNewSeries(2, 4);
        QVERIFY(o.dropPiece(2, 2));
        o.choose(6); // the marked item, mid-series
        o.checkNewSeries(2, 4);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 14);
    }

    void aTapIsAClick()
    {
        Open<SinglePictureListening> listening(FormId::Posizioni1, "Command1");
        tapAsUser(listening.control<QWidget>("Image1")); // says the vowel again
        QCOMPARE(listening.h.sound.played.size(), 2);
        QCOMPARE(listening.h.sound.played[1], listening.h.sound.played[0]);
        Open<PositionMatching> faces(FormId::Posizioni5, "Command5");
        tapAsUser(faces.at("Image1", faces.placeOf("Image1", faces.form->LetteraGiusta)));
        tapAsUser(faces.button("Command2"));
        QCOMPARE(faces.h.modulo->EserciziEseguiti.value(), 1);
        QVERIFY(!faces.button("Command2")->isEnabled());
    }
};

QTEST_MAIN(MatchingDragTest)
#include "test_matching_drag.moc"
