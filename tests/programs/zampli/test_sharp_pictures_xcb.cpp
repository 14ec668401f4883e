// SPDX-License-Identifier: GPL-3.0-or-later
// The default letters and faces as a whiteboard's 3840x2160 full screen
// shows them: the edge from paper to ink is as narrow as a line of the
// frame, not a grey ramp of a small picture stretched four times over.
// Runs on a screen of that size (see tests/CMakeLists.txt).

#include "Grounds.h"
#include "fakes/Fakes.h"

#include <QtTest>
#include <QtWidgets>

#include <algorithm>

using namespace zampli;
using namespace zampli::test;

namespace {

// The grey values along one line of the shot.
using Line = std::vector<int>;

// Across every edge the line crosses (a steady climb or fall of at least
// 120 grey levels, its steps 3 levels or more), the pixels strictly
// between 15 % and 85 % of the way: the width of the edge's ramp.
void edgeWidths(const Line &g, std::vector<int> &widths)
{
    std::size_t start = 0;
    for (std::size_t i = 1; i <= g.size(); ++i) {
        const int step = i < g.size() ? g[i] - g[i - 1] : 0;
        const int runStep = i - 1 > start ? g[start + 1] - g[start] : step;
        if (i < g.size() && std::abs(step) >= 3 && (step > 0) == (runStep > 0))
            continue;
        const int from = g[start], to = g[i - 1];
        if (std::abs(to - from) >= 120) {
            const int lo = std::min(from, to) + std::abs(to - from) * 15 / 100;
            const int hi = std::max(from, to) - std::abs(to - from) * 15 / 100;
            widths.push_back(int(std::count_if(g.begin() + start, g.begin() + i,
                                               [&](int v) { return v > lo && v < hi; })));
        }
        start = std::abs(step) >= 3 ? i - 1 : i;
    }
}

// The median width over every row and column of the shot; -1 with no edge.
int medianEdgeWidth(const QImage &shot)
{
    std::vector<int> widths;
    const auto across = [&](int lines, int length, auto at) {
        for (int i = 0; i < lines; ++i) {
            Line line;
            for (int j = 0; j < length; ++j)
                line.push_back(qGray(at(i, j)));
            edgeWidths(line, widths);
        }
    };
    across(shot.height(), shot.width(), [&](int y, int x) { return shot.pixel(x, y); });
    across(shot.width(), shot.height(), [&](int x, int y) { return shot.pixel(x, y); });
    if (widths.empty())
        return -1;
    std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
    return widths[widths.size() / 2];
}

} // namespace

class SharpPicturesXcbTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(3840, 2160));
    }

    // One window showing one large picture, opened as a child does, put
    // full screen with F11: at most 2 pixels of grey across a letter's or
    // a face's outline.
    void fullScreenEdges_data()
    {
        QTest::addColumn<FormId>("id");
        QTest::addColumn<QString>("button");
        QTest::newRow("letter") << FormId::Zampli1 << "Command6";
        QTest::newRow("face") << FormId::Posizioni1 << "Command1";
    }
    void fullScreenEdges()
    {
        QFETCH(FormId, id);
        QFETCH(QString, button);
        // The program folder's own default media, as the build makes them.
        Harness h(QCoreApplication::applicationDirPath());
        h.programma->Main();
        QWidget *title = h.windows->form(FormId::Avvio)->window();
        QVERIFY(QTest::qWaitForWindowActive(title));
        clickAsUser(title->findChild<QWidget *>("client"), QPoint(3, 3));
        QWidget *menu = h.windows->form(FormId::Menu)->window();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        clickAsUser(menu->findChild<QWidget *>(button));
        QWidget *window = h.windows->form(id)->window();
        QVERIFY(QTest::qWaitForWindowActive(window));
        // No window manager on this X server: the test gives the window the
        // whole screen as one would, then F11 marks it as filling it.
        window->setGeometry(window->screen()->geometry());
        QTRY_COMPARE(window->geometry(), window->screen()->geometry());
        QTest::keyClick(window, Qt::Key_F11);
        QTRY_VERIFY(window->isFullScreen());
        const QWidget *picture = window->findChild<QWidget *>(QStringLiteral("Image1"));
        QVERIFY(picture);
        // Its box at the full screen's size: about 1,700 pixels across.
        QTRY_VERIFY(picture->width() > 1500);
        QTRY_VERIFY(medianEdgeWidth(onScreen(picture)) > 0);
        const int width = medianEdgeWidth(onScreen(picture));
        QVERIFY2(width <= 2, qPrintable(QStringLiteral("edge %1 px wide").arg(width)));
        QVERIFY(h.problems.isEmpty());
    }
};

QTEST_MAIN(SharpPicturesXcbTest)
#include "test_sharp_pictures_xcb.moc"
