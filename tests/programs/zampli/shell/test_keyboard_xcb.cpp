// SPDX-License-Identifier: GPL-3.0-or-later
// A child who plays without the mouse: real key presses through the X
// server (xdotool), one whole turn in every window, and the focus frame
// looked for on the screen itself.

#include "FocusRing.h"
#include "KeyPresses.h"
#include "MatchingPictures.h"
#include "WindowWalk.h"

#include "exercises/initial/InitialVowel.h"
#include "exercises/listening/FivePictureListening.h"
#include "exercises/listening/SinglePictureListening.h"
#include "exercises/matching/CharacterClickMatching.h"
#include "exercises/matching/CharacterDragMatching.h"
#include "exercises/matching/PositionMatching.h"
#include "exercises/recognition/PictureRecognition.h"

#include <QApplication>
#include <QCursor>
#include <QProcess>
#include <QScreen>

using namespace zampli;
using namespace zampli::test;

namespace {

#define FIRST_KEY_SHOWS_FRAME(...)                                                                                     \
    do {                                                                                                               \
        firstKeyShowsFrame(__VA_ARGS__);                                                                               \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)
#define SETTLES(cond) QVERIFY2(QTest::qWaitFor([&] { return bool(cond); }, 5000), #cond)

// Presses the left button near the bottom left corner of the active window,
// on its ground, through the X server; false when xdotool could not. The
// pointer's arrival is waited for here: xdotool's own --sync waits some 15 s
// when the pointer already stands on the spot, as it does after a click on
// a window of the same size.
bool clickGround()
{
    QWidget *w = QApplication::activeWindow();
    if (!w)
        return false;
    const QPoint at = w->mapToGlobal(QPoint(12, w->height() - 12));
    return QProcess::execute("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y())}) == 0
           && QTest::qWaitFor([&] { return QCursor::pos() == at; }, 5000)
           && QProcess::execute("xdotool", {"click", "1"}) == 0;
}

// Tab until `target` has the focus: round every control in reading order.
bool focusOn(QWidget *target) { return pressUntilFocused("Tab", target); }

// Four design pixels at the scale `w` is shown: its width on screen over its width in the design.
int fourDesignPixels(const QWidget *w, int designTwips) { return int(4.0 * w->width() / (designTwips / 15.0)); }

} // namespace

class KeyboardXcbTest : public QObject {
    Q_OBJECT

    // The first key only shows the frame, on the first control in reading
    // order; the test then finds it on the screen, at least four design pixels thick.
    template <class F> void firstKeyShowsFrame(Open<F> &o, QWidget *first, int designTwips)
    {
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        const int played = int(o.h.sound.played.size());
        QVERIFY(press("Tab"));
        SETTLES(focused() == first);
        QTRY_VERIFY2(ringOnScreen(first) >= fourDesignPixels(first, designTwips),
                     qPrintable(QString::number(ringOnScreen(first))));
        QCOMPARE(o.h.sound.played.size(), played); // nothing pressed yet
    }

private slots:
    void titleGoesOnWithReturnOrSpace_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("Return") << "Return";
        QTest::newRow("Space") << "space";
    }
    void titleGoesOnWithReturnOrSpace()
    {
        QFETCH(QString, key);
        Harness h;
        Form *title = h.windows->form(FormId::Avvio);
        title->Show();
        QVERIFY(QTest::qWaitForWindowActive(title->window()));
        // Escape is "no" and "back" everywhere else: here it leaves the title be.
        QVERIFY(pressAndWait("Escape"));
        QVERIFY(title->isLoaded());
        QVERIFY(press(key));
        SETTLES(!title->isLoaded());
        QVERIFY(h.windows->form(FormId::Menu)->window()->isVisible());
    }

    // A key marks the keyboard as in use and the next press of the mouse
    // hides the frame, also on the title, the one window without a frame.
    // Keys and clicks in any order, on the title and then on the menu: the
    // program lives and still answers.
    void keysAndClicksInAnyOrder_data()
    {
        QTest::addColumn<QStringList>("steps");
        for (const char *key : {"Tab", "Right", "space", "Return"})
            QTest::addRow("%s click", key) << QStringList{key, "click"};
        for (const char *key : {"Tab", "Down"})
            QTest::addRow("click %s click", key) << QStringList{"click", key, "click"};
        QTest::newRow("Tab Tab click") << QStringList{"Tab", "Tab", "click"};
        QTest::newRow("Escape Tab click Tab click") << QStringList{"Escape", "Tab", "click", "Tab", "click"};
        QTest::newRow("Tab space click Return") << QStringList{"Tab", "space", "click", "Return"};
        QTest::newRow("Down Return Tab click space click")
            << QStringList{"Down", "Return", "Tab", "click", "space", "click"};
    }
    void keysAndClicksInAnyOrder()
    {
        QFETCH(QStringList, steps);
        Harness h;
        h.writeVowelPictures();
        Form *title = h.windows->form(FormId::Avvio);
        title->Show();
        QVERIFY(QTest::qWaitForWindowActive(title->window()));
        for (const QString &step : steps) {
            QVERIFY2(step == "click" ? clickGround() : press(step), qPrintable(step));
            // Either the step changed the window in front, or the program
            // has taken it and comes back to its loop.
            bool served = false;
            QTimer::singleShot(0, [&] { served = true; });
            SETTLES(served && QApplication::activeWindow());
        }
        // Still answering: the first click or press leaves the title for the menu.
        SETTLES(!title->isLoaded() || title->window()->isActiveWindow());
        if (title->isLoaded()) {
            QVERIFY(clickGround());
            SETTLES(!title->isLoaded());
        }
        SETTLES(QApplication::activeWindow() && QApplication::activeWindow()->isVisible());
    }

    // From the title to a recognition window and a right answer by keyboard;
    // the menu's focus is as plain as the windows'. A keyboard in use stays
    // in use from window to window: no key is spent to show the frame.
    void fromTitleToAnAnswerByKeyboard()
    {
        Harness h;
        h.writeVowelPictures();
        Form *title = h.windows->form(FormId::Avvio);
        title->Show();
        QVERIFY(QTest::qWaitForWindowActive(title->window()));
        QVERIFY(press("Return"));
        Form *menu = h.windows->form(FormId::Menu);
        SETTLES(menu->isLoaded() && menu->window()->isActiveWindow());
        QWidget *command1 = menu->window()->findChild<QWidget *>("Command1");
        SETTLES(focused() == command1);
        QTRY_VERIFY2(ringOnScreen(command1) >= fourDesignPixels(command1, 4000),
                     qPrintable(QString::number(ringOnScreen(command1))));
        // The menu keeps its own tab order: "Informazioni" comes second.
        QVERIFY(press("Tab"));
        SETTLES(focused() == menu->window()->findChild<QWidget *>("Command3D6"));
        QVERIFY(press("Return"));
        SETTLES(h.boxes.shown.size() == 1);
        QWidget *command3 = menu->window()->findChild<QWidget *>("Command3");
        for (int i = 0; i < 4 && focused() != command3; ++i) {
            QWidget *before = focused();
            QVERIFY(press("Tab"));
            SETTLES(focused() != before);
        }
        QCOMPARE(focused(), command3);
        QVERIFY(press("space"));
        auto &form = h.windows->form<PictureRecognition>(FormId::Posizioni3);
        SETTLES(form.isLoaded() && form.window()->isActiveWindow());
        QWidget *first = form.window()->findChild<QWidget *>("Image1_0");
        SETTLES(focused() == first);
        QTRY_VERIFY(ringOnScreen(first) >= fourDesignPixels(first, 2415));
        QWidget *right = nullptr;
        for (int k = 0; k < 3; ++k)
            if (auto *box = form.window()->findChild<PictureBox *>(QStringLiteral("Image1_%1").arg(k));
                h.media().voice(box->tag()) == h.sound.played.value(0))
                right = box;
        QVERIFY(right && focusOn(right));
        QVERIFY(press("space"));
        SETTLES(h.modulo->EserciziEseguiti.value() == 1);
    }

    void listeningToOne_data()
    {
        QTest::addColumn<FormId>("id");
        QTest::addColumn<QString>("menuButton");
        QTest::newRow("FormPosizioni1") << FormId::Posizioni1 << "Command1";
        QTest::newRow("FormZampli1") << FormId::Zampli1 << "Command6";
    }
    void listeningToOne()
    {
        QFETCH(FormId, id);
        QFETCH(QString, menuButton);
        Open<SinglePictureListening> o(id, qPrintable(menuButton));
        FIRST_KEY_SHOWS_FRAME(o, o.control<QWidget>("Image1"), 5775);
        const QString voice = o.h.sound.played.value(0);
        QVERIFY(press("Return")); // the picture says it again
        SETTLES(o.h.sound.played == QStringList({voice, voice}));
        tick(o.h, o.form, 3);
        QVERIFY(focusOn(o.control<QWidget>("Command1")));
        QVERIFY(press("space"));
        SETTLES(o.h.sound.played.size() == 3);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QVERIFY(o.h.sound.played[2] != voice); // another vowel
    }

    void listeningToFive_data()
    {
        QTest::addColumn<FormId>("id");
        QTest::addColumn<QString>("menuButton");
        QTest::newRow("FormPosizioni2") << FormId::Posizioni2 << "Command2";
        QTest::newRow("FormZampli2") << FormId::Zampli2 << "Command7";
    }
    void listeningToFive()
    {
        QFETCH(FormId, id);
        QFETCH(QString, menuButton);
        Open<FivePictureListening> o(id, qPrintable(menuButton));
        PictureBox *topLeft = o.at("Image1", 0);
        FIRST_KEY_SHOWS_FRAME(o, topLeft, 2415);
        QVERIFY(focusOn(o.at("Image1", 1)));
        QVERIFY(press("space"));
        SETTLES(o.control("Image2")->isVisible());
        QCOMPARE(o.h.sound.played, QStringList{o.h.media().voice(o.at("Image1", 1)->tag())});
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(o.h.modulo->Contatore.value(), 1);
        tick(o.h, o.form, 3);
        QVERIFY(o.at("Image1", 1)->isVisible() && !o.control("Image2")->isVisible());
    }

    void recognising_data()
    {
        QTest::addColumn<FormId>("id");
        QTest::addColumn<QString>("menuButton");
        QTest::addColumn<int>("inPlay");
        QTest::newRow("FormPosizioni3") << FormId::Posizioni3 << "Command3" << 3;
        QTest::newRow("FormPosizioni4") << FormId::Posizioni4 << "Command4" << 5;
        QTest::newRow("FormZampli3") << FormId::Zampli3 << "Command8" << 3;
        QTest::newRow("FormZampli4") << FormId::Zampli4 << "Command9" << 5;
    }
    void recognising()
    {
        QFETCH(FormId, id);
        QFETCH(QString, menuButton);
        QFETCH(int, inPlay);
        Open<PictureRecognition> o(id, qPrintable(menuButton));
        FIRST_KEY_SHOWS_FRAME(o, o.at("Image1", 0), 2415);
        QStringList heard{o.h.sound.played.value(0)};
        PictureBox *right = nullptr, *wrong = nullptr;
        for (int k = 0; k < inPlay; ++k)
            (o.h.media().voice(o.at("Image1", k)->tag()) == heard[0] ? right : wrong) = o.at("Image1", k);
        QVERIFY(right && wrong);

        QVERIFY(focusOn(wrong));
        QVERIFY(press("space"));
        SETTLES(o.h.modulo->EserciziErrati.value() == 1);
        QVERIFY(focusOn(right));
        QVERIFY(press("Return"));
        SETTLES(o.h.modulo->EserciziEseguiti.value() == 1);
        heard << o.h.media().errorSound();
        QCOMPARE(o.h.sound.played, heard);
        QVERIFY(o.control<QWidget>("Shape1")->isVisible());
        QVERIFY(focusOn(o.control<QWidget>("Command2")));
        QVERIFY(press("space"));
        SETTLES(o.h.sound.played.size() == 3);
        QVERIFY(!o.control<QWidget>("Command2")->isVisible() && o.at("Image1", 0)->isEnabled());

        // A press of the mouse puts the frame away; the child's mouse works as ever.
        QWidget *withFocus = focused();
        QVERIFY(withFocus);
        QTRY_VERIFY(ringOnScreen(withFocus) > 0);
        clickAsUser(o.control<QWidget>("Command1"));
        QCOMPARE(o.h.sound.played.size(), 4);
        QTRY_COMPARE(ringOnScreen(withFocus), 0);
    }

    // The menu bar is the adult's and keeps its keys: Alt, then the arrows along it.
    void matchingFaces()
    {
        Open<PositionMatching> o(FormId::Posizioni5, "Command5");
        FIRST_KEY_SHOWS_FRAME(o, o.at("Image1", 0), 1695);
        const QString written = o.form->turn().written();
        const int right = o.placeOf("Image1", written);
        QVERIFY(focusOn(o.at("Image1", (right + 1) % 5)));
        QVERIFY(press("space"));
        SETTLES(o.h.modulo->EserciziErrati.value() == 1);
        QVERIFY(focusOn(o.at("Image1", right)));
        QVERIFY(press("space"));
        SETTLES(o.h.modulo->EserciziEseguiti.value() == 1);
        QCOMPARE(o.h.sound.played, QStringList({o.h.media().errorSound(), o.h.media().voice(written)}));
        QVERIFY(focusOn(o.control<QWidget>("Command2")));
        QVERIFY(press("space"));
        SETTLES(o.count("Image1", &QWidget::isVisible) == 5);
        QVERIFY(!o.on("Command2"));
    }

    void matchingLettersByClick()
    {
        Open<CharacterClickMatching> o(FormId::Caratteri1, "Command10");
        FIRST_KEY_SHOWS_FRAME(o, o.at("Image3", 0), 1695);
        const int right = o.placeOf("Image1", "A"); // a series starts with A
        QVERIFY(focusOn(o.at("Image3", (right + 1) % 5)));
        QVERIFY(press("space"));
        SETTLES(o.h.modulo->EserciziErrati.value() == 1);
        QVERIFY(focusOn(o.at("Image3", right)));
        QVERIFY(press("space"));
        SETTLES(o.h.modulo->EserciziEseguiti.value() == 1);
        QCOMPARE(o.h.sound.played, QStringList({o.h.media().errorSound(), o.h.media().voice("A")}));
        QVERIFY(shows(o.at("Image3", right), "A", 2));
        QVERIFY(focusOn(o.control<QWidget>("Command2")));
        QVERIFY(press("space"));
        SETTLES(o.count("Image3", &QWidget::isVisible) == 5);
    }

    // Space lifts a piece and drops it on the focused box, judged as a drop
    // of the mouse: a wrong box sounds the error and the piece stays.
    void matchingLettersBySpaceDrops()
    {
        Open<CharacterDragMatching> o(FormId::Caratteri2, "Command11");
        QWidget *topPiece = nullptr;
        for (int k = 0; k < 5; ++k)
            if (o.at("Image1", k)->y() < o.at("Image3", 1)->y())
                topPiece = o.at("Image1", k);
        FIRST_KEY_SHOWS_FRAME(o, topPiece, 1695);
        // Row by row as the pieces were dealt: the piece, then the box beside it.
        QStringList expected, order{focused()->objectName()};
        for (int row = 0; row < 5; ++row) {
            for (int k = 0; k < 5; ++k)
                if (o.at("Image1", k)->y() == o.at("Image3", row)->y())
                    expected << o.at("Image1", k)->objectName();
            expected << QStringLiteral("Image3_%1").arg(row);
        }
        for (int i = 1; i < 10; ++i) {
            QVERIFY(press("Tab"));
            SETTLES(focused()->objectName() != order.last());
            order << focused()->objectName();
        }
        QCOMPARE(order, expected);

        QVERIFY(focusOn(o.at("Image1", 0)));
        QVERIFY(press("space"));
        QVERIFY(focusOn(o.at("Image3", 1)));
        QVERIFY(press("space"));
        SETTLES(o.h.modulo->EserciziErrati.value() == 1);
        QVERIFY(shows(o.at("Image1", 0), "A", 1) && isEmptyBox(o.at("Image3", 1)));
        QVERIFY(pressAndWait("space")); // nothing lifted now: the box alone does nothing
        QCOMPARE(o.h.sound.played, QStringList{o.h.media().errorSound()});

        for (int k = 0; k < 5; ++k) {
            QVERIFY(focusOn(o.at("Image1", k)));
            QVERIFY(press("space"));
            QVERIFY(focusOn(o.at("Image3", k)));
            QVERIFY(press("space"));
            SETTLES(o.h.modulo->EserciziEseguiti.value() == k + 1);
            QVERIFY(shows(o.at("Image3", k), kVowels[k], 1));
        }
        QCOMPARE(o.h.sound.played, QStringList({o.h.media().errorSound(), o.h.media().voice("A"),
                                                o.h.media().voice("E"), o.h.media().voice("I"),
                                                o.h.media().voice("O"), o.h.media().voice("U")}));
        QVERIFY(focusOn(o.control<QWidget>("Command2")));
        QVERIFY(press("space"));
        SETTLES(o.count("Image1", &QWidget::isEnabled) == 5);
    }

    // INIZIA PER: the tiles (letters and all), the picture and both buttons
    // in reading order, then a turn.
    void initialVowel()
    {
        Open<InitialVowel> o = openIniziaPer();
        FIRST_KEY_SHOWS_FRAME(o, o.control<QWidget>("Frame1_0"), 2415);
        QStringList order{focused()->objectName()};
        for (int i = 0; i < 6; ++i) {
            QVERIFY(press("Tab"));
            SETTLES(focused()->objectName() != order.last());
            order << focused()->objectName();
        }
        QCOMPARE(order, QStringList({"Frame1_0", "Frame1_1", "Frame1_2", "Frame1_3", "Frame1_4", "Image1",
                                     "Command2"}));
        QVERIFY(press("Tab")); // round to the first: "Command1" waits for an answer
        SETTLES(focused()->objectName() == "Frame1_0");

        QVERIFY(focusOn(o.control<QWidget>("Frame1_1")));
        QVERIFY(press("space"));
        SETTLES(o.h.modulo->EserciziErrati.value() == 1);
        QVERIFY(focusOn(o.control<QWidget>("Frame1_2"))); // "isola" begins with I
        QVERIFY(press("Return"));
        SETTLES(o.h.modulo->EserciziEseguiti.value() == 1);
        QCOMPARE(o.h.sound.played.mid(1, 2), QStringList({o.h.media().errorSound(), o.h.media().praise(1)}));
        o.h.random.scriptNumbers(5, {5});
        o.h.random.scriptNumbers(1, {1});
        QVERIFY(focusOn(o.control<QWidget>("Command1")));
        QVERIFY(press("space"));
        SETTLES(o.h.sound.played.size() == 4);
        QCOMPARE(o.h.sound.played.last(), o.h.media().voice("uva"));
    }

private:
    // One word a list; the first question is "isola", the praise the first one.
    static Open<InitialVowel> openIniziaPer();
};

Open<InitialVowel> KeyboardXcbTest::openIniziaPer()
{
    return Open<InitialVowel>(FormId::IniziaPer, "Command12", {}, [](Harness &h) {
        const std::pair<const char *, const char *> lists[] = {
            {"a", "ape"}, {"e", "elmo"}, {"i", "isola"}, {"o", "oca"}, {"u", "uva"}};
        QDir().mkpath(h.folder.filePath("testi"));
        for (const auto &[list, word] : lists) {
            QFile file(h.media().wordList(list));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(word) > 0);
            h.writePicture(h.media().wordPicture(word));
        }
        h.random.scriptNumbers(5, {3});
        h.random.scriptNumbers(1, {1});
        h.random.scriptNumbers(4, {1});
    });
}

QTEST_MAIN(KeyboardXcbTest)
#include "test_keyboard_xcb.moc"
