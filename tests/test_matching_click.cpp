#include "MatchingPictures.h"

#include "exercises/matching/CharacterClickMatching.h"
#include "exercises/matching/PositionMatching.h"

#include <QMenu>
#include <set>

using namespace zampli;
using namespace zampli::test;

namespace {

const QColor kBrown(128, 64, 0);

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
    PictureBox *rightFace() const { return face(placeOf("Image1", form->LetteraGiusta)); }
    bool buttons(bool on) const
    {
        return button("Command1")->isEnabled() == on && button("Command2")->isEnabled() == on;
    }
    bool writes(int style) const { return shows(control("Image2"), form->LetteraGiusta, style); }
    // Waiting: five faces to click, both buttons off. Answered: the right face
    // alone and disabled, both buttons on.
    bool faces(int shown, int enabled) const
    {
        return count("Image1", &QWidget::isVisible) == shown && count("Image1", &QWidget::isEnabled) == enabled;
    }
    bool waiting() const { return faces(5, 5) && buttons(false); }
    bool answered() const { return faces(1, 4) && buttons(true); }
};

struct Caratteri1 : Open<CharacterClickMatching> {
    Caratteri1() : Open(FormId::Caratteri1, "Command10") {}
    // Clicks the box under the model's vowel.
    void pairRight() const { clickAsUser(at("Image3", placeOf("Image1", kVowels[form->CoppieFatte]))); }
    int columns() const { return count("Image1", &QWidget::isVisible) + count("Image3", &QWidget::isVisible); }
    bool model(const QString &letter, int style) const { return shows(control("Image2"), letter, style); }
    // A series starting: model A, a new row, empty boxes.
    bool fresh(int model, int row) const
    {
        return this->model("A", model) && shuffled(*this, row) && count("Image3", isEmptyBox) == 5;
    }
};

} // namespace

class MatchingClickTest : public QObject {
    Q_OBJECT

private slots:
    void aTurnOfFaces()
    {
        // A to place 2; E: 2 is taken, then 0; I to 4; O: 0 taken, then 1;
        // U: 4 taken, then 3. Then the vowel: place 0 (E); then the style: 3.
        Posizioni5 o({0.5, 0.5, 0.1, 0.9, 0.1, 0.3, 0.9, 0.7, 0.1, 0.6});
        QCOMPARE(o.h.random.draws, 10);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(o.face(k)->tag(), QString(QStringLiteral("EOAUI")[k]));
        QVERIFY(shuffled(o, 0) && o.writes(3) && o.waiting());
        QVERIFY(o.h.sound.played.isEmpty());
        QCOMPARE(o.background(), kBrown);
        QCOMPARE(o.window()->findChild<QMenu *>("mnuOpzioni")->actions().size(), 5);

        const QImage before = o.screen();
        for (int i = 0; i < 3; ++i)
            clickAsUser(o.face(1));
        QCOMPARE(o.screen(), before);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 3);
        QCOMPARE(o.h.sound.played, QStringList(3, o.h.media().errorSound()));

        clickAsUser(o.face(0));
        QVERIFY(o.answered() && o.face(0)->isVisible());
        QCOMPARE(o.background(), vowelColour("E"));
        QTest::mouseClick(o.face(0), Qt::LeftButton); // the lone face ignores the mouse
        clickAsUser(o.button("Command1"));
        QCOMPARE(o.h.sound.played.mid(3), QStringList(2, o.h.media().voice("E")));
        QCOMPARE(o.h.modulo->Contatore.value(), 2);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);

        clickAsUser(o.button("Command2"));
        QVERIFY(o.waiting() && o.form->LetteraGiusta != "E");
        QCOMPARE(o.background(), vowelColour("E")); // kept until the next right answer
        QCOMPARE(o.h.sound.played.size(), 5);
    }

    void neverTheSameWrittenVowelTwiceInARow()
    {
        // Each turn is answered, then the next one comes from the next button,
        // a style item or an activation; the generator is seeded.
        Posizioni5 o;
        std::set<int> randomStyles;
        int fixedStyle = 0, answers = 0;
        for (int turn = 0; turn < 1000; ++turn) {
            const QString before = o.form->LetteraGiusta;
            if (o.buttons(false) && ++answers)
                clickAsUser(o.rightFace());
            if (turn % 10 == 3) {
                o.choose(fixedStyle = (turn / 10) % 5);
                QVERIFY(o.waiting() && o.form->checkedStyleItem() == fixedStyle);
            } else if (turn % 25 == 7) {
                o.reactivate();
                QVERIFY(o.answered());
            } else {
                clickAsUser(o.button("Command2"));
            }
            QVERIFY2(o.form->LetteraGiusta != before, qPrintable(QString::number(turn)));
            if (fixedStyle)
                QCOMPARE(o.form->Stile, qint16(fixedStyle));
            else
                randomStyles.insert(o.form->Stile);
            QVERIFY(o.writes(o.form->Stile) && shuffled(o, 0));
        }
        QCOMPARE(randomStyles, (std::set<int>{1, 2, 3, 4}));
        // Voices after right answers only: none on a new turn or an activation.
        QCOMPARE(o.h.sound.played.size(), answers);
    }

    void chosenStyleOutlivesTheWindowButNotItsCheckMark()
    {
        Posizioni5 o;
        o.choose(4);
        o.h.boxes.answers = {MessageBox::Answer::Yes};
        o.control<QAction>("mnuEsci")->trigger();
        QVERIFY(!o.form->isLoaded());
        clickAsUser(o.menu()->window()->findChild<QPushButton *>("Command5"));
        QCOMPARE(o.form->checkedStyleItem(), 0);
        QVERIFY(o.writes(4) && o.waiting());
        QCOMPARE(o.background(), kBrown);
    }

    void seriesOfFiveInEachStylePair()
    {
        // Every series is played through, a box filled earlier clicked on the way.
        Caratteri1 o;
        QCOMPARE(o.background(), kBrown);
        QVERIFY(o.menu()->isLoaded() && o.fresh(2, 1));
        const std::pair<int, int> pairs[] = {{2, 1}, {1, 2}, {4, 3}, {3, 4}, {1, 3}, {3, 1}, {2, 4}, {4, 2}};
        for (int item = 7; item >= 0; --item) {
            o.choose(item);
            const auto [model, row] = pairs[item];
            QCOMPARE(o.form->checkedStyleItem(), item);
            QVERIFY2(o.fresh(model, row), qPrintable(QString::number(item)));
            for (int pair = 0, filled = -1; pair < 5; ++pair) {
                const QString vowel = kVowels[pair];
                QVERIFY(o.model(vowel, model));
                const QImage before = o.screen();
                if (filled >= 0)
                    clickAsUser(o.at("Image3", filled));
                QCOMPARE(o.screen(), before);
                filled = o.placeOf("Image1", vowel);
                o.pairRight();
                QCOMPARE(o.columns(), 2);
                for (const char *array : {"Image1", "Image3"})
                    QVERIFY(o.at(array, filled)->isVisible() && !o.at(array, filled)->isEnabled());
                QVERIFY(shows(o.at("Image3", filled), vowel, model));
                QCOMPARE(o.background(), vowelColour(vowel));
                QCOMPARE(o.h.sound.played.last(), o.h.media().voice(vowel));
                clickAsUser(o.button("Command2"));
                QVERIFY(!o.button("Command2")->isEnabled() && o.columns() == 10);
            }
            QVERIFY(o.fresh(model, row));
            QCOMPARE(o.background(), vowelColour("U"));
        }
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 40);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 32);
        QCOMPARE(o.h.sound.played.count(o.h.media().errorSound()), 32);
        QCOMPARE(o.h.sound.played.size(), 72); // and a voice for each pair, no praise
    }

    void styleChoiceAndActivationMidSeries()
    {
        Caratteri1 o;
        o.pairRight();
        clickAsUser(o.button("Command2"));
        o.pairRight();
        o.choose(3); // while a pair is shown: the series goes
        QCOMPARE(o.form->CoppieFatte, qint16(0));
        QVERIFY(!o.button("Command2")->isEnabled() && o.columns() == 10 && o.fresh(3, 4));

        o.pairRight();
        const int lone = o.placeOf("Image1", "A");
        o.reactivate(); // a new series behind the lone column; the mark stays, the styles go back
        QCOMPARE(o.form->CoppieFatte, qint16(0));
        QCOMPARE(o.form->checkedStyleItem(), 3);
        QVERIFY(o.model("A", 2) && o.columns() == 2 && !o.at("Image3", lone)->isEnabled());
        clickAsUser(o.button("Command2"));
        QVERIFY(o.columns() == 10 && o.fresh(2, 1) && !o.button("Command2")->isEnabled());
        o.pairRight();
        QCOMPARE(o.h.sound.played.last(), o.h.media().voice("A"));
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 0);
    }
};

QTEST_MAIN(MatchingClickTest)
#include "test_matching_click.moc"
