// SPDX-License-Identifier: GPL-3.0-or-later
// The red frame of a right answer as the screen shows it, on each vowel's
// ground: FormPosizioni4 tints the window in the colour of the vowel framed.
#include "fakes/Fakes.h"

#include "exercises/recognition/PictureRecognition.h"
#include "shell/Controls.h"

#include <QScreen>
#include <QtTest>
#include <cmath>

using namespace zampli;
using namespace zampli::test;

namespace {

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

} // namespace

class FrameContrastTest : public QObject {
    Q_OBJECT

private slots:
    // On every ground the ring keeps a red middle, and its outer edge stands
    // apart from the ground by at least 3 to 1, the least asked of a mark
    // that must be seen.
    void ringStandsOutOnEveryVowelGround()
    {
        Harness h;
        for (const char *l : {"A", "E", "I", "O", "U"})
            h.writePicture(h.media().facePicture(QString::fromLatin1(l)), Qt::white);
        h.random.scriptNumbers(5, {1, 2, 3, 4, 5, 1}); // A..U in boxes 0..4, A spoken
        auto &form = h.windows->form<PictureRecognition>(FormId::Posizioni4);
        form.Show();
        QWidget *window = form.window();
        window->resize(936, 720 + 40);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const std::pair<const char *, QColor> grounds[] = {{"A", QColor(255, 0, 0)},
                                                           {"E", QColor(255, 255, 0)},
                                                           {"I", QColor(0, 0, 255)},
                                                           {"O", QColor(255, 192, 192)},
                                                           {"U", QColor(0, 192, 0)}};
        for (int v = 0; v < 5; ++v) {
            const auto &[letter, ground] = grounds[v];
            QWidget *box = window->findChild<QWidget *>(QStringLiteral("Image1_%1").arg(v));
            clickAsUser(box);
            const int line = window->findChild<OutlineFrame *>("Shape1")->lineWidth();
            const QRect r(box->mapTo(window, QPoint()), box->size());
            const QPoint outer = r.topLeft() - QPoint(line, line), middle = r.topLeft() - QPoint(line / 2 + 1, line / 2 + 1),
                         beyond = r.topLeft() - QPoint(line + 3, line + 3);
            QImage shot;
            const auto grab = [&] { shot = window->screen()->grabWindow(window->winId()).toImage(); };
            grab();
            QTRY_COMPARE_WITH_TIMEOUT((grab(), shot.pixelColor(beyond)), ground, 2000);
            QCOMPARE(shot.pixelColor(middle), QColor(255, 0, 0));
            const double ratio = contrast(shot.pixelColor(outer), ground);
            QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("%1: %2 to 1").arg(letter).arg(ratio)));
            if (v < 4) { // the next turn speaks the next vowel, the boxes as before
                h.random.scriptNumbers(5, {1, 2, 3, 4, 5, v + 2});
                clickAsUser(window->findChild<QWidget *>("Command2"));
            }
        }
    }
};

QTEST_MAIN(FrameContrastTest)
#include "test_frame_contrast_xcb.moc"
