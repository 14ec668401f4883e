// SPDX-License-Identifier: GPL-3.0-or-later
#include "Grounds.h"
#include "MatchingPictures.h"

#include "exercises/matching/CharacterClickMatching.h"
#include "exercises/matching/CharacterDragMatching.h"
#include "exercises/matching/PositionMatching.h"

#include <set>

using namespace zampli;
using namespace zampli::test;

namespace {

// The row holds every vowel once, each tag naming the picture shown in `style`.
template <class F>
bool shuffled(const Open<F> &o, int style)
{
    for (int k = 0; k < 5; ++k)
        if (o.placeOf("Image1", kVowels[k]) < 0 || !shows(o.at("Image1", k), o.at("Image1", k)->tag(), style))
            return false;
    return true;
}

struct Posizioni5 : Open<PositionMatching> {
    explicit Posizioni5(std::initializer_list<double> draws = {}) : Open(FormId::Posizioni5, "Command5", draws) {}
    PictureBox *face(int k) const { return at("Image1", k); }
    bool writes(int style) const { return shows(control("Image2"), form->turn().written(), style); }
    // Faces shown and enabled, and both buttons on or off.
    bool state(int shown, int enabled, bool buttons) const
    {
        return count("Image1", &QWidget::isVisible) == shown && count("Image1", &QWidget::isEnabled) == enabled &&
               on("Command1") == buttons && on("Command2") == buttons;
    }
    bool waiting() const { return state(5, 5, false); }
};

struct Caratteri1 : Open<CharacterClickMatching> {
    Caratteri1() : Open(FormId::Caratteri1, "Command10") {}
    // Clicks the box under the model's vowel.
    void pairRight() const { clickAsUser(at("Image3", placeOf("Image1", kVowels[form->series().done()]))); }
    int columns() const { return count("Image1", &QWidget::isVisible) + count("Image3", &QWidget::isVisible); }
    bool model(const QString &letter, int style) const { return shows(control("Image2"), letter, style); }
    // A series starting: model A, a new row, empty boxes.
    bool fresh(int m, int r) const { return model("A", m) && shuffled(*this, r) && count("Image3", isEmptyBox) == 5; }
};

struct Caratteri2 : Open<CharacterDragMatching> {
    explicit Caratteri2(std::initializer_list<double> draws = {}) : Open(FormId::Caratteri2, "Command11", draws) {}
    DragPiece *piece(int k) const { return at<DragPiece>("Image1", k); }
    PictureBox *box(int k) const { return at("Image3", k); }
    // Piece indices from the top row to the bottom one, as on screen.
    QList<int> pieceOrder() const
    {
        QList<int> order{0, 1, 2, 3, 4};
        std::sort(order.begin(), order.end(), [&](int a, int b) { return piece(a)->y() < piece(b)->y(); });
        return order;
    }
    // Enter, move and drop over `target`, sent as the window system does; true when taken.
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
    bool dropPiece(int k, int to) const { return drop(box(to), *std::unique_ptr<QMimeData>(piece(k)->dragData())); }
    void checkNewSeries(int referenceStyle, int pieceStyle) const
    {
        QVERIFY(form->series().done() == 0 && !on("Command2"));
        const QList<int> rows = pieceOrder();
        for (int k = 0; k < 5; ++k) // one piece a row, beside the boxes
            QVERIFY2(shows(at("Image2", k), kVowels[k], referenceStyle) && isEmptyBox(box(k)) && piece(k)->isEnabled() &&
                         shows(piece(k), kVowels[k], pieceStyle) && piece(rows[k])->y() == box(k)->y(),
                     qPrintable(QString::number(k)));
    }
};

} // namespace

class MatchingTest : public QObject {
    Q_OBJECT

private slots:
    void facesTurnAfterTurn()
    {
        // A to place 2; E: 2 is taken, then 0; I to 4; O: 0 taken, then 1;
        // U: 4 taken, then 3. Then the vowel: place 0 (E); then the style: 3.
        Posizioni5 o({0.5, 0.5, 0.1, 0.9, 0.1, 0.3, 0.9, 0.7, 0.1, 0.6});
        QCOMPARE(o.h.random.draws, 10);
        QCOMPARE(o.face(0)->tag() + o.face(1)->tag() + o.face(2)->tag() + o.face(3)->tag() + o.face(4)->tag(), "EOAUI");
        QVERIFY(shuffled(o, 0) && o.writes(3) && o.waiting() && o.h.sound.played.isEmpty() && o.background() == kBrown);
        const QImage screen = o.screen();
        for (int i = 0; i < 3; ++i)
            clickAsUser(o.face(1));
        QVERIFY(o.screen() == screen && o.h.modulo->EserciziErrati == 3);
        QCOMPARE(o.h.sound.played, QStringList(3, o.h.media().errorSound()));
        clickAsUser(o.face(0));
        QVERIFY(o.state(1, 4, true) && o.face(0)->isVisible() && o.background() == kVowelGround.value("E"));
        QTest::mouseClick(o.face(0), Qt::LeftButton); // the lone face ignores the mouse
        o.click("Command1");
        QCOMPARE(o.h.sound.played.mid(3), QStringList(2, o.h.media().voice("E")));
        QCOMPARE(o.h.modulo->Contatore.value(), 2);
        o.click("Command2");
        QVERIFY(o.waiting() && o.background() == kVowelGround.value("E")); // kept until the next right answer
        // Seeded now: each turn is answered, then the next one comes from the
        // next button, a style item or an activation.
        std::set<int> randomStyles;
        int fixedStyle = 0, answers = 0;
        const qsizetype sounds = o.h.sound.played.size();
        for (int turn = 0; turn < 1000; ++turn) {
            const QString before = o.form->turn().written();
            if (!o.on("Command2") && ++answers) {
                const int right = o.h.modulo->EserciziEseguiti.value();
                clickAsUser(o.face(o.placeOf("Image1", before)));
                QCOMPARE(o.h.modulo->EserciziEseguiti.value(), right + 1);
            }
            if (turn % 10 == 3) {
                o.choose(fixedStyle = (turn / 10) % 5);
                QVERIFY(o.waiting() && checkedStyleItem(*o.form) == fixedStyle);
            } else if (turn % 25 == 7) { // answered, then active again: a clean turn to answer
                o.reactivate();
                QVERIFY(o.waiting());
            } else {
                o.click("Command2");
            }
            if (!fixedStyle)
                randomStyles.insert(o.form->Stile);
            QVERIFY2(o.form->turn().written() != before && (!fixedStyle || o.form->Stile == fixedStyle) &&
                         o.writes(o.form->Stile) && shuffled(o, 0),
                     qPrintable(QString::number(turn)));
        }
        QCOMPARE(randomStyles, (std::set<int>{1, 2, 3, 4}));
        // Voices after right answers only: none on a new turn or an activation.
        QCOMPARE(o.h.sound.played.size() - sounds, answers);
        // A style chosen outlives "Esci", though the check mark goes back.
        o.choose(4);
        o.h.boxes.answers = {MessageBox::Answer::Yes};
        o.control<QAction>("mnuEsci")->trigger();
        clickAsUser(o.menu()->window()->findChild<QWidget *>("Command5"));
        QVERIFY(checkedStyleItem(*o.form) == 0 && o.writes(4) && o.waiting());
    }

    void charactersByClick()
    {
        // A series in each style pair, a box filled earlier clicked on the way;
        // then a style choice and an activation in the middle of a series.
        Caratteri1 o;
        QVERIFY(o.background() == kBrown && o.menu()->isLoaded() && o.fresh(2, 1));
        const std::pair<int, int> pairs[] = {{2, 1}, {1, 2}, {4, 3}, {3, 4}, {1, 3}, {3, 1}, {2, 4}, {4, 2}};
        for (int item = 7; item >= 0; --item) {
            o.choose(item);
            const auto [model, row] = pairs[item];
            QVERIFY2(checkedStyleItem(*o.form) == item && o.fresh(model, row), qPrintable(QString::number(item)));
            for (int pair = 0, filled = -1; pair < 5; ++pair) {
                const QString vowel = kVowels[pair];
                const QImage before = o.screen();
                if (filled >= 0)
                    clickAsUser(o.at("Image3", filled));
                QVERIFY(o.model(vowel, model) && o.screen() == before);
                filled = o.placeOf("Image1", vowel);
                o.pairRight();
                QVERIFY(!o.at("Image1", filled)->isEnabled() && !o.at("Image3", filled)->isEnabled());
                QVERIFY(o.columns() == 2 && o.at("Image1", filled)->isVisible() && o.at("Image3", filled)->isVisible() &&
                        shows(o.at("Image3", filled), vowel, model) &&
                        o.background() == kVowelGround.value(vowel) && o.h.sound.played.last() == o.h.media().voice(vowel));
                o.click("Command2");
                QVERIFY(!o.on("Command2") && o.columns() == 10);
            }
            QVERIFY(o.fresh(model, row) && o.background() == kVowelGround.value("U"));
        }
        // 40 pairs: a voice for each, no praise, and 32 errors
        QVERIFY(o.h.modulo->EserciziEseguiti == 40 && o.h.sound.played.count(o.h.media().errorSound()) == 32 &&
                o.h.sound.played.size() == 72);
        o.pairRight();
        o.choose(3); // while a pair is shown: the series goes
        QVERIFY(!o.on("Command2") && o.columns() == 10 && o.fresh(3, 4));
        o.pairRight();
        o.reactivate(); // a clean new series, every box open; the mark stays, the styles go back
        QVERIFY(checkedStyleItem(*o.form) == 3 && o.fresh(2, 1) && o.columns() == 10 && !o.on("Command2"));
        QVERIFY(o.count("Image1", &QWidget::isEnabled) == 5 && o.count("Image3", &QWidget::isEnabled) == 5);
        o.pairRight();
        QVERIFY(o.h.modulo->EserciziEseguiti == 43 && o.h.modulo->EserciziErrati == 32 && o.on("Command2"));
    }

    void shuffleStepsToTheNextFreePiece()
    {
        QCOMPARE(Caratteri2({0.9, 0.9, 0.9, 0.9, 0.9}).pieceOrder(), QList<int>({4, 0, 1, 2, 3}));
        // Seeded, every piece reaches every row; the second row takes the piece after the
        // first one with chance 2/5, not 1/4: its own draw and the draw that hit the placed one.
        Caratteri2 o;
        int reached[5][5] = {}, nextAfterTop = 0;
        for (int s = 0; s < 800; ++s) {
            o.choose(s % 8);
            const QList<int> rows = o.pieceOrder();
            for (int row = 0; row < 5; ++row)
                ++reached[rows[row]][row];
            nextAfterTop += rows[1] == (rows[0] + 1) % 5;
        }
        for (int p = 0; p < 25; ++p)
            QVERIFY2(reached[p / 5][p % 5] > 0, qPrintable(QStringLiteral("piece %1 row %2").arg(p / 5).arg(p % 5)));
        const double share = nextAfterTop / 800.0;
        QVERIFY2(share > 0.34 && share < 0.46, qPrintable(QString::number(share)));
    }

    void charactersByDrag()
    {
        Caratteri2 o;
        o.checkNewSeries(2, 1);
        QVERIFY(o.background() == kBrown && o.menu()->isLoaded() && o.h.sound.played.isEmpty());
        const QRect place = o.piece(2)->geometry();
        QVERIFY(o.dropPiece(2, 2) && shows(o.box(2), "I", 1) && isEmptyBox(o.piece(2)) && !o.piece(2)->isEnabled());
        QVERIFY(o.piece(2)->geometry() == place && o.background() == kVowelGround.value("I"));
        const QImage before = o.screen();
        QVERIFY(o.dropPiece(3, 2) && o.dropPiece(3, 4)); // wrong, the first on a filled box
        // Refused: not on a box, an emptied piece, a piece of another window
        // or run, no piece at all, things from other programs.
        const auto refused = [&](QWidget *on, QMimeData *data, QPoint at = {}) {
            return !o.drop(on, *std::unique_ptr<QMimeData>(data), at);
        };
        auto *text = new QMimeData, *file = new QMimeData;
        DesignCanvas *ground = o.form->canvas();
        text->setText(QStringLiteral("O"));
        file->setUrls({QUrl::fromLocalFile(o.h.media().letterPicture("O", 1))});
        QVERIFY(refused(o.at("Image2", 3), o.piece(3)->dragData()) && refused(o.piece(4), o.piece(3)->dragData()));
        QVERIFY(refused(ground, o.piece(3)->dragData(), ground->fit().map(QRect(3000, 4000, 1, 1)).topLeft()));
        QVERIFY(refused(o.box(2), o.piece(2)->dragData()) && refused(o.box(0), o.piece(2)->dragData()));
        QVERIFY(refused(o.box(3), PieceMime::make(QStringLiteral("1/abc"), 3)) && refused(o.box(3), text));
        QVERIFY(refused(o.box(3), PieceMime::make(PieceMime::originOf(ground), 7)) && refused(o.box(3), file));
        QVERIFY(o.screen() == before && o.h.modulo->EserciziErrati == 2 && o.h.modulo->EserciziEseguiti == 1);
        QCOMPARE(o.h.sound.played, QStringList({o.h.media().voice("I"), o.h.media().errorSound(), o.h.media().errorSound()}));
        for (int k : {3, 0, 4, 1}) // five pairs in any order
            QVERIFY(!o.on("Command2") && o.dropPiece(k, k) && shows(o.box(k), kVowels[k], 1));
        QCOMPARE(o.h.sound.played.last(), o.h.media().voice("E"));
        o.click("Command2");
        o.checkNewSeries(2, 1);
        QCOMPARE(o.background(), kVowelGround.value("E")); // never reset
        o.choose(5);
        o.checkNewSeries(3, 1);
        QVERIFY(o.dropPiece(0, 0) && o.dropPiece(1, 1));
        o.reactivate();
        o.checkNewSeries(2, 1);
        QCOMPARE(checkedStyleItem(*o.form), 5);
        for (int k = 0; k < 5; ++k)
            QVERIFY(!o.on("Command2") && o.dropPiece(k, k));
        o.reactivate(); // the series done, then active again: a clean one, the next button off
        o.checkNewSeries(2, 1);
        QVERIFY(o.dropPiece(3, 3) && shows(o.box(3), "O", 1));
        QVERIFY(o.h.modulo->EserciziEseguiti == 13 && o.h.modulo->EserciziErrati == 2);
    }

};

QTEST_MAIN(MatchingTest)
#include "test_matching.moc"
