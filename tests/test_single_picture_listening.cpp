#include "fakes/Fakes.h"

#include "exercises/listening/SinglePictureListening.h"
#include "shell/DesignCanvas.h"
#include "shell/FormMenu.h"

#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <map>

using namespace zampli;
using namespace zampli::test;

class SinglePictureListeningTest : public QObject {
    Q_OBJECT

    struct Open {
        Harness h;
        SinglePictureListening *form = nullptr;

        explicit Open(FormId id, std::initializer_list<double> draws = {})
        {
            h.writeVowelPictures();
            h.random.script(draws);
            form = &h.windows->form<SinglePictureListening>(id);
            form->Show();
        }
        QWidget *control(const char *name) const { return form->window()->findChild<QWidget *>(name); }
        bool nextVisible() const { return !control("Command1")->isHidden(); }
        QColor background() const { return form->canvas()->background(); }
        QString voice(const char *letter) const { return h.media().voice(letter); }
        // Waits, as a child must, for the next button to come back, then presses it.
        void next()
        {
            h.clock.advance(2.5);
            form->Timer1_Timer();
            clickAsUser(control("Command1"));
        }
        QAction *action(const QString &name) const { return form->window()->findChild<QAction *>(name); }
    };

private slots:
    void activationShowsAndSaysAVowel()
    {
        // Zampli1: vowel 3 (I), style 4 (cursive lower case).
        Open o(FormId::Zampli1, {0.5, 0.9});
        QCOMPARE(o.h.modulo->Vocale, qint16(3));
        QCOMPARE(o.form->Stile, qint16(4));
        QCOMPARE(o.background(), QColor(0, 0, 255));
        QCOMPARE(o.form->pictureFile(), o.h.media().letterPicture("I", 4));
        auto *image = o.form->window()->findChild<PictureBox *>("Image1");
        QVERIFY(!image->showsPlaceholder());
        QCOMPARE(o.h.sound.played, QStringList{o.voice("I")});
        QCOMPARE(o.h.modulo->Percorso, o.voice("I"));
        QCOMPARE(o.h.modulo->InizioVoce, o.h.clock.now);
        QVERIFY(!o.nextVisible());
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 0); // the first exercise is not counted
        QCOMPARE(o.form->window()->findChild<QTimer *>("Timer1")->interval(), 1000);
        QVERIFY(o.form->window()->findChild<QTimer *>("Timer1")->isActive());
    }

    void facesWindowUsesFacesAndHasNoOptions()
    {
        Open o(FormId::Posizioni1, {0.95});
        QCOMPARE(o.form->pictureFile(), o.h.media().facePicture("U"));
        QCOMPARE(o.background(), QColor(0, 192, 0));
        QVERIFY(!o.form->window()->findChild<QMenu *>("mnuOpzioni"));
        QStringList bar;
        for (QAction *a : o.form->window()->menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, QStringList({"Azzera esercizi     ", "Esercizi eseguiti     ", "Esci"}));
    }

    void theSameVowelNeverComesTwiceInARow()
    {
        // E first; then E, E again before O is accepted.
        Open o(FormId::Posizioni1, {0.3, 0.3, 0.3, 0.7});
        o.h.clock.advance(3);
        o.form->Timer1_Timer();
        o.next();
        QCOMPARE(o.h.modulo->Vocale, qint16(4));
        QCOMPARE(o.form->Ultima, qint16(4));
        QCOMPARE(o.h.sound.played, QStringList({o.voice("E"), o.voice("O")}));

        // Over many presses each other vowel follows a given one about as often.
        std::map<std::pair<int, int>, int> follows;
        for (int i = 0; i < 20000; ++i) {
            const int before = o.h.modulo->Vocale;
            o.form->Command1_Click();
            QVERIFY(o.h.modulo->Vocale != before);
            ++follows[{before, o.h.modulo->Vocale}];
        }
        QCOMPARE(follows.size(), size_t(20));
        for (const auto &[pair, count] : follows)
            QVERIFY2(count > 800 && count < 1200, qPrintable(QString::number(count)));
    }

    void nextButtonWaitsMoreThanTwoSeconds()
    {
        Open o(FormId::Posizioni1);
        o.h.clock.advance(1.0);
        o.form->Timer1_Timer();
        QVERIFY(!o.nextVisible());
        o.h.clock.advance(1.0); // exactly two seconds: not yet
        o.form->Timer1_Timer();
        QVERIFY(!o.nextVisible());
        QCOMPARE(o.h.modulo->OraAttuale, o.h.clock.now);
        o.h.clock.advance(0.5);
        o.form->Timer1_Timer();
        QVERIFY(o.nextVisible());

        // A click on the picture says the vowel again and starts the wait anew.
        const qint16 vowel = o.h.modulo->Vocale;
        clickAsUser(o.control("Image1"));
        QVERIFY(!o.nextVisible());
        QCOMPARE(o.h.modulo->Vocale, vowel);
        QCOMPARE(o.h.sound.played.size(), 2);
        QCOMPARE(o.h.sound.played[1], o.h.sound.played[0]);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 0);
    }

    void voiceJustBeforeMidnight()
    {
        Open o(FormId::Posizioni1);
        o.h.clock.now = 86399.2;
        o.form->Image1_Click();
        o.h.clock.advance(1.0); // 0.2 past midnight
        o.form->Timer1_Timer();
        QVERIFY(!o.nextVisible());
        o.h.clock.advance(1.0);
        o.form->Timer1_Timer();
        QVERIFY(!o.nextVisible());
        o.h.clock.advance(1.0); // 3 s after the voice
        o.form->Timer1_Timer();
        QVERIFY(o.nextVisible());
    }

    void threePressesCountThree()
    {
        Open o(FormId::Zampli1);
        for (int i = 0; i < 3; ++i)
            o.next();
        clickAsUser(o.control("Image1")); // a repeat is no exercise
        o.action("mnuEsercizi")->trigger();
        QCOMPARE(o.h.boxes.shown.back(), (MessageBox{MessageBox::Icon::None, MessageBox::Buttons::Ok,
                                                     "ZAMPLI", "Sono stati eseguiti  3 esercizi."}));
        QCOMPARE(o.h.sound.played.size(), 5);
    }

    void resetClearsOnlyTheCountOfVariantA()
    {
        Open o(FormId::Zampli1);
        o.h.modulo->EserciziEseguiti = 4;
        o.h.modulo->EserciziErrati = 2;
        o.action("mnuAzzera")->trigger();
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 0);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 2);
        QVERIFY(o.h.boxes.shown.empty());
    }

    void styleItemStartsANewExerciseEvenWhenAlreadyChecked()
    {
        Open o(FormId::Zampli1, {0.1, 0.1});
        auto *opzioni = o.form->window()->findChild<QMenu *>("mnuOpzioni");
        QVERIFY(opzioni);
        QCOMPARE(opzioni->title(), QStringLiteral("Opzioni          "));
        QStringList items;
        for (QAction *a : opzioni->actions())
            items << a->text();
        QCOMPARE(items, styleItemCaptions(StyleItems::Five));
        QCOMPARE(o.form->checkedStyleItem(), 0);

        o.action("mnuCaratteri_0")->trigger(); // the checked one
        QCOMPARE(o.h.sound.played.size(), 2);
        QVERIFY(o.h.modulo->Vocale != 1);
        QCOMPARE(o.form->checkedStyleItem(), 0);
        QVERIFY(!o.form->StileFisso);

        o.action("mnuCaratteri_3")->trigger();
        QCOMPARE(o.form->checkedStyleItem(), 3);
        for (int i = 0; i < 10; ++i) {
            o.form->Command1_Click();
            QCOMPARE(o.form->Stile, qint16(3));
            QVERIFY(o.form->pictureFile().endsWith(o.h.modulo->Lettere[o.h.modulo->Vocale] + "3.jpg"));
        }
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 10); // style changes are not counted
    }

    void exitNoChangesNothingYesReturnsToAFreshMenu()
    {
        Open o(FormId::Zampli1);
        o.next();
        const qint16 vowel = o.h.modulo->Vocale;
        const int sounds = o.h.sound.played.size();
        o.h.boxes.answers = {MessageBox::Answer::No};
        o.action("mnuEsci")->trigger();
        QCOMPARE(o.h.boxes.shown.back(), (MessageBox{MessageBox::Icon::Question, MessageBox::Buttons::YesNo,
                                                     "ZAMPLI", "Vuoi terminare?"}));
        QVERIFY(o.form->isLoaded());
        QCOMPARE(o.h.modulo->Vocale, vowel);
        QCOMPARE(o.h.sound.played.size(), sounds);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);

        o.form->StileFisso = true;
        o.h.boxes.answers = {MessageBox::Answer::Yes};
        o.action("mnuEsci")->trigger();
        QVERIFY(!o.form->isLoaded());
        QVERIFY(o.h.windows->form(FormId::Menu)->isLoaded());
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 0);
        // The window's own variables outlive its controls.
        QCOMPARE(o.form->Ultima, vowel);
        QVERIFY(o.form->StileFisso);
    }

    void menuButtonsOpenTheseWindowsAndCloseTheMenu()
    {
        Harness h;
        h.writeVowelPictures();
        h.windows->form(FormId::Menu)->Show();
        clickAsUser(h.windows->form(FormId::Menu)->window()->findChild<QPushButton *>("Command6"));
        QVERIFY(h.windows->form(FormId::Zampli1)->isLoaded());
        QVERIFY(!h.windows->form(FormId::Menu)->isLoaded());
        QCOMPARE(h.sound.played.size(), 1);
    }

    void reopenedWindowComesBackInItsDesignState()
    {
        Open o(FormId::Zampli1);
        o.action("mnuCaratteri_2")->trigger();
        o.h.boxes.answers = {MessageBox::Answer::Yes};
        o.form->mnuEsci_Click();
        o.form->Show();
        QCOMPARE(o.form->checkedStyleItem(), 0);
        QVERIFY(!o.form->StileFisso); // activation sets it back
        QVERIFY(!o.nextVisible());
    }

    void activationRunsAgainOnlyAfterAnotherProgramWindow()
    {
        Open o(FormId::Zampli1);
        QWidget *exercise = o.form->window();
        QVERIFY(QTest::qWaitForWindowActive(exercise));
        QCOMPARE(o.h.sound.played.size(), 1); // shown and active: one activation
        Form *menu = o.h.windows->form(FormId::Menu);
        menu->Show(); // beside the exercise
        QVERIFY(QTest::qWaitForWindowActive(menu->window()));
        exercise->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(exercise));
        QCOMPARE(o.h.sound.played.size(), 2); // activated again: new exercise, said

        // A message box over the window comes and goes: no new activation.
        {
            QMessageBox box(QMessageBox::NoIcon, "ZAMPLI", "x", QMessageBox::Ok, exercise);
            box.show();
            box.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&box));
            box.close();
        }
        exercise->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(exercise));
        QCOMPARE(o.h.sound.played.size(), 2);

        // Another program's window (any window not of ours) and back: no new activation.
        {
            QWidget elsewhere;
            elsewhere.show();
            elsewhere.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
            exercise->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(exercise));
        }
        QCOMPARE(o.h.sound.played.size(), 2);

        menu->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu->window()));
        exercise->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(exercise));
        QCOMPARE(o.h.sound.played.size(), 3);
    }

    void wholeWindowScalesWithItsSize()
    {
        Open o(FormId::Posizioni1);
        QWidget *w = o.form->window();
        w->resize(600, 500);
        QApplication::processEvents();
        const QRect small = o.control("Image1")->geometry();
        const int smallCursor = o.control("Command1")->cursor().pixmap().width();
        w->resize(1200, 1000);
        QApplication::processEvents();
        const QRect big = o.control("Image1")->geometry();
        QVERIFY(qAbs(big.width() - 2 * small.width()) <= 4);
        QVERIFY(qAbs(big.height() - 2 * small.height()) <= 4);
        QVERIFY(o.control("Command1")->cursor().pixmap().width() > smallCursor);
        QVERIFY(w->findChild<QMenuBar *>()->font().pixelSize() > 0);
    }
};

QTEST_MAIN(SinglePictureListeningTest)
#include "test_single_picture_listening.moc"
