// SPDX-License-Identifier: GPL-3.0-or-later
// The ground of the windows as the X server shows it after right answers,
// and the marks that must stand out on it: a colour the program decides but
// never paints, or paints wrong, fails here, where reading the canvas or a
// fresh grab() would not. The turns played by keyboard check the other windows.

#include "FocusRing.h"
#include "Grounds.h"
#include "KeyPresses.h"
#include "MatchingPictures.h"

#include "exercises/listening/SinglePictureListening.h"
#include "exercises/recognition/PictureRecognition.h"
#include "shell/Controls.h"

#include <QtTest>
#include <QtWidgets>
#include <cmath>

using namespace zampli;
using namespace zampli::test;

namespace {

#define SETTLES(cond) QVERIFY2(QTest::qWaitFor([&] { return bool(cond); }, 5000), #cond)

// The picture `w` shows on screen, as letter and style ("E2"; "E0" for the face); empty if none.
QString seen(const QWidget *w)
{
    const QImage shot = onScreen(w);
    const QColor c = shot.pixelColor(shot.rect().center());
    for (const QString &l : kVowels)
        for (int style = 0; style <= 4; ++style)
            if (const QColor p = pictureColour(l, style);
                qAbs(c.red() - p.red()) + qAbs(c.green() - p.green()) + qAbs(c.blue() - p.blue()) < 24)
                return l + QString::number(style);
    return {};
}

// Contrast ratio of two colours by their relative luminance, 1 to 21.
double contrast(QColor a, QColor b)
{
    const auto lum = [](QColor c) {
        const auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double x = lum(a), y = lum(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// Six screen pixels at least: three a band.
constexpr int kLeastRing = 6;

} // namespace

class ScreenGroundsXcbTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    // Each vowel in turn on its own ground, the next button pressed as soon
    // as it comes back, more than two seconds on the program's clock later.
    // E's face is a PNG all see-through, under the .jpg name the set uses:
    // where it shows, the box is white, not A's face still there under it.
    void singlePictureListening()
    {
        Open<SinglePictureListening> o(FormId::Posizioni1, "Command1", {}, [](Harness &h) {
            QImage clear(40, 30, QImage::Format_ARGB32);
            clear.fill(Qt::transparent);
            QVERIFY(clear.save(h.media().facePicture(QStringLiteral("E")), "PNG"));
            h.random.scriptNumbers(5, {1, 2, 3, 4, 5});
        });
        const QWidget *box = o.control("Image1");
        for (const QString &vowel : kVowels) {
            if (vowel != "A") {
                o.h.clock.advance(2.5);
                QTRY_VERIFY(o.control<QWidget>("Command1")->isVisible());
                o.click("Command1");
            }
            QTRY_COMPARE(groundOnScreen(o.window()), kVowelGround.value(vowel));
            if (vowel == "E")
                QTRY_COMPARE(onScreen(box).pixelColor(box->rect().center()), QColor(Qt::white));
            else
                QTRY_COMPARE(seen(box), vowel + "0");
        }
        QCOMPARE(o.h.sound.played.value(1), o.h.media().voice("E"));
    }

    // A right answer in FormPosizioni4 tints the ground in the vowel's
    // colour. On each of the five the red frame keeps a red middle, its
    // outer edge apart from the ground by at least 3 to 1 (the least asked
    // of a mark that must be seen), and the keyboard's ring round the next
    // button shows.
    void marksStandOutOnEveryVowelGround()
    {
        Open<PictureRecognition> o(FormId::Posizioni4, "Command4", {}, [](Harness &h) {
            h.random.scriptNumbers(5, {1, 2, 3, 4, 5, 1}); // A..U in boxes 0..4, A spoken
        });
        QWidget *window = o.window(), *next = o.control<QWidget>("Command2");
        QVERIFY(QTest::qWaitForWindowActive(window));
        for (int v = 0; v < 5; ++v) {
            QWidget *box = o.at("Image1", v);
            clickAsUser(box);
            QTRY_COMPARE(groundOnScreen(window), vowelGround(v + 1));
            const int line = o.control<OutlineFrame>("Shape1")->lineWidth();
            const QPoint corner = box->mapTo(window, QPoint());
            QTRY_COMPARE(onScreen(window).pixelColor(corner - QPoint(line / 2 + 1, line / 2 + 1)), QColor(255, 0, 0));
            const double ratio = contrast(onScreen(window).pixelColor(corner - QPoint(line, line)), vowelGround(v + 1));
            QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("%1: %2 to 1").arg(kVowels[v]).arg(ratio)));
            QVERIFY(press("Tab"));
            QVERIFY(pressUntilFocused("Tab", next));
            QTRY_VERIFY2(ringOnScreen(next) >= kLeastRing,
                         qPrintable(QStringLiteral("%1: %2").arg(kVowels[v]).arg(ringOnScreen(next))));
            if (v < 4) { // the next turn speaks the next vowel, the boxes as before
                o.h.random.scriptNumbers(5, {1, 2, 3, 4, 5, v + 2});
                QVERIFY(press("space"));
                SETTLES(o.at("Image1", 0)->isEnabled() && !next->isVisible());
                QTest::mouseMove(window); // a click next starts a mouse turn: the ring may go
            }
        }
    }
};

QTEST_MAIN(ScreenGroundsXcbTest)
#include "test_screen_grounds_xcb.moc"
