// SPDX-License-Identifier: GPL-3.0-or-later
// Drags as a child makes them, on an X server where a drag runs its own loop
// until the button or the finger is lifted.

#include "DragUnderWay.h"
#include "Grounds.h"
#include "MatchingPictures.h"

#include "exercises/matching/CharacterDragMatching.h"

#include <QProcess>
#include <QTimer>
#include <memory>

using namespace zampli;
using namespace zampli::test;

class MatchingDragXcbTest : public QObject {
    Q_OBJECT

private slots:
    void aFingerThenTheMouse()
    {
        Open<CharacterDragMatching> o(FormId::Caratteri2, "Command11");
        QWidget *window = o.window();
        QVERIFY(QTest::qWaitForWindowExposed(window) && QTest::qWaitForWindowActive(window));
        const auto centre = [&](const char *array, int k, QPoint by = {}) {
            return o.at(array, k)->mapTo(window, o.at(array, k)->rect().center()) + by;
        };

        // A finger presses piece I and lifts over box A: a wrong drop, the piece
        // keeps its picture. It moves and lifts inside the drag's loop.
        // The test owns the device it makes.
        const std::unique_ptr<QPointingDevice> finger(QTest::createTouchDevice());
        whenDragging(this, window, [&] {
            QTest::touchEvent(window, finger.get()).move(0, centre("Image3", 0));
            QTest::touchEvent(window, finger.get()).release(0, centre("Image3", 0, {2, 2}));
        });
        QTest::touchEvent(window, finger.get()).press(0, centre("Image1", 2));
        QTRY_COMPARE_WITH_TIMEOUT(o.h.modulo->EserciziErrati.value(), 1, 10000);
        QVERIFY(shows(o.at("Image1", 2), "I", 1) && o.at("Image1", 2)->isEnabled() && isEmptyBox(o.at("Image3", 0)));
        QCOMPARE(groundOnScreen(window), kLoadedBrown);

        // The mouse through XTest: press on piece O, over a reference, onto box O, release.
        const auto moveTo = [&](QPoint p) {
            p = window->mapToGlobal(p);
            return QStringList{"mousemove", QString::number(p.x()), QString::number(p.y()), "sleep", "0.2"};
        };
        QCOMPARE(QProcess::execute("xdotool", moveTo(centre("Image1", 3)) + QStringList{"mousedown", "1"}), 0);
        QProcess rest;
        whenDragging(this, window, [&] {
            rest.start("xdotool", moveTo(centre("Image2", 1)) + moveTo(centre("Image3", 3, {3, 3})) +
                                      moveTo(centre("Image3", 3)) + QStringList{"mouseup", "1"});
        });
        QTRY_VERIFY_WITH_TIMEOUT(shows(o.at("Image3", 3), "O", 1), 10000);
        QVERIFY(isEmptyBox(o.at("Image1", 3)) && !o.at("Image1", 3)->isEnabled());
        QCOMPARE(o.h.sound.played, QStringList({o.h.media().errorSound(), o.h.media().voice("O")}));
        QTRY_COMPARE(groundOnScreen(window), kVowelGround.value("O"));
        QTRY_COMPARE(rest.state(), QProcess::NotRunning);
    }
};

QTEST_MAIN(MatchingDragXcbTest)
#include "test_matching_drag_xcb.moc"
