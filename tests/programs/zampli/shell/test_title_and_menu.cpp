// SPDX-License-Identifier: GPL-3.0-or-later
#include "WordListFiles.h"
#include "fakes/Fakes.h"

#include "shell/Buttons.h"
#include "shell/Controls.h"
#include "shell/DesignCanvas.h"
#include "shell/FormAvvio.h"
#include "shell/FormMenu.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <map>

using namespace zampli;
using namespace zampli::test;

class TitleAndMenuTest : public QObject {
    Q_OBJECT

    // The window on screen whose design name is `name`, as the child sees it.
    static QWidget *shownWindow(const QString &name)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == name)
                return w;
        return nullptr;
    }

private slots:
    // One click anywhere on the title opens the menu and clears the
    // counters, running one handler only; pressed on one letter and released
    // on another, it is no click at all.
    void anyClickOnTitleOpensMenu_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("letter");     // the letter's index its click names, or -1
        QTest::addColumn<int>("background"); // clicks the ground takes
        QTest::newRow("background") << QString("client") << -1 << 1;
        QTest::newRow("title") << QString("Label1") << -1 << 0;
        QTest::newRow("letter") << QString("Label2_2") << 2 << 0;
    }
    void anyClickOnTitleOpensMenu()
    {
        QFETCH(QString, target);
        QFETCH(int, letter);
        QFETCH(int, background);
        Harness h;
        h.programma->Main();
        h.modulo->EserciziEseguiti = 5;
        h.modulo->EserciziErrati = 2;
        QWidget *title = h.windows->form(FormId::Avvio)->window();
        auto *canvas = title->findChild<DesignCanvas *>("client");
        QSignalSpy letterClicks(title->findChild<ControlArraySignals *>("Label2"), &ControlArraySignals::clicked);
        QSignalSpy backgroundClicks(canvas, &DesignCanvas::clicked);
        QWidget *a = title->findChild<QWidget *>("Label2_0"), *e = title->findChild<QWidget *>("Label2_2");
        QTest::mousePress(a, Qt::LeftButton, {}, a->rect().center());
        QTest::mouseRelease(a, Qt::LeftButton, {}, a->mapFrom(canvas, e->geometry().center()));
        QVERIFY(letterClicks.isEmpty() && backgroundClicks.isEmpty() && !shownWindow("FormMenu"));

        QWidget *w = title->findChild<QWidget *>(target);
        // On the background, a spot that no label covers.
        clickAsUser(w, target == "client" ? QPoint(w->width() - 3, w->height() - 3) : w->rect().center());
        QTRY_VERIFY(!h.windows->form(FormId::Avvio)->isLoaded());
        QVERIFY(shownWindow("FormMenu"));
        QCOMPARE(backgroundClicks.size(), background);
        QCOMPARE(letterClicks.size(), letter < 0 ? 0 : 1);
        if (letter >= 0)
            QCOMPARE(letterClicks.at(0).at(0).toInt(), letter);
        QCOMPARE(h.modulo->EserciziEseguiti.value(), 0);
        QCOMPARE(h.modulo->EserciziErrati.value(), 0);
    }

    // The program starts at its title alone, seeding its draws once.
    void startShowsTheTitle()
    {
        Harness h;
        h.programma->Main();
        QVERIFY(shownWindow("FormAvvio") && !shownWindow("FormMenu"));
        QCOMPARE(h.random.seeds, 1);
        QWidget *title = h.windows->form(FormId::Avvio)->window();
        QCOMPARE(title->windowTitle(), QStringLiteral("ZAMPLI"));
        auto *canvas = title->findChild<DesignCanvas *>("client");
        QCOMPARE(canvas->background(), QColor(255, 192, 255));
        auto *label = title->findChild<QLabel *>("Label1");
        QCOMPARE(label->text(), QStringLiteral("ZAMPLI"));
        QVERIFY(label->font().bold());
        const QString letters = [&] {
            QString s;
            for (int i = 0; i < 10; ++i)
                s += title->findChild<QLabel *>(QString("Label2_%1").arg(i))->text();
            return s;
        }();
        QCOMPARE(letters, QStringLiteral("AaEeoOuiUI"));
        // Each letter in its vowel's colour: "i" (index 7) blue, "e" (3) yellow.
        QCOMPARE(title->findChild<QLabel *>("Label2_7")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(title->findChild<QLabel *>("Label2_3")->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        // The title keeps the design's place: left edge at 3600 of 11550 twips.
        const qreal s = canvas->fit().pixelsPerTwip;
        QCOMPARE(label->x(), canvas->fit().offset.x() + qRound(3600 * s));
        QVERIFY(!canvas->cursor().pixmap().isNull());
        // The letters keep the normal pointer, the title the window's own.
        QCOMPARE(title->findChild<QLabel *>("Label2_0")->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(label->cursor().shape(), Qt::BitmapCursor);
    }

    void menuCaptionsAndTabOrder()
    {
        Harness h;
        h.windows->form(FormId::Menu)->Show();
        QWidget *menu = h.windows->form(FormId::Menu)->window();
        const QStringList expected = {
            " POSIZIONI/SUONI   ascolto 1", "Informazioni", "Esci",
            " POSIZIONI/SUONI   ascolto 2", " POSIZIONI/SUONI   riconosci 1",
            " POSIZIONI/SUONI   riconosci 2", " abbina POSIZIONI/SUONI",
            "ZAMPLI/SUONI   ascolto 1", "ZAMPLI/SUONI   ascolto 2",
            "ZAMPLI/SUONI   riconosci 1", "ZAMPLI/SUONI   riconosci 2",
            " abbina CARATTERI 1", " abbina CARATTERI 2", " INIZIA PER ......"};
        // Walk the tab chain from the first button.
        QWidget *w = menu->findChild<QPushButton *>("Command1");
        QStringList chain;
        for (int i = 0; i < expected.size(); ++i, w = w->nextInFocusChain()) {
            while (!qobject_cast<QPushButton *>(w))
                w = w->nextInFocusChain();
            chain << static_cast<QPushButton *>(w)->text();
        }
        QCOMPARE(chain, expected);
        QCOMPARE(menu->findChildren<QPushButton *>().size(), 14);
        QCOMPARE(menu->findChild<DesignCanvas *>("client")->background(), QColor(255, 0, 255));
        auto *c1 = menu->findChild<QPushButton *>("Command1");

        // At the design's own size every caption fits whole, wrapping where it
        // must, in its design font or nearly so.
        menu->resize(10770 / 15, 8610 / 15);
        QApplication::processEvents();
        QCOMPARE(c1->font().pixelSize(), 21); // 15.75 points
        for (auto *b : menu->findChildren<CaptionButton *>())
            QVERIFY2(b->caption().font.pixelSize() >= 20, qPrintable(b->text()));
        QCOMPARE(menu->findChild<CaptionButton *>("Command4")->caption().lines,
                 QStringList({"POSIZIONI/SUONI", "riconosci 2"}));
        QCOMPARE(menu->findChild<CaptionButton *>("Command3D5")->caption().lines, QStringList{"Esci"});
    }

    // "Informazioni" says the same four lines each time; "Esci" answered No
    // changes nothing, Yes ends the program. Neither touches the counters.
    void informationAndExit()
    {
        Harness h;
        h.windows->form(FormId::Menu)->Show();
        h.modulo->EserciziEseguiti = 4;
        QWidget *menu = h.windows->form(FormId::Menu)->window();
        for (int i = 0; i < 2; ++i)
            clickAsUser(menu->findChild<QPushButton *>("Command3D6"));
        // The product's own addresses, never a reserved example domain.
        const MessageBox info{MessageBox::Icon::Information, MessageBox::Buttons::Ok, "ZAMPLI",
                              "Squadra ZAMPLI  \r\n ----------------------- \r\nhttps://www.zampli.it\r\nmail: info@zampli.it"};
        const MessageBox exit{MessageBox::Icon::Question, MessageBox::Buttons::YesNo, "ZAMPLI", "Vuoi uscire dal programma?"};
        h.boxes.answers = {MessageBox::Answer::No};
        clickAsUser(menu->findChild<QPushButton *>("Command3D5"));
        QCOMPARE(h.boxes.shown, (std::vector<MessageBox>{info, info, exit}));
        QCOMPARE(h.programEnds, 0);
        QVERIFY(shownWindow("FormMenu"));
        QCOMPARE(h.modulo->EserciziEseguiti.value(), 4);
        h.boxes.answers = {MessageBox::Answer::Yes};
        clickAsUser(menu->findChild<QPushButton *>("Command3D5"));
        QCOMPARE(h.programEnds, 1);
    }

    void everyButtonOpensItsOwnWindow()
    {
        const std::map<QString, std::pair<QString, bool>> buttons = {
            {"Command1", {"FormPosizioni1", false}}, {"Command2", {"FormPosizioni2", false}},
            {"Command3", {"FormPosizioni3", false}}, {"Command4", {"FormPosizioni4", false}},
            {"Command5", {"FormPosizioni5", false}}, {"Command6", {"FormZampli1", false}},
            {"Command7", {"FormZampli2", false}},    {"Command8", {"FormZampli3", false}},
            {"Command9", {"FormZampli4", false}},    {"Command10", {"FormCaratteri1", true}},
            {"Command11", {"FormCaratteri2", true}}, {"Command12", {"FormIniziaPer", true}}};
        for (const auto &[button, opens] : buttons) {
            Harness h;
            writeWordLists(h, {"ape"});
            h.windows->form(FormId::Menu)->Show();
            clickAsUser(h.windows->form(FormId::Menu)->window()->findChild<QPushButton *>(button));
            QVERIFY2(shownWindow(opens.first), qPrintable(button));
            QCOMPARE(bool(shownWindow("FormMenu")), opens.second);
        }
    }
};

QTEST_MAIN(TitleAndMenuTest)
#include "test_title_and_menu.moc"
