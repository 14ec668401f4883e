// SPDX-License-Identifier: GPL-3.0-or-later
// A child let loose on every window in turn: random clicks, drags, menu
// commands, answers and window switches, on a real X server so that drags
// run their own loop. Whatever happens, the program keeps its shape.
// ZAMPLI_TEST_SEED=<n> replays the run a failure names.

#include "DragUnderWay.h"
#include "Grounds.h"
#include "TestSeed.h"
#include "WindowWalk.h"

#include "exercises/matching/CharacterClickMatching.h"
#include "exercises/matching/CharacterDragMatching.h"
#include "exercises/matching/PositionMatching.h"
#include "shell/DesignCanvas.h"
#include "shell/ExerciseWindows.h"

#include <ranges>

using namespace zampli;
using namespace zampli::test;

namespace {

constexpr int kEvents = 5000;
// The menu's button for the i-th window: Command1, 6, 2, 7, 3, 8, 4, 9, 5, 10, then 11 and 12.
QString menuButton(int i) { return QStringLiteral("Command%1").arg(i < 10 ? 1 + i / 2 + 5 * (i % 2) : i + 1); }

QWidget *child(Form *f, const QString &name) { return f->window()->findChild<QWidget *>(name); }
QWidget *at(Form *f, const char *array, int k) { return child(f, QStringLiteral("%1_%2").arg(array).arg(k)); }
int countOf(Form *f, const char *array, auto is)
{
    return int(std::ranges::count_if(std::views::iota(0, 5), [&](int k) { return std::invoke(is, at(f, array, k)); }));
}
int answering(Form *f, const char *a) { return countOf(f, a, [](QWidget *w) { return w->isVisible() && w->isEnabled(); }); }

// What must hold in the window after any event; empty when all does.
QString broken(Harness &h, Form *f)
{
    if (qobject_cast<PictureBox *>(at(f, "Image1", 4))) { // five pictures: each in a place of its own, each vowel once
        QSet<QPoint> places;
        QStringList tags; // of the five, sorted
        for (int k = 0; k < 5; ++k)
            places << at(f, "Image1", k)->pos(), tags << qobject_cast<PictureBox *>(at(f, "Image1", k))->tag();
        tags.sort();
        if (places.size() != 5 || tags.join("") != "AEIOU")
            return "the five pictures: " + tags.join(",");
    }
    if (QWidget *frame = child(f, "Shape1")) { // recognition
        const bool shown = frame->isVisible();
        const int under = countOf(f, "Image1", [&](QWidget *p) { // pictures the frame is placed on
            return p->isVisible() && f->canvas()->twips(p).topLeft() == f->canvas()->twips(frame).topLeft();
        });
        if ((shown && under != 1) || child(f, "Command2")->isVisible() != shown || (answering(f, "Image1") == 0) != shown)
            return "the frame, the next button and the pictures";
    }
    // An activation while listening leaves the five hidden until the next tick: both hidden is a state.
    if (dynamic_cast<FivePictureListening *>(f) &&
        ((child(f, "Image2")->isVisible() && countOf(f, "Image1", &QWidget::isVisible) > 0) || h.modulo->Contatore > 5))
        return "the large picture and the five";
    if (auto *single = dynamic_cast<SinglePictureListening *>(f);
        single && f->canvas()->background() != vowelGround(single->vowel()))
        return "the ground is not the vowel's colour";
    if (dynamic_cast<PositionMatching *>(f)) {
        const bool done = child(f, "Command2")->isEnabled();
        if (child(f, "Command1")->isEnabled() != done ||
            countOf(f, "Image1", &QWidget::isVisible) != (done ? 1 : 5) ||
            countOf(f, "Image1", &QWidget::isEnabled) != (done ? 4 : 5))
            return "faces and buttons";
    }
    if (dynamic_cast<CharacterClickMatching *>(f)) { // after a right answer only the pair stays, locked
        const bool next = child(f, "Command2")->isEnabled();
        if (countOf(f, "Image1", &QWidget::isVisible) != (next ? 1 : 5) ||
            countOf(f, "Image3", &QWidget::isVisible) != (next ? 1 : 5) || answering(f, "Image3") != (next ? 0 : 5))
            return "boxes and the next button";
    }
    if (dynamic_cast<CharacterDragMatching *>(f)) {
        const auto gone = [](QWidget *w) { return qobject_cast<PictureBox *>(w)->picture().isNull(); };
        for (int k = 0; k < 5; ++k)
            if (QWidget *piece = at(f, "Image1", k); piece->isEnabled() == gone(piece) || gone(at(f, "Image3", k)) == gone(piece))
                return QStringLiteral("piece and box %1").arg(k);
        if (child(f, "Command2")->isEnabled() != (countOf(f, "Image1", gone) == 5))
            return "the next button before the series is over";
    }
    if (child(f, "ComandoIconaSi")) { // begins with
        const int tiles = countOf(f, "Frame1", &QWidget::isEnabled);
        if (child(f, "ComandoIconaSi")->isVisible() == child(f, "ComandoIconaNo")->isVisible() ||
            (tiles != 0 && tiles != 5) || child(f, "Command1")->isEnabled() != (tiles == 0))
            return "faces, tiles and the next button";
    }
    return {};
}

} // namespace

class MonkeyXcbTest : public QObject {
    Q_OBJECT

private slots:
    void fiveThousandEvents()
    {
        const quint32 seed = testSeed();
        std::mt19937 g(seed);
        Harness h(QCoreApplication::applicationDirPath());
        h.boxes.onShow = [&](const MessageBox &) { h.boxes.answers = {g() % 100 < 50 ? MessageBox::Answer::Yes : MessageBox::Answer::No}; };
        Form *menu = h.windows->form(FormId::Menu);
        QString last;
        int drags = 0, drops = 0; // a drop is judged: a voice or the error sound

        for (int event = 0; event < kEvents; ++event) {
            const ExerciseWindowRow &row = kExerciseWindows[event * 12 / kEvents];
            Form *form = h.windows->form(row.id);
            const auto where = [&] { return QStringLiteral("seed %1, event %2, %3 after %4: ").arg(seed).arg(event).arg(row.name(), last); };
            if (!form->isLoaded() || !form->window()->isVisible()) { // from the menu, a long day behind it
                if (!menu->isLoaded())
                    menu->Show();
                clickAsUser(child(menu, menuButton(event * 12 / kEvents)));
                h.modulo->EserciziEseguiti = h.modulo->EserciziErrati = 32760;
                last = "opening";
            } else if (const int what = int(g() % 100); what < 60) {
                const QList<QWidget *> controls = clickable(form->window());
                QWidget *w = controls.isEmpty() ? nullptr : pick(g, controls);
                last = "click " + (w ? w->objectName() : "");
                if (w)
                    clickAsUser(w);
            } else if (what < 70 && child(form, "Image3_0") && child(form, "Image1_0")->inherits("zampli::DragPiece")) {
                QWidget *piece = at(form, "Image1", int(g() % 5)), *onto = at(form, "Image3", int(g() % 5));
                last = "drag " + piece->objectName() + " onto " + onto->objectName();
                if (!piece->isEnabled())
                    continue;
                QVERIFY(QTest::qWaitForWindowExposed(form->window()));
                QWindow *window = form->window()->windowHandle();
                const auto centre = [&](QWidget *w) { return w->mapTo(form->window(), w->rect().center()); };
                bool dropped = false;
                QObject scope; // no drag begun, nothing to end
                whenDragging(&scope, form->window(), [&] {
                    QTest::mouseMove(window, centre(onto) + QPoint(2, 2));
                    QTest::mouseMove(window, centre(onto));
                    QTest::mouseRelease(window, Qt::LeftButton, {}, centre(onto));
                    dropped = true;
                });
                const qsizetype sounds = h.sound.played.size();
                QTest::mousePress(window, Qt::LeftButton, {}, centre(piece)); // back once the drop ended the drag
                drags += dropped, drops += h.sound.played.size() > sounds;
            } else if (what < 85) { // a command of the menu bar, "mnuEsci" among them
                QAction *command = pick(g, form->window()->findChildren<QAction *>(QRegularExpression("^mnu")));
                last = command->objectName();
                command->trigger();
            } else if (what < 93) {
                last = "tick";
                tick(h, form, (g() % 30) / 10.0);
            } else if (what < 97 && menu->isLoaded()) {
                last = "to the menu and back";
                for (QWidget *w : {menu->window(), form->window()}) { // as the desktop hands the focus over
                    QProcess::execute("xdotool", {"windowfocus", "--sync", QString::number(w->winId())});
                    QVERIFY2(QTest::qWaitForWindowActive(w), qPrintable(where() + "no activation"));
                }
            } else {
                last = "close button";
                form->window()->close();
                QCoreApplication::processEvents();
            }

            QVERIFY2(h.problems.isEmpty(), qPrintable(where() + h.problems.join("; ")));
            for (const Counter16 c : {h.modulo->EserciziEseguiti, h.modulo->EserciziErrati, h.modulo->Contatore})
                QVERIFY2(c >= 0 && c <= 32767, qPrintable(where() + QString::number(c)));
            const QString why = form->isLoaded() ? broken(h, form) : QString();
            QVERIFY2(why.isEmpty(), qPrintable(where() + why));
        }
        QCOMPARE(h.programEnds, 0);
        QVERIFY2(drags > 20 && drops == drags, qPrintable(QStringLiteral("%1 drops of %2 drags").arg(drops).arg(drags)));
    }
};

QTEST_MAIN(MonkeyXcbTest)
#include "test_monkey_xcb.moc"
