// SPDX-License-Identifier: GPL-3.0-or-later
// A child and a teacher without the mouse on the whiteboard: real key presses
// through the X server (xdotool) in every window, its grid, its menu bar and its
// questions; the focus frame and the grounds looked for on the screen itself.

#include "FocusRing.h"
#include "Grounds.h"
#include "KeyPresses.h"
#include "MatchingPictures.h"
#include "WindowWalk.h"
#include "WordListFiles.h"

#include "exercises/initial/InitialVowel.h"
#include "exercises/listening/FivePictureListening.h"
#include "exercises/listening/SinglePictureListening.h"
#include "exercises/matching/CharacterClickMatching.h"
#include "exercises/matching/CharacterDragMatching.h"
#include "exercises/matching/PositionMatching.h"
#include "exercises/recognition/PictureRecognition.h"
#include "shell/QtMessageBoxes.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFontInfo>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
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

// Presses the left button on the ground of the active window through the X
// server; false when xdotool could not. The pointer's arrival is waited for
// here: xdotool's --sync waits some 15 s when the pointer is already there.
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

// Tab to `target`, then press `key` on it.
bool choose(QWidget *target, const QString &key = "space") { return focusOn(target) && press(key); }

// Four design pixels at the scale `w` is shown: its width on screen over its width in the design.
int fourDesignPixels(const QWidget *w, int designTwips) { return int(4.0 * w->width() / (designTwips / 15.0)); }

QString name(const QWidget *w) { return w ? w->objectName() : QStringLiteral("(none)"); }

// A title of the menu bar by its name, or its menu's.
QString name(const QAction *a)
{
    if (!a)
        return QStringLiteral("(none)");
    const auto *menu = a->menu<QMenu *>();
    return menu ? menu->objectName() : a->objectName();
}

// The titles of the bar drawn otherwise than the bar's own ground, as the
// screen shows them: a title's ground is the colour most of its place has
// (its letters are few), the bar's is read past the last title.
QStringList titlesStandingOut(const QMenuBar *bar)
{
    const QPoint at = bar->mapToGlobal(QPoint());
    const QImage shot = bar->screen()->grabWindow(0, at.x(), at.y(), bar->width(), bar->height()).toImage();
    const QRgb ground = shot.pixel(shot.width() - 4, shot.height() / 2);
    QStringList out;
    for (QAction *a : bar->actions()) {
        QHash<QRgb, int> counts;
        const QRect place = bar->actionGeometry(a).intersected(shot.rect());
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x)
                ++counts[shot.pixel(x, y)];
        QRgb most = ground;
        for (auto c = counts.cbegin(); c != counts.cend(); ++c)
            if (c.value() > counts.value(most))
                most = c.key();
        if (most != ground)
            out << name(a);
    }
    return out;
}

// Presses the key of each "Key>Name" step in turn; what each leaves in
// focus, as a step. The key is over once its release is in.
QStringList walk(const QStringList &steps)
{
    QStringList seen;
    for (const QString &step : steps) {
        const QString key = step.section('>', 0, 0);
        seen << (pressAndWait(key) ? key + ">" + name(focused()) : key + " not pressed");
    }
    return seen;
}

// No window manager on this X server: the test gives the window the whole
// screen as one would, then F11 marks it as filling it.
bool fillTheScreen(QWidget *window)
{
    window->setGeometry(window->screen()->geometry());
    return QTest::qWaitFor([&] { return window->geometry() == window->screen()->geometry(); }, 5000) && press("F11")
           && QTest::qWaitFor([&] { return window->isFullScreen(); }, 5000);
}

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

    // From the title to a recognition window by keyboard: Return or Space
    // leaves the title, Escape ("no" and "back" everywhere else) leaves it
    // be. The menu's focus is as plain as the windows'. A keyboard in use
    // stays in use from window to window: no key is spent to show the frame.
    void fromTitleToAWindowByKeyboard_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("Return") << "Return";
        QTest::newRow("Space") << "space";
    }
    void fromTitleToAWindowByKeyboard()
    {
        QFETCH(QString, key);
        Harness h;
        h.writeVowelPictures();
        Form *title = h.windows->form(FormId::Avvio);
        title->Show();
        QVERIFY(QTest::qWaitForWindowActive(title->window()));
        QVERIFY(pressAndWait("Escape"));
        QVERIFY(title->isLoaded());
        QVERIFY(press(key));
        Form *menu = h.windows->form(FormId::Menu);
        SETTLES(!title->isLoaded() && menu->isLoaded() && menu->window()->isActiveWindow());
        QWidget *command1 = menu->window()->findChild<QWidget *>("Command1");
        SETTLES(focused() == command1);
        QTRY_VERIFY2(ringOnScreen(command1) >= fourDesignPixels(command1, 4000),
                     qPrintable(QString::number(ringOnScreen(command1))));
        // The menu keeps its own tab order: "Informazioni" comes second.
        QVERIFY(press("Tab"));
        SETTLES(focused() == menu->window()->findChild<QWidget *>("Command3D6"));
        QVERIFY(press("Return"));
        SETTLES(h.boxes.shown.size() == 1);
        QVERIFY(choose(menu->window()->findChild<QWidget *>("Command3")));
        auto &form = h.windows->form<PictureRecognition>(FormId::Posizioni3);
        SETTLES(form.isLoaded() && form.window()->isActiveWindow());
        QWidget *first = form.window()->findChild<QWidget *>("Image1_0");
        SETTLES(focused() == first);
        QTRY_VERIFY(ringOnScreen(first) >= fourDesignPixels(first, 2415));
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
        QVERIFY(choose(o.control<QWidget>("Command1")));
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
    // The picture chosen shows on its vowel's ground; more than two seconds
    // later the five come back on light orange.
    void listeningToFive()
    {
        QFETCH(FormId, id);
        QFETCH(QString, menuButton);
        Open<FivePictureListening> o(id, qPrintable(menuButton));
        PictureBox *topLeft = o.at("Image1", 0);
        FIRST_KEY_SHOWS_FRAME(o, topLeft, 2415);
        QTRY_COMPARE(groundOnScreen(o.window()), kLightOrange);
        const QString vowel = o.at("Image1", 1)->tag();
        QVERIFY(choose(o.at("Image1", 1)));
        SETTLES(o.control("Image2")->isVisible());
        QCOMPARE(o.h.sound.played, QStringList{o.h.media().voice(vowel)});
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(o.h.modulo->Contatore.value(), 1);
        QTRY_COMPARE(groundOnScreen(o.window()), kVowelGround.value(vowel));
        tick(o.h, o.form, 3);
        QVERIFY(o.at("Image1", 1)->isVisible() && !o.control("Image2")->isVisible());
        QTRY_COMPARE(groundOnScreen(o.window()), kLightOrange);
    }

    void recognising_data()
    {
        QTest::addColumn<FormId>("id");
        QTest::addColumn<QString>("menuButton");
        QTest::addColumn<int>("inPlay");
        QTest::addColumn<bool>("tints");
        QTest::newRow("FormPosizioni3") << FormId::Posizioni3 << "Command3" << 3 << true;
        QTest::newRow("FormPosizioni4") << FormId::Posizioni4 << "Command4" << 5 << true;
        QTest::newRow("FormZampli3") << FormId::Zampli3 << "Command8" << 3 << false;
        QTest::newRow("FormZampli4") << FormId::Zampli4 << "Command9" << 5 << false;
    }
    // A wrong answer turns the window black, the frame still seen on it; a
    // right one tints the face windows in the heard vowel's colour, leaves the
    // letter windows black; the next turn starts on reddish brown.
    void recognising()
    {
        QFETCH(FormId, id);
        QFETCH(QString, menuButton);
        QFETCH(int, inPlay);
        QFETCH(bool, tints);
        Open<PictureRecognition> o(id, qPrintable(menuButton));
        FIRST_KEY_SHOWS_FRAME(o, o.at("Image1", 0), 2415);
        QTRY_COMPARE(groundOnScreen(o.window()), kLoadedBrown);
        QStringList heard{o.h.sound.played.value(0)};
        PictureBox *right = nullptr, *wrong = nullptr;
        for (int k = 0; k < inPlay; ++k)
            (o.h.media().voice(o.at("Image1", k)->tag()) == heard[0] ? right : wrong) = o.at("Image1", k);
        QVERIFY(right && wrong);

        QVERIFY(choose(wrong));
        SETTLES(o.h.modulo->EserciziErrati.value() == 1);
        QTRY_COMPARE(groundOnScreen(o.window()), kWrongBlack);
        QVERIFY(focusOn(right));
        QTRY_VERIFY(ringOnScreen(right) >= 6); // on the black too, three screen pixels a band at least
        QVERIFY(press("Return"));
        SETTLES(o.h.modulo->EserciziEseguiti.value() == 1);
        heard << o.h.media().errorSound();
        QCOMPARE(o.h.sound.played, heard);
        // The red frame on screen: the right answer's paint has gone through.
        QTRY_COMPARE(onScreen(o.control<QWidget>("Shape1")).pixelColor(1, 1), QColor(255, 0, 0));
        QCOMPARE(groundOnScreen(o.window()), tints ? kVowelGround.value(right->tag()) : kWrongBlack);
        QVERIFY(choose(o.control<QWidget>("Command2")));
        SETTLES(o.h.sound.played.size() == 3);
        QVERIFY(!o.control<QWidget>("Command2")->isVisible() && o.at("Image1", 0)->isEnabled());
        QTRY_COMPARE(groundOnScreen(o.window()), kNextTurnBrown);

        // A press of the mouse puts the frame away; the child's mouse works as ever.
        QWidget *withFocus = focused();
        QVERIFY(withFocus);
        QTRY_VERIFY(ringOnScreen(withFocus) > 0);
        clickAsUser(o.control<QWidget>("Command1"));
        QCOMPARE(o.h.sound.played.size(), 4);
        QTRY_COMPARE(ringOnScreen(withFocus), 0);
    }

    // A wrong box leaves the brown; the right one tints the window in the
    // colour of the written vowel, or of the model's; then the next button.
    void matching_data()
    {
        QTest::addColumn<FormId>("id");
        QTest::addColumn<QString>("menuButton");
        QTest::addColumn<QString>("answers"); // the row the child answers on
        QTest::newRow("FormPosizioni5") << FormId::Posizioni5 << "Command5" << "Image1";
        QTest::newRow("FormCaratteri1") << FormId::Caratteri1 << "Command10" << "Image3";
    }
    void matching()
    {
        QFETCH(FormId, id);
        QFETCH(QString, menuButton);
        QFETCH(QString, answers);
        Open<Form> o(id, qPrintable(menuButton));
        const QByteArray rowName = answers.toLatin1();
        const char *row = rowName.constData();
        FIRST_KEY_SHOWS_FRAME(o, o.at(row, 0), 1695);
        QString letter; // written, or the model: as the picture shows it
        for (int style = 1; style <= 4; ++style)
            for (const QString &l : kVowels)
                letter = shows(o.control("Image2"), l, style) ? l : letter;
        const int right = o.placeOf("Image1", letter);
        QVERIFY(choose(o.at(row, (right + 1) % 5)));
        SETTLES(o.h.modulo->EserciziErrati.value() == 1);
        QCOMPARE(groundOnScreen(o.window()), kLoadedBrown);
        QVERIFY(choose(o.at(row, right)));
        SETTLES(o.h.modulo->EserciziEseguiti.value() == 1);
        QCOMPARE(o.h.sound.played, QStringList({o.h.media().errorSound(), o.h.media().voice(letter)}));
        QTRY_COMPARE(groundOnScreen(o.window()), kVowelGround.value(letter));
        QVERIFY(choose(o.control<QWidget>("Command2")));
        SETTLES(o.count(row, &QWidget::isVisible) == 5);
        QVERIFY(!o.on("Command2"));
    }

    // Space lifts a piece and drops it on the focused box, judged as a drop
    // of the mouse: a wrong box sounds the error and the piece stays.
    void matchingLettersBySpaceDrops()
    {
        Open<CharacterDragMatching> o(FormId::Caratteri2, "Command11", {0.9, 0.9, 0.9, 0.9, 0.9});
        FIRST_KEY_SHOWS_FRAME(o, o.at("Image1", 4), 1695); // the deal puts piece 4 at the top, then 0, 1...
        // Row by row as the pieces were dealt: the piece, then the box beside it.
        const QStringList order{"Tab>Image3_0", "Tab>Image1_0", "Tab>Image3_1", "Tab>Image1_1", "Tab>Image3_2",
                                "Tab>Image1_2", "Tab>Image3_3", "Tab>Image1_3", "Tab>Image3_4"};
        QCOMPARE(walk(order), order);

        QVERIFY(choose(o.at("Image1", 0)));
        QVERIFY(choose(o.at("Image3", 1)));
        SETTLES(o.h.modulo->EserciziErrati.value() == 1);
        QVERIFY(shows(o.at("Image1", 0), "A", 1) && isEmptyBox(o.at("Image3", 1)));
        QVERIFY(pressAndWait("space")); // nothing lifted now: the box alone does nothing
        QCOMPARE(o.h.sound.played, QStringList{o.h.media().errorSound()});

        for (int k = 0; k < 5; ++k) {
            QVERIFY(choose(o.at("Image1", k)));
            QVERIFY(choose(o.at("Image3", k)));
            SETTLES(o.h.modulo->EserciziEseguiti.value() == k + 1);
            QVERIFY(shows(o.at("Image3", k), kVowels[k], 1));
        }
        QCOMPARE(o.h.sound.played, QStringList({o.h.media().errorSound(), o.h.media().voice("A"),
                                                o.h.media().voice("E"), o.h.media().voice("I"),
                                                o.h.media().voice("O"), o.h.media().voice("U")}));
        QVERIFY(choose(o.control<QWidget>("Command2")));
        SETTLES(o.count("Image1", &QWidget::isEnabled) == 5);
    }

    // INIZIA PER: the tiles (letters and all), the picture and both buttons
    // in reading order, then a turn.
    void initialVowel()
    {
        // One word a list; the first question is "isola", the praise the first one.
        Open<InitialVowel> o(FormId::IniziaPer, "Command12", {}, [](Harness &h) {
            writeWordLists(h);
            h.random.scriptNumbers(5, {3});
            h.random.scriptNumbers(1, {1});
            h.random.scriptNumbers(4, {1});
        });
        FIRST_KEY_SHOWS_FRAME(o, o.control<QWidget>("Frame1_0"), 2415);
        // Round to the first at the end: "Command1" waits for an answer.
        const QStringList order{"Tab>Frame1_1", "Tab>Frame1_2", "Tab>Frame1_3", "Tab>Frame1_4",
                                "Tab>Image1",   "Tab>Command2", "Tab>Frame1_0"};
        QCOMPARE(walk(order), order);

        QVERIFY(choose(o.control<QWidget>("Frame1_1")));
        SETTLES(o.h.modulo->EserciziErrati.value() == 1);
        QVERIFY(choose(o.control<QWidget>("Frame1_2"), "Return")); // "isola" begins with I
        SETTLES(o.h.modulo->EserciziEseguiti.value() == 1);
        QCOMPARE(o.h.sound.played.mid(1, 2), QStringList({o.h.media().errorSound(), o.h.media().praise(1)}));
        o.h.random.scriptNumbers(5, {5});
        o.h.random.scriptNumbers(1, {1});
        QVERIFY(choose(o.control<QWidget>("Command1")));
        SETTLES(o.h.sound.played.size() == 4);
        QCOMPARE(o.h.sound.played.last(), o.h.media().voice("uva"));
    }

    // The arrows go as the controls stand, along a row and not round its end,
    // and only move: the menu's two columns; three letters above, two below
    // with the listening button between; FormCaratteri1's row of boxes; the
    // pieces beside their boxes (the deal puts piece 4 at the top, then 0, 1...).
    void arrowsFollowTheGrid_data()
    {
        QTest::addColumn<FormId>("id");
        QTest::addColumn<QString>("menuButton");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("menu") << FormId::Menu << QString() << QStringList{
            "Tab>Command1",    "Up>Command1",     "Left>Command1",   "Down>Command2",   "Down>Command3",
            "Right>Command11", "Down>Command12",  "Left>Command6",   "Right>Command12", "Down>Command3D6",
            "Down>Command3D5", "Down>Command3D5", "Left>Command9",   "Up>Command8",     "Up>Command7",
            "Up>Command6",     "Up>Command4",     "Right>Command11", "Up>Command10",    "Up>Command5",
            "Right>Command5",  "Left>Command1"};
        QTest::newRow("FormZampli4") << FormId::Zampli4 << "Command9" << QStringList{
            "Tab>Image1_0",  "Down>Image1_3",  "Up>Image1_0",    "Right>Image1_1", "Right>Image1_2", "Right>Image1_2",
            "Down>Image1_4", "Right>Image1_4", "Left>Command1",  "Up>Image1_1",    "Left>Image1_0",  "Left>Image1_0",
            "Down>Image1_3", "Down>Image1_3",  "Right>Command1", "Right>Image1_4", "Up>Image1_2"};
        QTest::newRow("FormCaratteri1") << FormId::Caratteri1 << "Command10" << QStringList{
            "Tab>Image3_0",   "Down>Image3_0", "Right>Image3_1", "Down>Image3_1",  "Right>Image3_2",
            "Right>Image3_3", "Right>Image3_4", "Right>Image3_4", "Up>Image3_4",   "Left>Image3_3",
            "Left>Image3_2",  "Left>Image3_1",  "Left>Image3_0",  "Left>Image3_0"};
        QTest::newRow("FormCaratteri2") << FormId::Caratteri2 << "Command11" << QStringList{
            "Tab>Image1_4",   "Down>Image1_0",  "Down>Image1_1", "Right>Image3_2", "Right>Image3_2",
            "Up>Image3_1",    "Left>Image1_0",  "Left>Image1_0", "Up>Image1_4",    "Up>Image1_4",
            "Right>Image3_0", "Down>Image3_1"};
    }
    void arrowsFollowTheGrid()
    {
        QFETCH(FormId, id);
        QFETCH(QString, menuButton);
        QFETCH(QStringList, steps);
        std::optional<Harness> alone;
        std::optional<Open<Form>> opened;
        if (menuButton.isEmpty())
            alone.emplace().windows->form(id)->Show();
        else
            opened.emplace(id, qPrintable(menuButton), std::initializer_list<double>{0.9, 0.9, 0.9, 0.9, 0.9});
        Harness &h = alone ? *alone : opened->h;
        QVERIFY(QTest::qWaitForWindowActive(h.windows->form(id)->window()));
        const qsizetype played = h.sound.played.size();
        QCOMPARE(walk(steps), steps);
        QCOMPARE(h.sound.played.size(), played);
        QVERIFY(h.boxes.shown.empty());
    }

    // F10 and Alt alike reach the bar from a control, the title where the
    // keyboard stands drawn chosen, the others as plain as the bar; Right goes
    // along it, Return opens "Esci", which asks first; Escape leaves the bar.
    void menuBarByKeyboard_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("F10") << "F10";
        QTest::newRow("Alt") << "alt";
    }
    void menuBarByKeyboard()
    {
        QFETCH(QString, key);
        Open<PositionMatching> o(FormId::Posizioni5, "Command5");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        QVERIFY(press("Tab"));
        QVERIFY(focusOn(o.at("Image1", 1)));
        auto *bar = o.window()->findChild<QMenuBar *>();
        QTRY_COMPARE(titlesStandingOut(bar), QStringList());
        QVERIFY(press(key));
        for (const char *title : {"mnuOpzioni", "mnuAzzera", "mnuEsercizi", "mnuEsci"}) {
            if (QString(title) != "mnuOpzioni")
                QVERIFY(press("Right"));
            SETTLES(name(bar->activeAction()) == title);
            QTRY_COMPARE(titlesStandingOut(bar), QStringList{title});
        }
        QVERIFY(o.h.boxes.shown.empty());
        QVERIFY(press("Return"));
        SETTLES(o.h.boxes.shown.size() == 1);
        QCOMPARE(o.h.boxes.shown[0].text, QStringLiteral("Vuoi terminare?"));
        QVERIFY(o.form->isLoaded()); // the answer was No
        if (bar->activeAction())
            QVERIFY(press("Escape"));
        SETTLES(!bar->activeAction());
        QTRY_COMPARE(titlesStandingOut(bar), QStringList());
    }

    // Escape in the bar, or in a menu of it, only takes the keyboard back
    // out: nothing asked. Once out, Escape asks.
    void escapeInTheMenuBarOnlyLeavesIt_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("F10 Escape") << QStringList{"F10", "Escape"};
        QTest::newRow("Alt Right Escape") << QStringList{"alt", "Right", "Escape"};
        QTest::newRow("Alt+O Escape Escape") << QStringList{"alt+o", "Escape", "Escape"};
    }
    void escapeInTheMenuBarOnlyLeavesIt()
    {
        QFETCH(QStringList, keys);
        Open<PictureRecognition> o(FormId::Zampli4, "Command9");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        auto *bar = o.window()->findChild<QMenuBar *>();
        QVERIFY(press(keys.takeFirst()));
        SETTLES(bar->activeAction());
        for (const QString &key : std::as_const(keys))
            QVERIFY(pressAndWait(key));
        QCOMPARE(o.h.boxes.shown.size(), size_t(0));
        SETTLES(!bar->activeAction() && focused() == o.at("Image1", 0));
        QVERIFY(pressAndWait("Escape"));
        SETTLES(o.h.boxes.shown.size() == 1);
        QCOMPARE(o.h.boxes.shown[0].text, QStringLiteral("Vuoi terminare?"));
    }

    // Escape is "back" as in every box: in an exercise it asks as "Esci"
    // does, and the window, filling the whiteboard, stays so on No. In full
    // screen the question stands in the middle of the window, its buttons at
    // least a centimetre high for a finger, and the exercise shows round it, dimmed.
    void questionInFullScreen()
    {
        Open<PictureRecognition> o(FormId::Posizioni3, "Command3");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        QWidget *window = o.window();
        QVERIFY(fillTheScreen(window));
        QVERIFY(pressAndWait("Escape"));
        SETTLES(o.h.boxes.shown.size() == 1);
        const MessageBox asked{.icon = MessageBox::Icon::Question, .buttons = MessageBox::Buttons::YesNo,
                               .text = QStringLiteral("Vuoi terminare?")};
        QCOMPARE(o.h.boxes.shown[0], asked);
        QVERIFY(o.form->isLoaded() && !o.menu()->isLoaded()); // the answer was No
        QVERIFY(window->isFullScreen());
        QCOMPARE(window->geometry(), window->screen()->geometry());
        QVERIFY(press("alt+e")); // "Esci" in the bar asks the very same
        SETTLES(o.h.boxes.shown.size() == 2);
        QCOMPARE(o.h.boxes.shown[1], o.h.boxes.shown[0]);
        QVERIFY(press("alt+s")); // each title of the bar has a letter of its own
        SETTLES(o.h.boxes.shown.size() == 3);
        QVERIFY2(o.h.boxes.shown[2].text.startsWith("Sono stati eseguiti"), qPrintable(o.h.boxes.shown[2].text));

        QTRY_COMPARE(groundOnScreen(window), kLoadedBrown);
        QtMessageBoxes boxes;
        const MessageBox question{.icon = MessageBox::Icon::Question, .buttons = MessageBox::Buttons::YesNo,
                                  .text = QStringLiteral("Vuoi uscire?")};
        const double centimetre = window->screen()->physicalDotsPerInchY() / 2.54;
        bool looked = false;
        const auto look = [&](QDialog *box) {
            QVERIFY(QTest::qWaitForWindowExposed(box));
            const QRect seen = box->frameGeometry();
            const QRect screen = window->geometry();
            QVERIFY2(qAbs(seen.center().x() - screen.center().x()) <= 2 &&
                         qAbs(seen.center().y() - screen.center().y()) <= 2,
                     qPrintable(QStringLiteral("box at %1,%2 %3x%4").arg(seen.x()).arg(seen.y()).arg(seen.width())
                                    .arg(seen.height())));
            QVERIFY2(seen.width() < screen.width() && seen.height() < screen.height(), "the box hides the window");
            // Words to read across a classroom: a twentieth of the screen's height.
            for (const QWidget *words : box->findChildren<QWidget *>())
                if (words->inherits("QLabel") || words->inherits("QPushButton"))
                    QVERIFY2(QFontInfo(words->font()).pixelSize() >= screen.height() / 21,
                             qPrintable(QStringLiteral("%1 px").arg(QFontInfo(words->font()).pixelSize())));
            const auto buttons = box->findChildren<QPushButton *>();
            QCOMPARE(buttons.size(), 2);
            for (const QPushButton *b : buttons) {
                QVERIFY2(b->height() >= centimetre, qPrintable(QStringLiteral("%1 px high").arg(b->height())));
                QVERIFY2(b->width() >= 2 * centimetre, qPrintable(QStringLiteral("%1 px wide").arg(b->width())));
            }
            QColor boxColour, around;
            const auto read = [&] {
                const QImage shot = window->screen()->grabWindow(0).toImage();
                boxColour = shot.pixelColor(box->mapToGlobal(QPoint(box->width() / 2, 4)));
                around = shot.pixelColor(screen.left() + 4, screen.bottom() - 4);
                return around != kLoadedBrown; // the box and what it brings have been painted
            };
            (void)QTest::qWaitFor(read, 2000);
            QVERIFY2(around != boxColour, qPrintable(around.name()));
            // Dimmed: the brown ground darker, but still brown.
            QVERIFY2(around.red() > around.blue() && around.red() < kLoadedBrown.red() && around.red() > 0,
                     qPrintable(around.name()));
            looked = true;
        };
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                look(box);
                box->reject();
            }
        });
        QCOMPARE(boxes.show(question, window), MessageBox::Answer::No);
        QVERIFY(looked);
        // The box gone, the ground is as bright as before.
        QTRY_COMPARE(groundOnScreen(window), kLoadedBrown);

        // Over a window that does not fill the screen, the desktop's own box.
        window->activateWindow(); // as a window manager gives it back the keyboard
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(press("F11"));
        QTRY_VERIFY(!window->isFullScreen());
        int words = 0;
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                words = QFontInfo(box->findChild<QLabel *>()->font()).pixelSize();
                box->reject();
            }
        });
        QCOMPARE(boxes.show(question, window), MessageBox::Answer::No);
        QVERIFY2(words > 0 && words < window->screen()->geometry().height() / 21, qPrintable(QString::number(words)));
    }
};

QTEST_MAIN(KeyboardXcbTest)
#include "test_keyboard_xcb.moc"
