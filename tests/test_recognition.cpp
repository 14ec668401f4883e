#include "fakes/Fakes.h"

#include "exercises/recognition/PictureRecognition.h"
#include "shell/DesignCanvas.h"

#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <set>

using namespace zampli;
using namespace zampli::test;

namespace {

const QString kVowels = QStringLiteral("AEIOU");

// Every picture file gets a colour of its own, so a box shows which file it holds.
QColor fileColour(const QString &letter, int style)
{
    return QColor::fromHsv((int(kVowels.indexOf(letter)) * 5 + style) * 14, 255, 255);
}

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 12 && qAbs(a.green() - b.green()) < 12 && qAbs(a.blue() - b.blue()) < 12;
}

// The window as designed, written out apart from the program's own tables.
struct Design {
    int inPlay;
    bool letters;
    bool tints;
    const char *menuButton;
    std::array<int, 5> lefts;
    Pointer::Kind picturePointer;
};
const std::map<FormId, Design> kDesign = {
    {FormId::Posizioni3, {3, false, true, "Command3", {360, 3000, 5760, 360, 5760}, Pointer::Kind::Picture}},
    {FormId::Zampli3, {3, true, false, "Command8", {360, 3000, 5760, 360, 5760}, Pointer::Kind::Picture}},
    {FormId::Posizioni4, {5, false, true, "Command4", {360, 2880, 5400, 360, 5400}, Pointer::Kind::Normal}},
    {FormId::Zampli4, {5, true, false, "Command9", {360, 3000, 5760, 360, 5760}, Pointer::Kind::Picture}},
};
constexpr std::array<int, 5> kTops = {480, 480, 480, 3600, 3600};

// One turn's draws: A..U go to `places`, then place `spoken` is spoken.
struct Turn {
    std::array<int, 5> places;
    int spoken;
    int style = 1;
};

struct Open {
    Harness h;
    FormId id;
    const Design &d;
    PictureRecognition *form = nullptr;

    explicit Open(FormId which, std::optional<Turn> first = {}) : id(which), d(kDesign.at(which))
    {
        for (QChar l : kVowels)
            for (int style = 0; style <= 4; ++style)
                h.writePicture(style ? h.media().letterPicture(l, style) : h.media().facePicture(l),
                               fileColour(l, style));
        if (first)
            script(*first);
        form = &h.windows->form<PictureRecognition>(id);
        form->Show();
    }
    void script(const Turn &t)
    {
        if (d.letters)
            h.random.scriptNumbers(4, {t.style});
        for (int p : t.places)
            h.random.scriptNumbers(5, {p + 1});
        h.random.scriptNumbers(d.inPlay, {t.spoken + 1});
    }
    template <class W = QWidget> W *control(const QString &name) const { return form->window()->findChild<W *>(name); }
    PictureBox *box(int k) const { return control<PictureBox>(QStringLiteral("Image1_%1").arg(k)); }
    QColor background() const { return form->canvas()->background(); }
    // The vowel of the last voice played.
    QString heard() const
    {
        for (auto it = h.sound.played.crbegin(); it != h.sound.played.crend(); ++it)
            if (*it != h.media().errorSound())
                return QFileInfo(*it).completeBaseName();
        return {};
    }
    int answerBox() const
    {
        for (int k = 0; k < 5; ++k)
            if (box(k)->tag() == heard())
                return k;
        return -1;
    }
    void answer() { clickAsUser(box(answerBox())); }
    void next() { clickAsUser(control("Command2")); }
    bool answered() const { return control("Shape1")->isVisible() && control("Command2")->isVisible(); }
    // The style all five pictures share, 0 for faces; -1 if a box shows the wrong file.
    int shownStyle() const
    {
        for (int style = 0; style <= 4; ++style) {
            bool all = true;
            for (int k = 0; k < 5 && all; ++k)
                all = near(box(k)->picture().pixelColor(20, 15), fileColour(box(k)->tag(), style));
            if (all)
                return style;
        }
        return -1;
    }
    // Every vowel once; the spoken one is in play; each box shows its own file.
    void checkTurn() const
    {
        std::set<QString> tags;
        for (int k = 0; k < 5; ++k)
            tags.insert(box(k)->tag());
        QCOMPARE(tags, (std::set<QString>{"A", "E", "I", "O", "U"}));
        QVERIFY(answerBox() >= 0 && answerBox() < d.inPlay);
        QCOMPARE(shownStyle(), d.letters ? int(form->Stile) : 0);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(box(k)->isVisible(), k < d.inPlay);
    }
    void exitAndReopenFromMenu()
    {
        h.boxes.answers = {MessageBox::Answer::Yes};
        control<QAction>("mnuEsci")->trigger();
        Form *menu = h.windows->form(FormId::Menu);
        QVERIFY(!form->isLoaded() && menu->isLoaded());
        clickAsUser(menu->window()->findChild<QPushButton *>(d.menuButton));
        QVERIFY(form->isLoaded() && !menu->isLoaded());
        QCOMPARE(background(), QColor(128, 64, 0));
        QVERIFY(!answered());
    }
};

void addWindows(std::initializer_list<FormId> ids)
{
    QTest::addColumn<int>("id");
    for (FormId id : ids)
        QTest::newRow(qPrintable(exerciseWindow(id).name)) << int(id);
}

} // namespace

class RecognitionTest : public QObject {
    Q_OBJECT

private slots:
    void designState_data() { addWindows({FormId::Posizioni3, FormId::Zampli3, FormId::Posizioni4, FormId::Zampli4}); }
    void designState()
    {
        QFETCH(int, id);
        Open o{FormId(id)};
        DesignCanvas *c = o.form->canvas();
        QCOMPARE(c->designSize(), QSize(9360, 7200));
        QCOMPARE(o.background(), QColor(128, 64, 0));
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(c->twips(o.box(k)), QRect(o.d.lefts[k], kTops[k], 2415, 2175));
            QCOMPARE(o.box(k)->cursor().shape(),
                     o.d.picturePointer == Pointer::Kind::Normal ? Qt::ArrowCursor : Qt::BitmapCursor);
        }
        auto *shape1 = o.control<OutlineFrame>("Shape1");
        QVERIFY(shape1->isHidden());
        QCOMPARE(shape1->colour(), QColor(255, 0, 0));
        QCOMPARE(shape1->designWidth(), 5);
        auto *command1 = o.control<PictureButton>("Command1");
        auto *command2 = o.control<PictureButton>("Command2");
        QCOMPARE(command1->picture(), Art::FigureCard);
        QCOMPARE(command2->picture(), Art::NextArrow);
        QVERIFY(command1->isVisible() && command2->isHidden());
        QCOMPARE(command1->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(command2->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(command1->nextInFocusChain(), command2);
        QCOMPARE(o.form->window()->findChild<QMenu *>("mnuOpzioni") != nullptr, o.d.letters);
        QCOMPARE(o.h.sound.played.size(), 1);
        o.checkTurn();
    }

    void wrongThenRight_data() { designState_data(); }
    void wrongThenRight()
    {
        QFETCH(int, id);
        Open o{FormId(id), Turn{{0, 1, 2, 3, 4}, 0}}; // A in box 0, spoken
        QCOMPARE(o.heard(), QStringLiteral("A")); // the first turn of a run may speak any box
        QCOMPARE(o.h.random.draws, 6 + int(o.d.letters));
        const Counter16 &right = o.h.modulo->EserciziEseguiti, &wrong = o.h.modulo->EserciziErrati;
        clickAsUser(o.box(1));
        QCOMPARE(wrong.value(), 1);
        QCOMPARE(right.value(), 0);
        QCOMPARE(o.background(), QColor(0, 0, 0));
        QCOMPARE(o.h.sound.played, QStringList({o.h.media().voice("A"), o.h.media().errorSound()}));
        QVERIFY(!o.answered());

        clickAsUser(o.box(0));
        QCOMPARE(right.value(), 1);
        QCOMPARE(wrong.value(), 1);
        QCOMPARE(o.h.sound.played.size(), 2); // a right answer is silent
        QCOMPARE(o.background(), o.d.tints ? QColor(255, 0, 0) : QColor(0, 0, 0));
        QVERIFY(o.answered());

        o.next();
        QCOMPARE(o.background(), QColor(128, 64, 64));
        QVERIFY(!o.answered());
        const QString second = o.heard();
        QVERIFY(second != "A");
        o.answer();
        QCOMPARE(o.background(), o.d.tints ? vowelColour(second) : QColor(128, 64, 64));
        o.control<QAction>("mnuEsercizi")->trigger();
        QCOMPARE(o.h.boxes.shown.back().text,
                 QStringLiteral("Sono stati eseguiti  2 esercizi esatti e  1 esercizi errati. "));
    }

    void lockedAfterRightAndListenAgainAnytime_data() { designState_data(); }
    void lockedAfterRightAndListenAgainAnytime()
    {
        QFETCH(int, id);
        Open o{FormId(id)};
        const QString voice = o.h.sound.played.back();
        const auto listenAgain = [&] {
            const int right = o.h.modulo->EserciziEseguiti, wrong = o.h.modulo->EserciziErrati;
            const QColor colour = o.background();
            const bool answered = o.answered();
            clickAsUser(o.control("Command1"));
            QCOMPARE(o.h.sound.played.back(), voice);
            QCOMPARE(o.h.modulo->Percorso, voice);
            QCOMPARE(o.h.modulo->EserciziEseguiti.value(), right);
            QCOMPARE(o.h.modulo->EserciziErrati.value(), wrong);
            QCOMPARE(o.background(), colour);
            QCOMPARE(o.answered(), answered);
        };
        listenAgain();
        const int wrongBox = (o.answerBox() + 1) % o.d.inPlay;
        clickAsUser(o.box(wrongBox));
        clickAsUser(o.box(wrongBox)); // counts again
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 2);
        listenAgain();
        o.answer();
        listenAgain();

        // A child may still click a locked picture: nothing happens.
        const int sounds = o.h.sound.played.size();
        for (int k = 0; k < 5; ++k) {
            QVERIFY(!o.box(k)->isEnabled() || k >= o.d.inPlay);
            if (k < o.d.inPlay)
                QTest::mouseClick(o.box(k), Qt::LeftButton);
        }
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 2);
        QCOMPARE(o.h.sound.played.size(), sounds);
        QVERIFY(o.answered());

        o.next();
        for (int k = 0; k < o.d.inPlay; ++k)
            QVERIFY(o.box(k)->isEnabled());
        o.answer();
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 2);
    }

    void frameSurroundsTheClickedBox_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("line");
        for (FormId id : {FormId::Posizioni4, FormId::Zampli4}) {
            QTest::addRow("%s design size", exerciseWindow(id).name) << int(id) << 624 << 5;
            QTest::addRow("%s larger", exerciseWindow(id).name) << int(id) << 1248 << 10;
        }
    }
    void frameSurroundsTheClickedBox()
    {
        QFETCH(int, id);
        QFETCH(int, width);
        QFETCH(int, line);
        Open o{FormId(id), Turn{{0, 1, 2, 3, 4}, 0}};
        o.form->window()->resize(width, width * 7200 / 9360 + 200);
        QApplication::processEvents();
        auto *shape1 = o.control<OutlineFrame>("Shape1");
        for (int k = 0; k < 5; ++k) {
            if (k > 0) {
                o.script(Turn{{0, 1, 2, 3, 4}, k});
                o.next();
            }
            QCOMPARE(o.answerBox(), k);
            clickAsUser(o.box(k));
            QVERIFY(o.answered());
            QCOMPARE(o.form->canvas()->twips(shape1), QRect(o.d.lefts[k], kTops[k], 2415, 2175));
            QCOMPARE(shape1->lineWidth(), line);
            const QRect r = o.box(k)->geometry();
            QCOMPARE(shape1->geometry().adjusted(line, line, -line, -line), r);

            // On screen the ring is red and the picture whole.
            const QImage shot = o.form->canvas()->grab().toImage();
            const QColor picture = fileColour(o.box(k)->tag(), o.d.letters ? 1 : 0);
            for (QPoint inside : {r.topLeft(), r.bottomRight(), QPoint(r.center().x(), r.top())})
                QVERIFY(near(shot.pixelColor(inside), picture));
            for (QPoint ring : {r.topLeft() - QPoint(1, 1), r.bottomRight() + QPoint(line, line),
                                QPoint(r.center().x(), r.top() - line)})
                QCOMPARE(shot.pixelColor(ring), QColor(255, 0, 0));
        }
    }

    // Many turns as a child plays them, leaving through "Esci" and coming
    // back through the menu now and then.
    void manyTurnsNeverRepeatAndSpreadOverThePlaces_data() { designState_data(); }
    void manyTurnsNeverRepeatAndSpreadOverThePlaces()
    {
        QFETCH(int, id);
        Open o{FormId(id)};
        std::array<int, 5> rightAt{};
        QString before = o.heard();
        for (int turn = 1; turn <= 10000 && !QTest::currentTestFailed(); ++turn) {
            if (turn % 500 == 0) {
                o.exitAndReopenFromMenu();
            } else {
                o.answer();
                o.next();
            }
            QVERIFY(o.heard() != before);
            o.checkTurn();
            ++rightAt[o.answerBox()];
            before = o.heard();
        }
        for (int k = 0; k < 5; ++k) {
            const int expected = k < o.d.inPlay ? 10000 / o.d.inPlay : 0;
            QVERIFY2(qAbs(rightAt[k] - expected) <= expected / 10, qPrintable(QString::number(rightAt[k])));
        }
    }

    void styleChoiceStartsANewTurn_data() { addWindows({FormId::Zampli3, FormId::Zampli4}); }
    void styleChoiceStartsANewTurn()
    {
        QFETCH(int, id);
        Open o{FormId(id)};
        clickAsUser(o.box((o.answerBox() + 1) % o.d.inPlay));
        const QString before = o.heard();
        o.control<QAction>("mnuCaratteri_0")->trigger(); // the one already checked
        QCOMPARE(o.form->checkedStyleItem(), 0);
        QCOMPARE(o.h.sound.played.size(), 3);
        QVERIFY(o.heard() != before);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 1);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 0);
        QCOMPARE(o.background(), QColor(128, 64, 64));
        o.checkTurn();

        o.answer();
        o.control<QAction>("mnuCaratteri_3")->trigger();
        QVERIFY(!o.answered());
        for (int turn = 0; turn < 20; ++turn) {
            QCOMPARE(o.shownStyle(), 3);
            o.answer();
            o.next();
        }
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 1);

        o.control<QAction>("mnuCaratteri_0")->trigger();
        std::set<int> styles;
        for (int turn = 0; turn < 100; ++turn) {
            o.checkTurn();
            styles.insert(o.shownStyle());
            o.answer();
            o.next();
        }
        QCOMPARE(styles, (std::set<int>{1, 2, 3, 4}));
    }

    // The menu left open beside the window, then the window active again.
    void activationWhileAnsweredKeepsTheTurnLocked_data() { addWindows({FormId::Posizioni3, FormId::Zampli4}); }
    void activationWhileAnsweredKeepsTheTurnLocked()
    {
        QFETCH(int, id);
        Open o{FormId(id)};
        QWidget *exercise = o.form->window();
        QVERIFY(QTest::qWaitForWindowActive(exercise));
        o.answer();
        const QColor answeredColour = o.background();
        Form *menu = o.h.windows->form(FormId::Menu);
        menu->Show();
        QVERIFY(QTest::qWaitForWindowActive(menu->window()));
        o.h.modulo->EserciziEseguiti = 3;
        exercise->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(exercise));

        QCOMPARE(o.h.sound.played.size(), 2); // a new vowel, said
        o.checkTurn();
        QVERIFY(o.answered());
        for (int k = 0; k < 5; ++k)
            QVERIFY(!o.box(k)->isEnabled() || k >= o.d.inPlay);
        QCOMPARE(o.background(), answeredColour);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 3);

        o.next();
        QVERIFY(!o.answered());
        o.answer();
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 4);
    }

    void unreadablePictureShowsItsPlaceholderAndIsReportedOnce()
    {
        Open o(FormId::Posizioni3);
        QVERIFY(QFile::remove(o.h.media().facePicture("O")));
        for (int turn = 0; turn < 20; ++turn) {
            o.answer();
            o.next();
        }
        for (int k = 0; k < 5; ++k)
            QCOMPARE(o.box(k)->showsPlaceholder(), o.box(k)->tag() == "O");
        QCOMPARE(o.h.problems.size(), 1);
        QVERIFY(o.h.problems[0].contains(o.h.media().facePicture("O")));
    }
};

QTEST_MAIN(RecognitionTest)
#include "test_recognition.moc"
