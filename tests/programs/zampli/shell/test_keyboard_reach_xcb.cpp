// SPDX-License-Identifier: GPL-3.0-or-later
// What a child and a teacher reach without the mouse on the whiteboard: the
// focus ring on every ground, the menu bar by F10 and Alt, every window's
// grid by the arrows, Escape, and a question over a window that fills the screen.
// Real key presses through the X server (xdotool); the screen read back.

#include "FocusRing.h"
#include "KeyPresses.h"
#include "Grounds.h"
#include "MatchingPictures.h"

#include "exercises/matching/CharacterClickMatching.h"
#include "exercises/matching/CharacterDragMatching.h"
#include "exercises/matching/PositionMatching.h"
#include "exercises/recognition/PictureRecognition.h"
#include "shell/QtMessageBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScreen>

using namespace zampli;
using namespace zampli::test;

namespace {

#define SETTLES(cond) QVERIFY2(QTest::qWaitFor([&] { return bool(cond); }, 5000), #cond)

// Tab until `target` has the focus.
bool tabTo(QWidget *target) { return pressUntilFocused("Tab", target); }

QString name(const QWidget *w) { return w ? w->objectName() : QStringLiteral("(none)"); }

// A title of the menu bar by its name, or its menu's.
QString name(const QAction *a)
{
    if (!a)
        return QStringLiteral("(none)");
    const auto *menu = a->menu<QMenu *>();
    return menu ? menu->objectName() : a->objectName();
}

// Six screen pixels at least: three a band.
constexpr int kLeastRing = 6;

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

// Presses each key in turn; what it leaves in focus, "Key>Name" a step,
// beside what each step expects. The key is over once its release is in.
struct Walk {
    QStringList seen, expected;
};
Walk walk(std::initializer_list<std::pair<QString, QString>> steps)
{
    Walk w;
    for (const auto &[key, to] : steps) {
        if (!pressAndWait(key))
            w.seen << QStringLiteral("%1 not pressed").arg(key);
        w.seen << QStringLiteral("%1>%2").arg(key, name(focused()));
        w.expected << QStringLiteral("%1>%2").arg(key, to);
    }
    return w;
}

} // namespace

class KeyboardReachXcbTest : public QObject {
    Q_OBJECT

private slots:
    // After a wrong answer the ground is black: the ring still shows round
    // every picture the Tab goes to.
    void ringShowsOnTheBlackOfAWrongAnswer()
    {
        Open<PictureRecognition> o(FormId::Posizioni3, "Command3");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        const QString spoken = o.h.sound.played.value(0);
        PictureBox *wrong = nullptr;
        for (int k = 0; k < 3; ++k)
            if (o.h.media().voice(o.at("Image1", k)->tag()) != spoken)
                wrong = o.at("Image1", k);
        QVERIFY(wrong);
        clickAsUser(wrong);
        SETTLES(o.h.modulo->EserciziErrati.value() == 1);
        QTRY_COMPARE(groundOnScreen(o.window()), kWrongBlack);
        QVERIFY(press("Tab")); // shows the ring where the focus is
        for (int k = 0; k < 3; ++k) {
            QWidget *box = o.at("Image1", k);
            QVERIFY(tabTo(box));
            QTRY_VERIFY2(ringOnScreen(box) >= kLeastRing,
                         qPrintable(QStringLiteral("%1: %2").arg(name(box)).arg(ringOnScreen(box))));
        }
    }

    // A right answer in FormPosizioni4 tints the ground in the vowel's
    // colour; the ring round the next button shows on each of the five.
    void ringShowsOnEveryVowelGround()
    {
        Open<PictureRecognition> o(FormId::Posizioni4, "Command4", {}, [](Harness &h) {
            h.random.scriptNumbers(5, {1, 2, 3, 4, 5, 1}); // A..U in boxes 0..4, A spoken
        });
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        for (int v = 0; v < 5; ++v) {
            clickAsUser(o.at("Image1", v));
            QTRY_COMPARE(groundOnScreen(o.window()), vowelGround(v + 1));
            QWidget *next = o.control<QWidget>("Command2");
            QVERIFY(press("Tab"));
            QVERIFY(tabTo(next));
            QTRY_VERIFY2(ringOnScreen(next) >= kLeastRing,
                         qPrintable(QStringLiteral("%1: %2").arg(kVowels[v]).arg(ringOnScreen(next))));
            if (v < 4) {
                o.h.random.scriptNumbers(5, {1, 2, 3, 4, 5, v + 2});
                QVERIFY(press("space"));
                SETTLES(o.at("Image1", 0)->isEnabled() && !next->isVisible());
                QTest::mouseMove(o.window()); // a click next starts a mouse turn: the ring may go
            }
        }
    }

    // F10 and Alt alike reach the bar while a control of the window has the
    // focus; Right goes along it and Return opens "Esci", which asks first.
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
        QVERIFY(tabTo(o.at("Image1", 1)));
        auto *bar = o.window()->findChild<QMenuBar *>();
        QVERIFY(press(key));
        SETTLES(bar->activeAction());
        QStringList along{name(bar->activeAction())};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(press("Right"));
            SETTLES(!along.contains(name(bar->activeAction())));
            along << name(bar->activeAction());
        }
        QCOMPARE(along, QStringList({"mnuOpzioni", "mnuAzzera", "mnuEsercizi", "mnuEsci"}));
        QVERIFY(o.h.boxes.shown.empty());
        QVERIFY(press("Return"));
        SETTLES(o.h.boxes.shown.size() == 1);
        QCOMPARE(o.h.boxes.shown[0].text, QStringLiteral("Vuoi terminare?"));
        // The answer is No: the window stays, and Escape leaves the bar.
        QVERIFY(o.form->isLoaded());
        if (bar->activeAction()) {
            QVERIFY(press("Escape"));
            SETTLES(!bar->activeAction());
        }
    }

    // F10 and Alt show where the keyboard stands in the bar: that title
    // drawn chosen, the others as plain as the bar, until Escape.
    void menuBarShowsTheChosenTitle_data() { menuBarByKeyboard_data(); }
    void menuBarShowsTheChosenTitle()
    {
        QFETCH(QString, key);
        Open<PictureRecognition> o(FormId::Zampli4, "Command9");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        auto *bar = o.window()->findChild<QMenuBar *>();
        QTRY_COMPARE(titlesStandingOut(bar), QStringList());
        QVERIFY(press(key));
        SETTLES(name(bar->activeAction()) == "mnuOpzioni");
        QTRY_COMPARE(titlesStandingOut(bar), QStringList{"mnuOpzioni"});
        QVERIFY(press("Right"));
        SETTLES(name(bar->activeAction()) == "mnuAzzera");
        QTRY_COMPARE(titlesStandingOut(bar), QStringList{"mnuAzzera"});
        QVERIFY(press("Escape"));
        SETTLES(!bar->activeAction());
        QTRY_COMPARE(titlesStandingOut(bar), QStringList());
        QVERIFY(o.h.boxes.shown.empty());
    }

    // Each title of the bar has a letter of its own, underlined: Alt and the
    // letter act at once.
    void menuBarLettersWithAlt()
    {
        Open<PositionMatching> o(FormId::Posizioni5, "Command5");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        QVERIFY(press("Tab"));
        QVERIFY(press("alt+s"));
        SETTLES(o.h.boxes.shown.size() == 1);
        QVERIFY2(o.h.boxes.shown[0].text.startsWith("Sono stati eseguiti"), qPrintable(o.h.boxes.shown[0].text));
        QVERIFY(press("alt+e"));
        SETTLES(o.h.boxes.shown.size() == 2);
        QCOMPARE(o.h.boxes.shown[1].text, QStringLiteral("Vuoi terminare?"));
        QVERIFY(press("alt+o"));
        SETTLES(o.window()->findChild<QMenu *>("mnuOpzioni")->isVisible());
        QVERIFY(press("Escape"));
        SETTLES(!o.window()->findChild<QMenu *>("mnuOpzioni")->isVisible());
    }

    // The menu's buttons stand in two columns: up and down go along a
    // column, left and right across to the button level with it.
    void mainMenuArrowsFollowTheGrid()
    {
        Harness h;
        Form *menu = h.windows->form(FormId::Menu);
        menu->Show();
        QVERIFY(QTest::qWaitForWindowActive(menu->window()));
        QVERIFY(press("Tab"));
        SETTLES(name(focused()) == "Command1");
        const Walk w = walk({
            {"Up", "Command1"},     {"Left", "Command1"},   {"Down", "Command2"},     {"Down", "Command3"},
            {"Right", "Command11"}, {"Down", "Command12"},  {"Left", "Command6"},     {"Right", "Command12"},
            {"Down", "Command3D6"}, {"Down", "Command3D5"}, {"Down", "Command3D5"},   {"Left", "Command9"},
            {"Up", "Command8"},     {"Up", "Command7"},     {"Up", "Command6"},       {"Up", "Command4"},
            {"Right", "Command11"}, {"Up", "Command10"},    {"Up", "Command5"},       {"Right", "Command5"},
            {"Left", "Command1"}});
        QCOMPARE(w.seen, w.expected);
        QVERIFY(h.boxes.shown.empty()); // the arrows only move
    }

    // Three letters across the top, two below at the sides with the
    // listening button between them: the arrows go as they stand, up and
    // down in a column, along a row and not round its end.
    void recognitionArrowsFollowTheGrid()
    {
        Open<PictureRecognition> o(FormId::Zampli4, "Command9");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        QVERIFY(press("Tab"));
        SETTLES(name(focused()) == "Image1_0");
        const qsizetype played = o.h.sound.played.size();
        const Walk w = walk({
            {"Down", "Image1_3"},  {"Up", "Image1_0"},    {"Right", "Image1_1"}, {"Right", "Image1_2"},
            {"Right", "Image1_2"}, {"Down", "Image1_4"},  {"Right", "Image1_4"}, {"Left", "Command1"},
            {"Up", "Image1_1"},    {"Left", "Image1_0"},  {"Left", "Image1_0"},  {"Down", "Image1_3"},
            {"Down", "Image1_3"},  {"Right", "Command1"}, {"Right", "Image1_4"}, {"Up", "Image1_2"}});
        QCOMPARE(w.seen, w.expected);
        QCOMPARE(o.h.sound.played.size(), played); // the arrows only move
        QVERIFY(o.h.boxes.shown.empty());
    }

    // The answer boxes stand in one row, the pictures above and below them
    // only to look at: Down leaves the focus in the row's place, and along
    // the row the arrows stop at either end.
    void characterRowArrowsKeepToTheRow()
    {
        Open<CharacterClickMatching> o(FormId::Caratteri1, "Command10");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        QVERIFY(press("Tab"));
        SETTLES(name(focused()) == "Image3_0");
        const Walk w = walk({
            {"Down", "Image3_0"},  {"Right", "Image3_1"}, {"Down", "Image3_1"}, {"Right", "Image3_2"},
            {"Right", "Image3_3"}, {"Right", "Image3_4"}, {"Right", "Image3_4"}, {"Up", "Image3_4"},
            {"Left", "Image3_3"},  {"Left", "Image3_2"},  {"Left", "Image3_1"},  {"Left", "Image3_0"},
            {"Left", "Image3_0"}});
        QCOMPARE(w.seen, w.expected);
        QVERIFY(o.h.sound.played.isEmpty()); // nothing answered
    }

    // The pieces stand in a column, each beside its box: Down goes down the
    // column, Right to the box beside, and no further.
    void piecesArrowsFollowTheColumns()
    {
        Open<CharacterDragMatching> o(FormId::Caratteri2, "Command11");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        // The pieces are dealt to the rows: which stands in each, as on screen.
        QString pieceIn[5];
        for (int row = 0; row < 5; ++row)
            for (int k = 0; k < 5; ++k)
                if (o.at("Image1", k)->y() == o.at("Image3", row)->y())
                    pieceIn[row] = o.at("Image1", k)->objectName();
        QVERIFY(press("Tab"));
        SETTLES(name(focused()) == pieceIn[0]);
        const Walk w = walk({
            {"Down", pieceIn[1]},   {"Down", pieceIn[2]},   {"Right", "Image3_2"}, {"Right", "Image3_2"},
            {"Up", "Image3_1"},     {"Left", pieceIn[1]},   {"Left", pieceIn[1]},  {"Up", pieceIn[0]},
            {"Up", pieceIn[0]},     {"Right", "Image3_0"},  {"Down", "Image3_1"}});
        QCOMPARE(w.seen, w.expected);
        QVERIFY(o.h.sound.played.isEmpty()); // nothing lifted or dropped
    }

    // Escape is "back" as in every box: in an exercise it asks as "Esci"
    // does, and the window, filling the whiteboard, stays so on No.
    void escapeAsksInFullScreen()
    {
        Open<PictureRecognition> o(FormId::Zampli4, "Command9");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        QWidget *window = o.window();
        // No window manager here: the test gives the window the whole screen.
        window->setGeometry(window->screen()->geometry());
        QTRY_COMPARE(window->geometry(), window->screen()->geometry());
        QVERIFY(press("F11"));
        QTRY_VERIFY(window->isFullScreen());
        QVERIFY(pressAndWait("Escape"));
        SETTLES(o.h.boxes.shown.size() == 1);
        const MessageBox asked{.icon = MessageBox::Icon::Question, .buttons = MessageBox::Buttons::YesNo,
                               .text = QStringLiteral("Vuoi terminare?")};
        QCOMPARE(o.h.boxes.shown[0], asked);
        // The answer was No.
        QVERIFY(o.form->isLoaded());
        QVERIFY(window->isFullScreen());
        QCOMPARE(window->geometry(), window->screen()->geometry());
        QVERIFY(!o.menu()->isLoaded());
        // "Esci" in the bar asks the very same.
        QVERIFY(press("alt+e"));
        SETTLES(o.h.boxes.shown.size() == 2);
        QCOMPARE(o.h.boxes.shown[1], o.h.boxes.shown[0]);
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

    // In full screen the question stands in the middle of the window, its
    // buttons at least a centimetre high for a finger, and the exercise
    // shows round it, dimmed.
    void questionInFullScreen()
    {
        Open<PictureRecognition> o(FormId::Posizioni3, "Command3");
        QVERIFY(QTest::qWaitForWindowActive(o.window()));
        QWidget *window = o.window();
        // No window manager on this X server: the test gives the window the
        // whole screen as one would, then F11 marks it as filling it.
        window->setGeometry(window->screen()->geometry());
        QTRY_COMPARE(window->geometry(), window->screen()->geometry());
        QVERIFY(press("F11"));
        QTRY_VERIFY(window->isFullScreen());
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
    }
};

QTEST_MAIN(KeyboardReachXcbTest)
#include "test_keyboard_reach_xcb.moc"
