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

protected:
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

private slots:
    void menuBarStaysReadableAndF11FillsTheScreen()
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
        QCOMPARE(captions, QStringList({"Opzioni          ", "Azzera esercizi     ", "Esercizi eseguiti     ", "Esci"}));
        QVERIFY(large > desktop);
        QCOMPARE(w->findChild<QMenu *>("mnuOpzioni")->font().pixelSize(), large);

        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_F11);
        QVERIFY(w->isFullScreen());
        QTest::keyClick(w, Qt::Key_F11);
        QVERIFY(!w->isFullScreen());
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

        h.modulo->EserciziEseguiti = 32767; // and past it: never wrapped to negative
        h.modulo->EserciziErrati += 40000;
        ++h.modulo->EserciziEseguiti;
        f->window()->findChild<QAction *>("mnuEsercizi")->trigger();
        QCOMPARE(h.boxes.shown.back().text,
                 QStringLiteral("Sono stati eseguiti  32767 esercizi esatti e  32767 esercizi errati. "));

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
        zampli3->steps.clear();
        h.windows->activation.activated(*h.windows->form(FormId::Menu)); // another window was active
        h.windows->activation.activated(*zampli3);
        QCOMPARE(zampli3->steps, QStringList({"CaricaZampli 0", "parla"}));

        auto posizioni5 = open(h, FormId::Posizioni5);
        posizioni5->StileFisso = true;
        posizioni5->steps.clear();
        h.windows->activation.activated(*zampli3);
        h.windows->activation.activated(*posizioni5);
        QCOMPARE(posizioni5->steps, QStringList({"CaricaZampli 1"}));
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
