#include "MatchingPictures.h"

#include "exercises/matching/CharacterClickMatching.h"
#include "exercises/matching/PositionMatching.h"
#include "shell/DesignCanvas.h"

#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <set>

using namespace zampli;
using namespace zampli::test;

namespace {

const QColor kBrown(128, 64, 0);

// Any exercise window of the program, open and driven as a child would.
template <class F>
struct Open {
    Harness h;
    F *form = nullptr;

    QWidget *window() const { return form->window(); }
    template <class W = QWidget>
    W *control(const QString &name) const { return window()->template findChild<W *>(name); }
    PictureBox *box(const char *array, int k) const
    {
        return control<PictureBox>(QStringLiteral("%1_%2").arg(array).arg(k));
    }
    QAction *action(const QString &name) const { return window()->template findChild<QAction *>(name); }
    QColor background() const { return form->canvas()->background(); }
    QStringList tags(const char *array) const
    {
        QStringList t;
        for (int k = 0; k < 5; ++k)
            t << box(array, k)->tag();
        return t;
    }
    int placeOf(const char *array, const QString &letter) const { return int(tags(array).indexOf(letter)); }
    // Another window of the program comes forward, then this one again.
    void reactivate()
    {
        Form *menu = h.windows->form(FormId::Menu);
        if (!menu->isLoaded())
            menu->Show();
        menu->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu->window()));
        window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window()));
    }
};

struct Posizioni5 : Open<PositionMatching> {
    explicit Posizioni5(std::initializer_list<double> draws = {})
    {
        writeColouredPictures(h);
        h.random.script(draws);
        form = &h.windows->form<PositionMatching>(FormId::Posizioni5);
        form->Show();
    }
    PictureBox *face(int k) const { return box("Image1", k); }
    int rightPlace() const { return placeOf("Image1", form->LetteraGiusta); }
    bool waiting() const { return !control("Command2")->isEnabled(); }
    int visibleFaces() const
    {
        int n = 0;
        for (int k = 0; k < 5; ++k)
            n += face(k)->isVisible();
        return n;
    }
};

struct Caratteri1 : Open<CharacterClickMatching> {
    Caratteri1()
    {
        writeColouredPictures(h);
        form = &h.windows->form<CharacterClickMatching>(FormId::Caratteri1);
        h.windows->form(FormId::Menu)->Show();
        clickAsUser(h.windows->form(FormId::Menu)->window()->findChild<QPushButton *>("Command10"));
    }
    PictureBox *model() const { return control<PictureBox>("Image2"); }
    // Clicks the box under the model's vowel.
    void pairRight()
    {
        const int column = placeOf("Image1", QString(kVowels[form->CoppieFatte]));
        clickAsUser(box("Image3", column));
    }
    int visibleColumns() const
    {
        int n = 0;
        for (int k = 0; k < 5; ++k)
            n += box("Image1", k)->isVisible() + box("Image3", k)->isVisible();
        return n;
    }
};

// The row holds every vowel once and shows each one's picture in `style`.
template <class F>
void checkShuffled(const Open<F> &o, const char *array, int style)
{
    QStringList sorted = o.tags(array);
    sorted.sort();
    QCOMPARE(sorted, kVowels);
    for (int k = 0; k < 5; ++k)
        QVERIFY2(shows(o.box(array, k), o.box(array, k)->tag(), style), qPrintable(o.box(array, k)->tag()));
}

} // namespace

class MatchingClickTest : public QObject {
    Q_OBJECT

private slots:
    void facesWindowOpensOnAScriptedTurnWithoutAVoice()
    {
        // A to place 2; E: 2 is taken, then 0; I to 4; O: 0 taken, then 1;
        // U: 4 taken, then 3. The vowel: place 0 (E). The style: 3.
        Posizioni5 o({0.5, 0.5, 0.1, 0.9, 0.1, 0.3, 0.9, 0.7, 0.1, 0.6});
        QCOMPARE(o.tags("Image1"), QStringList({"E", "O", "A", "U", "I"}));
        checkShuffled(o, "Image1", 0);
        QCOMPARE(o.form->LetteraGiusta, QStringLiteral("E"));
        QCOMPARE(o.form->Stile, qint16(3));
        QVERIFY(shows(o.control<PictureBox>("Image2"), "E", 3));
        QCOMPARE(o.h.random.draws, 10);
        QVERIFY(o.h.sound.played.isEmpty());
        QVERIFY(!o.control("Command1")->isEnabled());
        QVERIFY(!o.control("Command2")->isEnabled());
        QCOMPARE(o.background(), kBrown);
        QCOMPARE(o.window()->findChild<QMenu *>("mnuOpzioni")->actions().size(), 5);
    }

    void wrongFacesChangeNothingButTheCount()
    {
        Posizioni5 o;
        const QImage before = o.window()->grab().toImage();
        const QString vowel = o.form->LetteraGiusta;
        const int wrong = (o.rightPlace() + 1) % 5;
        for (int i = 0; i < 3; ++i)
            clickAsUser(o.face(wrong));
        QCOMPARE(o.window()->grab().toImage(), before);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 3);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 0);
        QCOMPARE(o.h.sound.played, QStringList(3, o.h.media().errorSound()));
        QCOMPARE(o.form->LetteraGiusta, vowel);
        QVERIFY(o.waiting());
    }

    void rightFaceStaysAloneAndLetsTheVowelBeHeard()
    {
        Posizioni5 o;
        const QString vowel = o.form->LetteraGiusta;
        const int right = o.rightPlace();
        clickAsUser(o.face(right));
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(o.visibleFaces(), 1);
        QVERIFY(o.face(right)->isVisible());
        QVERIFY(!o.face(right)->isEnabled());
        QCOMPARE(o.background(), vowelColour(vowel));
        QCOMPARE(o.h.sound.played, QStringList{o.h.media().voice(vowel)});
        QCOMPARE(o.h.modulo->Percorso, o.h.media().voice(vowel));
        QCOMPARE(o.h.modulo->Contatore.value(), 1);

        // The face left on its own ignores the mouse.
        QTest::mouseClick(o.face(right), Qt::LeftButton);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(o.h.sound.played.size(), 1);

        clickAsUser(o.control("Command1"));
        QCOMPARE(o.h.sound.played, QStringList(2, o.h.media().voice(vowel)));
        QCOMPARE(o.h.modulo->Contatore.value(), 2);

        clickAsUser(o.control("Command2"));
        QCOMPARE(o.visibleFaces(), 5);
        for (int k = 0; k < 5; ++k)
            QVERIFY(o.face(k)->isEnabled());
        QVERIFY(o.waiting());
        QVERIFY(!o.control("Command1")->isEnabled());
        QVERIFY(o.form->LetteraGiusta != vowel);
        QCOMPARE(o.background(), vowelColour(vowel)); // kept until the next right answer
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
    }

    void neverTheSameWrittenVowelTwiceInARow()
    {
        // Turns start from the next button, from a style item and from an
        // activation, in turn; the generator is seeded.
        Posizioni5 o;
        std::set<int> randomStyles;
        int fixedStyle = 0;
        for (int turn = 0; turn < 10000; ++turn) {
            const QString before = o.form->LetteraGiusta;
            if (o.waiting())
                clickAsUser(o.face(o.rightPlace()));
            if (turn % 10 == 3) {
                const int item = (turn / 10) % 5;
                o.action(QStringLiteral("mnuCaratteri_%1").arg(item))->trigger();
                fixedStyle = item;
                QCOMPARE(o.visibleFaces(), 5);
                QVERIFY(o.waiting());
            } else if (turn % 100 == 7) {
                o.reactivate();
            } else {
                clickAsUser(o.control("Command2"));
            }
            QVERIFY2(o.form->LetteraGiusta != before, qPrintable(QString::number(turn)));
            if (fixedStyle)
                QCOMPARE(o.form->Stile, qint16(fixedStyle));
            else
                randomStyles.insert(o.form->Stile);
            QVERIFY(shows(o.control<PictureBox>("Image2"), o.form->LetteraGiusta, o.form->Stile));
            QStringList sorted = o.tags("Image1");
            sorted.sort();
            QCOMPARE(sorted, kVowels);
            if (turn % 97 == 0)
                checkShuffled(o, "Image1", 0);
        }
        QCOMPARE(randomStyles, (std::set<int>{1, 2, 3, 4}));
    }

    void styleChoiceWhileAnsweredStartsAFreshTurn()
    {
        Posizioni5 o;
        clickAsUser(o.face(o.rightPlace()));
        o.action("mnuCaratteri_2")->trigger();
        QCOMPARE(o.form->checkedStyleItem(), 2);
        QCOMPARE(o.visibleFaces(), 5);
        for (int k = 0; k < 5; ++k)
            QVERIFY(o.face(k)->isEnabled());
        QVERIFY(!o.control("Command1")->isEnabled());
        QVERIFY(!o.control("Command2")->isEnabled());
        QVERIFY(shows(o.control<PictureBox>("Image2"), o.form->LetteraGiusta, 2));
    }

    void activationWhileAnsweredKeepsTheLoneFaceAndTheButtons()
    {
        Posizioni5 o;
        const int right = o.rightPlace();
        clickAsUser(o.face(right));
        const QString vowel = o.form->LetteraGiusta;
        o.reactivate();
        QVERIFY(o.form->LetteraGiusta != vowel);
        QCOMPARE(o.visibleFaces(), 1);
        QVERIFY(!o.face(right)->isEnabled());
        QVERIFY(o.control("Command1")->isEnabled());
        QVERIFY(o.control("Command2")->isEnabled());
        QCOMPARE(o.h.sound.played.size(), 1); // no voice on activation
        clickAsUser(o.control("Command2"));
        QCOMPARE(o.visibleFaces(), 5);
        QVERIFY(o.waiting());
    }

    void chosenStyleOutlivesTheWindowButNotItsCheckMark()
    {
        Posizioni5 o;
        o.action("mnuCaratteri_4")->trigger();
        o.h.boxes.answers = {MessageBox::Answer::Yes};
        o.action("mnuEsci")->trigger();
        QVERIFY(!o.form->isLoaded());
        Form *menu = o.h.windows->form(FormId::Menu);
        QVERIFY(menu->isLoaded());
        clickAsUser(menu->window()->findChild<QPushButton *>("Command5"));
        QVERIFY(o.form->isLoaded());
        QVERIFY(!menu->isLoaded());
        QCOMPARE(o.form->checkedStyleItem(), 0);
        QCOMPARE(o.form->Stile, qint16(4));
        QVERIFY(shows(o.control<PictureBox>("Image2"), o.form->LetteraGiusta, 4));
        QCOMPARE(o.background(), kBrown);
        QVERIFY(!o.control("Command1")->isEnabled());
    }

    void eachStyleItemPairsItsTwoStyles()
    {
        Caratteri1 o;
        QCOMPARE(o.background(), kBrown);
        QVERIFY(o.h.windows->form(FormId::Menu)->isLoaded()); // the menu stays open
        const std::pair<int, int> expected[] = {{2, 1}, {1, 2}, {4, 3}, {3, 4}, {1, 3}, {3, 1}, {2, 4}, {4, 2}};
        // The defaults after activation are those of the first item.
        QVERIFY(shows(o.model(), "A", 2));
        checkShuffled(o, "Image1", 1);
        for (int item = 7; item >= 0; --item) {
            o.action(QStringLiteral("mnuCaratteri_%1").arg(item))->trigger();
            QCOMPARE(o.form->checkedStyleItem(), item);
            QVERIFY2(shows(o.model(), "A", expected[item].first), qPrintable(QString::number(item)));
            checkShuffled(o, "Image1", expected[item].second);
            QVERIFY(!o.control("Command2")->isEnabled());
        }
    }

    void aSeriesOfFiveEndsInANewSeriesOnGreen()
    {
        Caratteri1 o;
        for (int pair = 0; pair < 5; ++pair) {
            const QString vowel = kVowels[pair];
            QVERIFY(shows(o.model(), vowel, 2));
            const int column = o.placeOf("Image1", vowel);
            o.pairRight();
            QCOMPARE(o.form->CoppieFatte, qint16(pair + 1));
            QCOMPARE(o.visibleColumns(), 2);
            QVERIFY(o.box("Image3", column)->isVisible() && !o.box("Image3", column)->isEnabled());
            QVERIFY(o.box("Image1", column)->isVisible() && !o.box("Image1", column)->isEnabled());
            QVERIFY(shows(o.box("Image3", column), vowel, 2));
            QCOMPARE(o.background(), vowelColour(vowel));
            QCOMPARE(o.h.sound.played.last(), o.h.media().voice(vowel));
            QVERIFY(o.control("Command2")->isEnabled());
            clickAsUser(o.control("Command2"));
            QVERIFY(!o.control("Command2")->isEnabled());
            QCOMPARE(o.visibleColumns(), 10);
        }
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 5);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 0);
        QCOMPARE(o.h.sound.played.size(), 5); // voices only, no praise
        QCOMPARE(o.form->CoppieFatte, qint16(0));
        QVERIFY(shows(o.model(), "A", 2));
        checkShuffled(o, "Image1", 1);
        for (int k = 0; k < 5; ++k)
            QVERIFY(isEmptyBox(o.box("Image3", k)));
        QCOMPARE(o.background(), QColor(0, 192, 0));
    }

    void aBoxFilledEarlierIsWrong()
    {
        Caratteri1 o;
        const int columnA = o.placeOf("Image1", "A");
        o.pairRight();
        clickAsUser(o.control("Command2"));
        QVERIFY(shows(o.model(), "E", 2));
        const QImage before = o.window()->grab().toImage();
        clickAsUser(o.box("Image3", columnA));
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 1);
        QCOMPARE(o.h.sound.played.last(), o.h.media().errorSound());
        QCOMPARE(o.window()->grab().toImage(), before);
        QVERIFY(shows(o.box("Image3", columnA), "A", 2));
        // Any other wrong box too.
        clickAsUser(o.box("Image3", (o.placeOf("Image1", "E") + 1) % 5 == columnA
                                        ? (o.placeOf("Image1", "E") + 2) % 5
                                        : (o.placeOf("Image1", "E") + 1) % 5));
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 2);
        QCOMPARE(o.form->CoppieFatte, qint16(1));
        o.pairRight();
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 2);
    }

    void reactivationWhilePairedStartsANewSeriesBehindTheLoneColumn()
    {
        Caratteri1 o;
        const int first = o.placeOf("Image1", "A");
        o.pairRight();
        // The matched column is inert.
        QTest::mouseClick(o.box("Image3", first), Qt::LeftButton);
        QTest::mouseClick(o.box("Image1", first), Qt::LeftButton);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 0);
        QCOMPARE(o.h.sound.played.size(), 1);
        o.action("mnuCaratteri_1")->trigger();
        o.pairRight();
        const int column = o.placeOf("Image1", "A");
        o.reactivate();
        QCOMPARE(o.form->CoppieFatte, qint16(0));
        QCOMPARE(o.form->checkedStyleItem(), 1); // the mark stays, the styles go back
        QVERIFY(shows(o.model(), "A", 2));
        QCOMPARE(o.visibleColumns(), 2);
        QVERIFY(!o.box("Image3", column)->isEnabled());
        QVERIFY(o.control("Command2")->isEnabled());
        clickAsUser(o.control("Command2"));
        QCOMPARE(o.visibleColumns(), 10);
        QVERIFY(shows(o.model(), "A", 2));
        checkShuffled(o, "Image1", 1);
        QVERIFY(!o.control("Command2")->isEnabled());
        o.pairRight();
        QCOMPARE(o.h.sound.played.last(), o.h.media().voice("A"));
    }

    void styleChoiceMidSeriesDiscardsIt()
    {
        Caratteri1 o;
        o.pairRight();
        clickAsUser(o.control("Command2"));
        o.pairRight();
        o.action("mnuCaratteri_3")->trigger(); // while a pair is shown
        QCOMPARE(o.form->CoppieFatte, qint16(0));
        QVERIFY(!o.control("Command2")->isEnabled());
        QCOMPARE(o.visibleColumns(), 10);
        QVERIFY(shows(o.model(), "A", 3));
        checkShuffled(o, "Image1", 4);
        for (int k = 0; k < 5; ++k)
            QVERIFY(isEmptyBox(o.box("Image3", k)));

        o.pairRight();
        clickAsUser(o.control("Command2"));
        const int draws = o.h.random.draws;
        o.action("mnuCaratteri_3")->trigger(); // the marked item, mid-series
        QVERIFY(o.h.random.draws >= draws + 5);
        QVERIFY(shows(o.model(), "A", 3));
        for (int k = 0; k < 5; ++k)
            QVERIFY(isEmptyBox(o.box("Image3", k)));
    }
};

QTEST_MAIN(MatchingClickTest)
#include "test_matching_click.moc"
