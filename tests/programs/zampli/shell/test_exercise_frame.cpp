// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/Fakes.h"

#include "shell/DesignCanvas.h"
#include "shell/ExerciseForm.h"
#include "shell/FormWindow.h"

#include <QApplication>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

using namespace zampli;
using namespace zampli::test;

namespace {

// A window with nothing but the frame, noting which of its steps ran.
class FrameOnly final : public ExerciseForm {
public:
    FrameOnly(Windows &w, FormId id) : ExerciseForm(w, id, QSize(9000, 6000), Qt::gray) {}
    QStringList steps;
    bool answered = false;

protected:
    bool turnAnswered() const override { return answered; }
    void buildControls(DesignCanvas &) override {}
    void ownResets() override { steps << "resets"; }
    void LeggiParole() override { steps << "LeggiParole"; }
    void CaricaZampli() override { steps << QString("CaricaZampli %1").arg(StileFisso); }
    void parla() override { steps << "parla"; }
    void startNextTurn() override { steps << "startNextTurn"; }
    void setStylePair(int n) override { steps << QString("pair %1").arg(n); }
};

} // namespace

class ExerciseFrameTest : public QObject {
    Q_OBJECT

    static std::unique_ptr<FrameOnly> open(Harness &h, FormId id)
    {
        auto f = std::make_unique<FrameOnly>(*h.windows, id);
        f->Show();
        return f;
    }
    // `f` active again after another window of the program, its steps noted anew.
    static void activateAgain(Harness &h, FrameOnly &f, Form *before = nullptr)
    {
        f.steps.clear();
        h.windows->activation.activated(before ? *before : *h.windows->form(FormId::Menu));
        h.windows->activation.activated(f);
    }

private slots:
    void menuBarStaysReadable()
    {
        Harness h;
        auto f = open(h, FormId::Zampli3);
        FormWindow *w = f->window();
        const int desktop = QFontInfo(QApplication::font("QMenuBar")).pixelSize();
        w->resize(500, 400);
        QVERIFY(w->menuBar()->font().pixelSize() >= desktop);
        w->resize(2400, 1900);
        const int large = w->menuBar()->font().pixelSize();
        QVERIFY(!w->menuBar()->isNativeMenuBar()); // the bar belongs to the window
        QStringList captions;
        for (QAction *a : w->menuBar()->actions())
            captions << a->text();
        QCOMPARE(captions, QStringList({"&Opzioni          ", "&Azzera esercizi     ", "Esercizi e&seguiti     ", "&Esci"}));
        QVERIFY(large > desktop);
        QCOMPARE(w->findChild<QMenu *>("mnuOpzioni")->font().pixelSize(), large);
    }

    void variantBReportsRightAndWrong()
    {
        Harness h;
        auto f = open(h, FormId::Posizioni3);
        h.modulo->EserciziEseguiti = 2;
        h.modulo->EserciziErrati = 1;
        f->mnuEsercizi_Click();
        QCOMPARE(h.boxes.shown.back().text,
                 QStringLiteral("Sono stati eseguiti  2 esercizi esatti e  1 esercizi errati. "));
        QCOMPARE(h.boxes.shown.back().icon, MessageBox::Icon::None);

        f->mnuAzzera_Click();
        QCOMPARE(h.modulo->EserciziEseguiti.value(), 0);
        QCOMPARE(h.modulo->EserciziErrati.value(), 0);
    }

    void activationOrderFollowsEachWindowsRow_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("FormZampli2") << int(FormId::Zampli2) << QStringList{"resets", "CaricaZampli 0"};
        QTest::newRow("FormPosizioni3") << int(FormId::Posizioni3) << QStringList{"CaricaZampli 0", "parla"};
        QTest::newRow("FormIniziaPer") << int(FormId::IniziaPer)
                                       << QStringList{"LeggiParole", "CaricaZampli 0", "parla"};
        QTest::newRow("FormCaratteri1") << int(FormId::Caratteri1) << QStringList{"resets", "CaricaZampli 0"};
    }

    void activationOrderFollowsEachWindowsRow()
    {
        QFETCH(int, id);
        QFETCH(QStringList, steps);
        Harness h;
        auto f = open(h, FormId(id));
        QCOMPARE(f->steps, steps);
    }

    void fixedStyleSurvivesActivationOnlyWhereTheRowSaysSo()
    {
        Harness h;
        auto zampli3 = open(h, FormId::Zampli3);
        zampli3->StileFisso = true;
        activateAgain(h, *zampli3);
        QCOMPARE(zampli3->steps, QStringList({"CaricaZampli 0", "parla"}));

        auto posizioni5 = open(h, FormId::Posizioni5);
        posizioni5->StileFisso = true;
        activateAgain(h, *posizioni5, zampli3.get());
        QCOMPARE(posizioni5->steps, QStringList({"CaricaZampli 1"}));
    }

    // Activated again with its turn answered, a window that draws a new turn
    // on activation runs the next button's steps instead; freshly loaded it
    // shows no answer, whatever its turn was when it closed.
    void answeredTurnGivesWayToTheNextOne()
    {
        Harness h;
        auto f = open(h, FormId::IniziaPer);
        f->answered = true;
        activateAgain(h, *f);
        QCOMPARE(f->steps, QStringList({"LeggiParole", "startNextTurn"}));
        f->Unload();
        f->steps.clear();
        f->Show();
        QCOMPARE(f->steps, QStringList({"LeggiParole", "CaricaZampli 0", "parla"}));
    }

    // F11 is the program's: after "Esci" the menu comes in full screen, and so
    // do the windows shown after it; F11 again gives the screen back to every
    // window open, the menu beside the exercise included.
    void fullScreenHoldsForTheWholeProgram()
    {
        Harness h;
        Form *menu = h.windows->form(FormId::Menu);
        menu->Show();
        clickAsUser(menu->window()->findChild<QWidget *>("Command3"));
        FormWindow *exercise = h.windows->form(FormId::Posizioni3)->window();
        QVERIFY(QTest::qWaitForWindowActive(exercise));
        QVERIFY(!exercise->isFullScreen());
        QTest::keyClick(exercise, Qt::Key_F11);
        QVERIFY(exercise->isFullScreen());
        h.boxes.answers = {MessageBox::Answer::Yes};
        exercise->findChild<QAction *>("mnuEsci")->trigger();
        QVERIFY(menu->isLoaded() && menu->window()->isFullScreen());

        clickAsUser(menu->window()->findChild<QWidget *>("Command10")); // the menu stays open beside it
        FormWindow *caratteri1 = h.windows->form(FormId::Caratteri1)->window();
        QVERIFY(caratteri1->isFullScreen());
        QVERIFY(QTest::qWaitForWindowActive(caratteri1));
        QTest::keyClick(caratteri1, Qt::Key_F11);
        QVERIFY(!caratteri1->isFullScreen() && !menu->window()->isFullScreen());
        clickAsUser(menu->window()->findChild<QWidget *>("Command11"));
        QVERIFY(!h.windows->form(FormId::Caratteri2)->window()->isFullScreen());
    }

    void closeButtonAsksAsExitDoesAndKeepsTheCounters()
    {
        Harness h;
        h.windows->form(FormId::Menu)->Show();
        auto f = open(h, FormId::Caratteri1);
        h.modulo->EserciziEseguiti = 2;
        h.modulo->EserciziErrati = 3;
        h.boxes.answers = {MessageBox::Answer::No, MessageBox::Answer::Yes};
        f->window()->close();
        QTRY_COMPARE(h.boxes.shown.size(), size_t(1));
        QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Vuoi terminare?"));
        QVERIFY(f->isLoaded() && f->window()->isVisible());
        f->window()->close();
        QTRY_VERIFY(!f->isLoaded());
        // The menu stayed open: it is not loaded anew, so the counts go on.
        QCOMPARE(h.modulo->EserciziEseguiti.value() * 10 + h.modulo->EserciziErrati.value(), 23);
    }
};

QTEST_MAIN(ExerciseFrameTest)
#include "test_exercise_frame.moc"
