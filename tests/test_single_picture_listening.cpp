#include "fakes/Fakes.h"

#include "exercises/listening/SinglePictureListening.h"
#include "shell/DesignCanvas.h"

#include <QMenu>
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

        // Opened directly, or with a button of the menu.
        explicit Open(FormId id, std::initializer_list<double> draws = {}, const char *menuButton = nullptr)
        {
            h.writeVowelPictures();
            h.random.script(draws);
            form = &h.windows->form<SinglePictureListening>(id);
            Form *opener = menuButton ? h.windows->form(FormId::Menu) : form;
            opener->Show();
            if (menuButton)
                clickAsUser(opener->window()->findChild<QPushButton *>(menuButton));
        }
        QWidget *control(const char *name) const { return form->window()->findChild<QWidget *>(name); }
        bool nextVisible() const { return !control("Command1")->isHidden(); }
        QString voice(const char *letter) const { return h.media().voice(letter); }
        QAction *action(const char *name) const { return form->window()->findChild<QAction *>(name); }
        void tick(double seconds) { h.clock.advance(seconds), form->Timer1_Timer(); } // of Timer1, seconds later
        // Waits, as a child must, for the next button to come back, then presses it.
        void next() { tick(2.5), clickAsUser(control("Command1")); }
    };

private slots:
    void activationShowsAndSaysAVowel()
    {
        // Zampli1: vowel 3 (I), style 4 (cursive lower case).
        Open o(FormId::Zampli1, {0.5, 0.9});
        QCOMPARE(o.h.modulo->Vocale, qint16(3));
        QCOMPARE(o.form->Stile, qint16(4));
        QCOMPARE(o.form->canvas()->background(), QColor(0, 0, 255));
        QCOMPARE(o.form->pictureFile(), o.h.media().letterPicture("I", 4));
        QVERIFY(!o.form->window()->findChild<PictureBox *>("Image1")->showsPlaceholder());
        QCOMPARE(o.h.sound.played, QStringList{o.voice("I")});
        QCOMPARE(o.h.modulo->Percorso, o.voice("I"));
        QVERIFY(!o.nextVisible());
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 0); // the first exercise is not counted
        QVERIFY(o.form->window()->findChild<QTimer *>("Timer1")->isActive());

        // The faces window: faces, its own colour, no options.
        Open faces(FormId::Posizioni1, {0.95});
        QCOMPARE(faces.form->pictureFile(), faces.h.media().facePicture("U"));
        QCOMPARE(faces.form->canvas()->background(), QColor(0, 192, 0));
        QVERIFY(!faces.form->window()->findChild<QMenu *>("mnuOpzioni"));
    }

    void theSameVowelNeverComesTwiceInARow()
    {
        // E first; then E, E again before O is accepted.
        Open o(FormId::Posizioni1, {0.3, 0.3, 0.3, 0.7});
        o.next();
        QCOMPARE(o.h.modulo->Vocale, qint16(4));
        QCOMPARE(o.h.sound.played, QStringList({o.voice("E"), o.voice("O")}));

        // Over many presses each other vowel follows a given one about as often.
        std::map<std::pair<int, int>, int> follows;
        for (int i = 0; i < 5000; ++i) {
            const int before = o.h.modulo->Vocale;
            o.form->Command1_Click();
            QVERIFY(o.h.modulo->Vocale != before);
            ++follows[{before, o.h.modulo->Vocale}];
        }
        QCOMPARE(follows.size(), size_t(20));
        for (const auto &[pair, count] : follows)
            QVERIFY2(count > 190 && count < 310, qPrintable(QString::number(count)));
    }

    // The next button comes back only more than two seconds after the voice
    // began, midnight or not; a click on the picture says the vowel again and
    // starts the wait anew.
    void nextButtonWaitsMoreThanTwoSeconds_data()
    {
        QTest::addColumn<double>("voiceAt");
        QTest::newRow("by day") << 36000.0;
        QTest::newRow("just before midnight") << 86399.2;
    }

    void nextButtonWaitsMoreThanTwoSeconds()
    {
        QFETCH(double, voiceAt);
        Open o(FormId::Posizioni1);
        o.h.clock.now = voiceAt;
        clickAsUser(o.control("Image1"));
        QCOMPARE(o.h.sound.played, QStringList(2, o.h.sound.played[0])); // the same vowel
        o.tick(1.0);
        QVERIFY(!o.nextVisible());
        o.tick(1.0); // exactly two seconds: not yet
        QVERIFY(!o.nextVisible());
        QCOMPARE(o.h.modulo->OraAttuale, o.h.clock.now);
        o.tick(0.5);
        QVERIFY(o.nextVisible());
        clickAsUser(o.control("Image1"));
        QVERIFY(!o.nextVisible());
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 0);
    }

    void styleItemStartsANewExerciseEvenWhenAlreadyChecked()
    {
        Open o(FormId::Zampli1, {0.1, 0.1});
        auto *opzioni = o.form->window()->findChild<QMenu *>("mnuOpzioni");
        QVERIFY(opzioni);
        QCOMPARE(opzioni->actions().size(), styleItemCaptions(StyleItems::Five).size());
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
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 10);
    }

    // Opened from the menu, which closes; presses are counted, repeats and
    // style changes are not, and this window's reset clears only that count;
    // "Esci" answered No changes nothing, Yes brings back a fresh menu; opened
    // again, the window is as designed.
    void countsResetAndExit()
    {
        Open o(FormId::Zampli1, {}, "Command6");
        SinglePictureListening &form = *o.form;
        Harness &h = o.h;
        QVERIFY(!h.windows->form(FormId::Menu)->isLoaded());
        for (int i = 0; i < 3; ++i)
            o.next();
        clickAsUser(o.control("Image1"));
        o.action("mnuCaratteri_2")->trigger();
        QCOMPARE(h.sound.played.size(), 6);
        o.action("mnuEsercizi")->trigger();
        QCOMPARE(h.boxes.shown.back(), (MessageBox{MessageBox::Icon::None, MessageBox::Buttons::Ok, "ZAMPLI",
                                                   "Sono stati eseguiti  3 esercizi."}));
        h.modulo->EserciziErrati = 2;
        o.action("mnuAzzera")->trigger();
        QCOMPARE(h.modulo->EserciziEseguiti.value(), 0);
        QCOMPARE(h.modulo->EserciziErrati.value(), 2);
        QCOMPARE(h.boxes.shown.size(), size_t(1));

        h.modulo->EserciziEseguiti = 1;
        const qint16 vowel = h.modulo->Vocale;
        h.boxes.answers = {MessageBox::Answer::No};
        o.action("mnuEsci")->trigger();
        QCOMPARE(h.boxes.shown.back(), (MessageBox{MessageBox::Icon::Question, MessageBox::Buttons::YesNo,
                                                   "ZAMPLI", "Vuoi terminare?"}));
        QVERIFY(form.isLoaded());
        QCOMPARE(h.modulo->Vocale, vowel);
        QCOMPARE(h.sound.played.size(), 6);
        QCOMPARE(h.modulo->EserciziEseguiti.value(), 1);

        h.boxes.answers = {MessageBox::Answer::Yes};
        o.action("mnuEsci")->trigger();
        QVERIFY(!form.isLoaded());
        QVERIFY(h.windows->form(FormId::Menu)->isLoaded());
        QCOMPARE(h.modulo->EserciziEseguiti.value(), 0);
        // The window's own variables outlive its controls.
        QCOMPARE(form.Ultima, vowel);
        QVERIFY(form.StileFisso);

        form.Show();
        QCOMPARE(form.checkedStyleItem(), 0);
        QVERIFY(!form.StileFisso); // activation sets it back
        QVERIFY(!o.nextVisible());
    }

    void activationRunsAgainOnlyAfterAnotherProgramWindow()
    {
        Open o(FormId::Zampli1);
        QWidget *exercise = o.form->window();
        const auto activate = [](QWidget *w) {
            w->activateWindow();
            return QTest::qWaitForWindowActive(w);
        };
        QVERIFY(QTest::qWaitForWindowActive(exercise));
        QCOMPARE(o.h.sound.played.size(), 1); // shown and active: one activation
        o.h.windows->form(FormId::Menu)->Show(); // beside the exercise
        QWidget *menu = o.h.windows->form(FormId::Menu)->window();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        QVERIFY(activate(exercise));
        QCOMPARE(o.h.sound.played.size(), 2); // activated again: new exercise, said

        // A message box over the window, or another program's window (any
        // window not of ours), comes and goes: no new activation.
        QMessageBox box(QMessageBox::NoIcon, "ZAMPLI", "x", QMessageBox::Ok, exercise);
        box.show();
        QVERIFY(activate(&box));
        box.close();
        QVERIFY(activate(exercise));
        QWidget elsewhere;
        elsewhere.show();
        QVERIFY(activate(&elsewhere));
        QVERIFY(activate(exercise));
        QCOMPARE(o.h.sound.played.size(), 2);

        QVERIFY(activate(menu));
        QVERIFY(activate(exercise));
        QCOMPARE(o.h.sound.played.size(), 3);
    }
};

QTEST_MAIN(SinglePictureListeningTest)
#include "test_single_picture_listening.moc"
