// SPDX-License-Identifier: GPL-3.0-or-later
// The ground of each window family as the X server shows it after wrong and
// right answers: a colour the program decides but never paints, or paints
// wrong, fails here, where reading the canvas or a fresh grab() would not.

#include "Grounds.h"
#include "fakes/Fakes.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

using namespace zampli;
using namespace zampli::test;

namespace {

const QString kVowels = QStringLiteral("AEIOU");

// Every picture file in a colour of its own (style 0: the face), so the screen tells which it shows.
QColor pictureColour(QChar letter, int style) { return QColor::fromHsv(int(kVowels.indexOf(letter) * 5 + style) * 14, 255, 220); }

// The program opened at its title, and one window reached as a child does:
// the title clicked, then the menu's button.
struct Run {
    Harness h;
    QWidget *window = nullptr;

    // `prepare` changes the pictures before the program starts.
    Run(const char *windowName, const char *menuButton, std::initializer_list<int> vowels = {},
        const std::function<void(Harness &)> &prepare = {})
    {
        for (QChar l : kVowels)
            for (int style = 0; style <= 4; ++style)
                h.writePicture(style ? h.media().letterPicture(l, style) : h.media().facePicture(l),
                               pictureColour(l, style));
        if (prepare)
            prepare(h);
        h.random.scriptNumbers(5, vowels);
        h.programma->Main();
        // Each window active before its click, as under a child's pointer: a
        // late activation of the menu would start the exercise a second time.
        QVERIFY(QTest::qWaitForWindowActive(shown("FormAvvio")));
        clickAsUser(shown("FormAvvio")->findChild<QWidget *>("client"), QPoint(3, 3));
        QVERIFY(QTest::qWaitForWindowActive(shown("FormMenu")));
        clickAsUser(shown("FormMenu")->findChild<QWidget *>(menuButton));
        window = shown(windowName);
        QVERIFY2(window, windowName);
        QVERIFY(QTest::qWaitForWindowExposed(window) && QTest::qWaitForWindowActive(window));
    }
    static QWidget *shown(const QString &name)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible())
                return w;
        return nullptr;
    }
    QWidget *control(const QString &name) const { return window->findChild<QWidget *>(name); }
    QWidget *at(const char *array, int k) const { return control(QStringLiteral("%1_%2").arg(array).arg(k)); }
    QColor ground() const { return groundOnScreen(window); }
    // The picture `w` shows on screen, as letter and style ("E2"; "E0" for the face); empty if none.
    QString seen(const QWidget *w) const
    {
        const QImage shot = onScreen(w);
        const QColor c = shot.pixelColor(shot.rect().center());
        for (QChar l : kVowels)
            for (int style = 0; style <= 4; ++style)
                if (const QColor p = pictureColour(l, style);
                    qAbs(c.red() - p.red()) + qAbs(c.green() - p.green()) + qAbs(c.blue() - p.blue()) < 24)
                    return QString(l) + QString::number(style);
        return {};
    }
    // The first of the array's five shown controls whose picture is (or is not) of `letter`.
    QWidget *showing(const char *array, const QString &letter, bool is = true) const
    {
        for (int k = 0; k < 5; ++k)
            if (at(array, k)->isVisible() && seen(at(array, k)).startsWith(letter) == is)
                return at(array, k);
        return nullptr;
    }
    // The vowel of the last voice played.
    QString heard() const
    {
        for (QChar l : kVowels)
            if (!h.sound.played.isEmpty() && h.sound.played.last() == h.media().voice(l))
                return l;
        return {};
    }
    // Seconds pass on the program's clock; its Timer1 sees them at its next tick.
    void wait(double seconds) { h.clock.advance(seconds); }
};

} // namespace

class ScreenGroundsXcbTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    // A wrong click turns the window black; a right one tints it in the
    // heard vowel's colour in the face windows, and leaves the black in the
    // letter windows; the next turn starts on reddish brown.
    void recognition_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("tints");
        QTest::newRow("three faces") << "FormPosizioni3" << "Command3" << true;
        QTest::newRow("five faces") << "FormPosizioni4" << "Command4" << true;
        QTest::newRow("three letters") << "FormZampli3" << "Command8" << false;
    }
    void recognition()
    {
        QFETCH(QString, name);
        QFETCH(QString, button);
        QFETCH(bool, tints);
        Run o(qPrintable(name), qPrintable(button));
        QTRY_COMPARE(o.ground(), kLoadedBrown);
        for (int turn = 0; turn < 2; ++turn) {
            const QString heard = o.heard();
            clickAsUser(o.showing("Image1", heard, false));
            QCOMPARE(o.h.modulo->EserciziErrati.value(), turn + 1);
            QTRY_COMPARE(o.ground(), kWrongBlack);
            clickAsUser(o.showing("Image1", heard));
            QCOMPARE(o.h.modulo->EserciziEseguiti.value(), turn + 1);
            // The red frame on screen: the right click's paint has gone through.
            QTRY_COMPARE(onScreen(o.control("Shape1")).pixelColor(1, 1), QColor(255, 0, 0));
            QCOMPARE(o.ground(), tints ? kVowelGround.value(heard) : kWrongBlack);
            clickAsUser(o.control("Command2"));
            QTRY_COMPARE(o.ground(), kNextTurnBrown);
        }
    }

    // A wrong face leaves the brown; the right one tints the window in the
    // colour of the written vowel.
    void positionMatching()
    {
        Run o("FormPosizioni5", "Command5");
        QTRY_COMPARE(o.ground(), kLoadedBrown);
        const QString written = o.seen(o.control("Image2")).left(1);
        clickAsUser(o.showing("Image1", written, false));
        QCOMPARE(o.h.sound.played, QStringList{o.h.media().errorSound()});
        QCOMPARE(o.ground(), kLoadedBrown);
        clickAsUser(o.showing("Image1", written));
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QTRY_COMPARE(o.ground(), kVowelGround.value(written));
    }

    // Models A, E, I, O, U in a series of five, each right pair in its
    // colour; then a new series on model A, the ground still green.
    void characterSeriesShowsTheFiveColours()
    {
        Run o("FormCaratteri1", "Command10");
        QTRY_COMPARE(o.ground(), kLoadedBrown);
        for (const QChar vowel : kVowels) {
            QTRY_COMPARE(o.seen(o.control("Image2")), QString(vowel) + "2");
            const QWidget *above = o.showing("Image1", vowel);
            QVERIFY(above);
            clickAsUser(o.at("Image3", above->objectName().back().digitValue()));
            QTRY_COMPARE(o.ground(), kVowelGround.value(vowel));
            clickAsUser(o.control("Command2"));
        }
        QTRY_COMPARE(o.seen(o.control("Image2")), QStringLiteral("A2"));
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 0);
        QCOMPARE(o.ground(), kVowelGround.value("U")); // never reset
    }

    // A click on one of the five shows it in its vowel's colour; more than
    // two seconds later the five come back on light orange.
    void fivePictureListening_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("place");
        QTest::newRow("faces") << "FormPosizioni2" << "Command2" << 3;
        QTest::newRow("letters") << "FormZampli2" << "Command7" << 0;
    }
    void fivePictureListening()
    {
        QFETCH(QString, name);
        QFETCH(QString, button);
        QFETCH(int, place);
        Run o(qPrintable(name), qPrintable(button));
        QTRY_COMPARE(o.ground(), kLightOrange);
        const QString vowel = o.seen(o.at("Image1", place)).left(1);
        QVERIFY(kVowelGround.contains(vowel));
        clickAsUser(o.at("Image1", place));
        QTRY_COMPARE(o.ground(), kVowelGround.value(vowel));
        o.wait(2.5);
        QTRY_COMPARE(o.ground(), kLightOrange);
    }

    // Each vowel in turn on its own ground, the next button pressed as soon
    // as it comes back.
    void singlePictureListening()
    {
        Run o("FormPosizioni1", "Command1", {1, 2, 3, 4, 5});
        for (const QChar vowel : kVowels) {
            if (vowel != 'A') {
                o.wait(2.5);
                QTRY_VERIFY(o.control("Command1")->isVisible());
                clickAsUser(o.control("Command1"));
            }
            QTRY_COMPARE(o.seen(o.control("Image1")), QString(vowel) + "0");
            QTRY_COMPARE(o.ground(), kVowelGround.value(vowel));
        }
    }

    // E's face is a PNG all see-through, under the .jpg name the set uses:
    // where it shows, the box is white, not A's face still there under it.
    void aSeeThroughPictureShowsWhiteNotThePictureBefore()
    {
        Run o("FormPosizioni1", "Command1", {1, 2}, [](Harness &h) {
            QImage clear(40, 30, QImage::Format_ARGB32);
            clear.fill(Qt::transparent);
            QVERIFY(clear.save(h.media().facePicture(QStringLiteral("E")), "PNG"));
        });
        QTRY_COMPARE(o.seen(o.control("Image1")), QStringLiteral("A0"));
        o.wait(2.5);
        QTRY_VERIFY(o.control("Command1")->isVisible());
        clickAsUser(o.control("Command1"));
        QTRY_COMPARE(o.heard(), QStringLiteral("E"));
        QTRY_COMPARE(o.ground(), kVowelGround.value("E"));
        const QWidget *box = o.control("Image1");
        QTRY_COMPARE(onScreen(box).pixelColor(box->rect().center()), QColor(Qt::white));
    }
};

QTEST_MAIN(ScreenGroundsXcbTest)
#include "test_screen_grounds_xcb.moc"

