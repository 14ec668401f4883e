// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/Fakes.h"

#include "exercises/listening/SinglePictureListening.h"
#include "shell/DesignCanvas.h"

#include <QtTest>
#include <QtWidgets>

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
        // The file of the vowel on show, in the window's style.
        QString pictureFile() const
        {
            const QString letter(QChar("AEIOU"[form->vowel() - 1]));
            return form->row().pictures == Pictures::Letters ? h.media().letterPicture(letter, form->Stile)
                                                              : h.media().facePicture(letter);
        }
    };

private slots:
    void activationShowsAndSaysAVowel()
    {
        // Zampli1: vowel 3 (I), style 4 (cursive lower case).
        Open o(FormId::Zampli1, {0.5, 0.9});
        QCOMPARE(o.form->canvas()->background(), QColor(0, 0, 255));
        QCOMPARE(o.pictureFile(), o.h.media().letterPicture("I", 4));
        QVERIFY(!o.form->window()->findChild<PictureBox *>("Image1")->showsPlaceholder());
        QCOMPARE(o.h.sound.played, QStringList{o.voice("I")});
        QVERIFY(!o.nextVisible()); // the first exercise is not counted: see countsResetAndExit

        Open faces(FormId::Posizioni1, {0.95}); // faces, its own colour, no options
        QVERIFY(faces.pictureFile() == faces.h.media().facePicture("U") &&
                faces.form->canvas()->background() == QColor(0, 192, 0) &&
                !faces.form->window()->findChild<QMenu *>("mnuOpzioni"));
    }

    void theSameVowelNeverComesTwiceInARow()
    {
        // E first; then E, E again before O is accepted.
        Open o(FormId::Posizioni1, {0.3, 0.3, 0.3, 0.7});
        o.next();
        QCOMPARE(o.form->vowel(), 4);
        QCOMPARE(o.h.sound.played, QStringList({o.voice("E"), o.voice("O")}));

        // Over many presses each other vowel follows a given one about as often.
        QHash<int, int> follows; // before * 10 + after
        for (int i = 0, before = o.form->vowel(); i < 5000; ++i, before = o.form->vowel()) {
            o.form->Command1_Click();
            QVERIFY(o.form->vowel() != before);
            ++follows[before * 10 + o.form->vowel()];
        }
        QCOMPARE(follows.size(), 20);
        for (const int count : std::as_const(follows))
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
        o.tick(2.0); // exactly two seconds: not yet
        QVERIFY(!o.nextVisible());
        o.tick(0.5);
        QVERIFY(o.nextVisible());
        clickAsUser(o.control("Image1"));
        QVERIFY(!o.nextVisible());
    }

    void styleItemStartsANewExerciseEvenWhenAlreadyChecked()
    {
        Open o(FormId::Zampli1, {0.1, 0.1});
        o.action("mnuCaratteri_0")->trigger(); // the checked one
        QVERIFY(o.h.sound.played.size() == 2 && o.form->vowel() != 1 && !o.form->StileFisso);
        o.action("mnuCaratteri_3")->trigger();
        QCOMPARE(checkedStyleItem(*o.form), 3);
        for (int i = 0; i < 3; ++i, o.form->Command1_Click())
            QVERIFY(o.pictureFile().endsWith(QString("AEIOU"[o.form->vowel() - 1]) + "3.jpg"));
    }

    // Opened from the menu, which closes; presses are counted, repeats and
    // style changes are not, and this window's reset clears only that count;
    // "Esci" brings back the menu.
    void countsResetAndExit()
    {
        Open o(FormId::Zampli1, {}, "Command6");
        QVERIFY(!o.h.windows->form(FormId::Menu)->isLoaded());
        for (int i = 0; i < 3; ++i)
            o.next();
        clickAsUser(o.control("Image1"));
        o.action("mnuCaratteri_2")->trigger();
        QCOMPARE(o.h.sound.played.size(), 6);
        o.action("mnuEsercizi")->trigger();
        QCOMPARE(o.h.boxes.shown.back().text, QStringLiteral("Sono stati eseguiti  3 esercizi."));
        o.h.modulo->EserciziErrati = 2;
        o.action("mnuAzzera")->trigger();
        QVERIFY(o.h.modulo->EserciziEseguiti.value() == 0 && o.h.modulo->EserciziErrati.value() == 2);
        o.h.boxes.answers = {MessageBox::Answer::Yes};
        o.action("mnuEsci")->trigger();
        QVERIFY(!o.form->isLoaded() && o.h.windows->form(FormId::Menu)->isLoaded());
    }

    void activationRunsAgainOnlyAfterAnotherProgramWindow()
    {
        Open o(FormId::Zampli1);
        QWidget *exercise = o.form->window();
        const auto activate = [](QWidget *w) { return w->show(), w->activateWindow(), QTest::qWaitForWindowActive(w); };
        QVERIFY(QTest::qWaitForWindowActive(exercise));
        QCOMPARE(o.h.sound.played.size(), 1); // shown and active: one activation
        o.h.windows->form(FormId::Menu)->Show(); // beside the exercise
        QVERIFY(QTest::qWaitForWindowActive(o.h.windows->form(FormId::Menu)->window()));
        QVERIFY(activate(exercise));
        QCOMPARE(o.h.sound.played.size(), 2); // activated again: new exercise, said

        // A message box over the window, or another program's window (any
        // window not of ours), comes and goes: no new activation.
        QMessageBox box(QMessageBox::NoIcon, "ZAMPLI", "x", QMessageBox::Ok, exercise);
        QVERIFY(activate(&box));
        box.close();
        QVERIFY(activate(exercise));
        QWidget elsewhere;
        QVERIFY(activate(&elsewhere));
        QVERIFY(activate(exercise));
        QCOMPARE(o.h.sound.played.size(), 2);
    }
};

QTEST_MAIN(SinglePictureListeningTest)
#include "test_single_picture_listening.moc"
