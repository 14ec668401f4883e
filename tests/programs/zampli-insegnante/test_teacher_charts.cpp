// SPDX-License-Identifier: GPL-3.0-or-later
// The results' pictures as the teacher sees them in a chart view: a bar a
// vowel, A at the top, in the vowel's colour, as long as its right answers,
// the wrong ones hatched after them, the numbers beside; and the trend, day
// by day up to two months, week by week past them, a week weighed by its
// answers.
#include "tabs/results/ResultsCharts.h"

#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QToolTip>
#include <QtTest>
#include <QtWidgets>

#include <optional>

using namespace zampli;
using namespace zampli::teacher;

namespace {

// The vowels' colours of the child's windows, A to U.
const QList<QColor> kColours{QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 0, 255), QColor(255, 192, 192),
                             QColor(0, 192, 0)};

// The chart in a view of 600 by 340, shown, and what reached its window.
struct Shown {
    QChartView view;
    explicit Shown(QChart *chart) : view(chart)
    {
        view.resize(600, 340);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qFatal("the chart's view is not shown");
    }
    QImage picture() { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// The bars of `s` as they reach the screen.
QImage barsOf(const VowelScores &s)
{
    auto *chart = new VowelBarsChart;
    chart->setScores(s);
    return Shown(chart).picture();
}

// Where `colour` covers the picture: the band of rows and the longest run along one of them.
struct Run {
    int top = -1, bottom = -1, left = -1, right = -1;
    int length() const { return right - left + 1; }
    int middle() const { return (top + bottom) / 2; }
};

std::optional<Run> runOf(const QImage &image, const QColor &colour)
{
    Run run;
    for (int y = 0; y < image.height(); ++y) {
        int from = -1;
        for (int x = 0; x <= image.width(); ++x) {
            const bool on = x < image.width() && image.pixelColor(x, y) == colour;
            if (on && from < 0)
                from = x;
            if (on || from < 0)
                continue;
            // Runs of a few pixels are the edges of letters, not a bar.
            if (x - from >= 6) {
                run.top = run.top < 0 ? y : run.top;
                run.bottom = y;
                if (x - from > run.length() || run.left < 0)
                    run.left = from, run.right = x - 1;
            }
            from = -1;
        }
    }
    return run.top < 0 ? std::nullopt : std::optional(run);
}

// The words and numbers the chart shows, as the scene draws them.
QStringList visibleTexts(QChart *chart)
{
    QStringList texts;
    for (QGraphicsItem *item : chart->scene()->items())
        if (item->isVisible() && item->type() == QGraphicsSimpleTextItem::Type)
            texts << static_cast<QGraphicsSimpleTextItem *>(item)->text();
        else if (item->isVisible() && item->type() == QGraphicsTextItem::Type)
            texts << static_cast<QGraphicsTextItem *>(item)->toPlainText();
    return texts;
}

VowelScores scores(std::initializer_list<Score> list)
{
    VowelScores s{};
    std::copy(list.begin(), list.end(), s.begin());
    return s;
}

// `count` days from `first`, with A answered on each as `shareOf` tells (negative: not at all).
QList<DayShare> days(QDate first, int count, const std::function<std::pair<double, int>(int)> &shareOf)
{
    QList<DayShare> list;
    for (int d = 0; d < count; ++d) {
        const auto [share, answers] = shareOf(d);
        list << DayShare{first.addDays(d), {share, -1, -1, -1, -1}, {answers, 0, 0, 0, 0}};
    }
    return list;
}

// The points of the line the legend names `name`, as (day, percent).
QList<std::pair<QDate, int>> pointsOf(QChart &chart, const QString &name)
{
    QList<std::pair<QDate, int>> points;
    for (QAbstractSeries *s : chart.series())
        if (s->name() == name)
            for (const QPointF &p : static_cast<QLineSeries *>(s)->points())
                points << std::pair{QDateTime::fromMSecsSinceEpoch(qint64(p.x())).date(), qRound(p.y())};
    return points;
}

} // namespace

class TeacherChartsTest : public QObject {
    Q_OBJECT

private slots:
    // Read from top to bottom as the vowels are read: A, E, I, O, U; twice
    // the right answers, twice the bar.
    void barsAreInTheVowelsColoursWithAAtTheTopAsLongAsTheirRightAnswers()
    {
        const QImage picture = barsOf(scores({{8, 0}, {4, 0}, {4, 0}, {4, 0}, {2, 0}}));
        int above = -1;
        for (int v = 0; v < 5; ++v) {
            const std::optional<Run> bar = runOf(picture, kColours[v]);
            QVERIFY2(bar, qPrintable(QStringLiteral("no bar of vowel %1").arg(v)));
            QVERIFY2(bar->top > above, qPrintable(QStringLiteral("vowel %1 is not below the one before").arg(v)));
            above = bar->bottom;
        }
        const std::optional<Run> a = runOf(picture, kColours[0]), e = runOf(picture, kColours[1]),
                                 u = runOf(picture, kColours[4]);
        QVERIFY2(qAbs(a->length() - 2 * e->length()) <= 3, qPrintable(QStringLiteral("%1, %2").arg(a->length()).arg(e->length())));
        QVERIFY2(qAbs(e->length() - 2 * u->length()) <= 3, qPrintable(QStringLiteral("%1, %2").arg(e->length()).arg(u->length())));
    }

    // The wrong answers follow the right ones on the same row, hatched in dark grey, as long again when as many.
    void wrongAnswersAreHatchedAfterTheRightOnes()
    {
        const QImage picture = barsOf(scores({{5, 5}, {}, {}, {}, {}}));
        const std::optional<Run> right = runOf(picture, kColours[0]);
        QVERIFY(right);
        QVERIFY(!runOf(picture, kColours[2])); // no answers, no bar
        int dark = 0, light = 0;
        for (int x = right->right + 3; x < right->right + right->length() - 3; ++x) {
            const QColor c = picture.pixelColor(x, right->middle());
            dark += c.red() < 110 && c.red() == c.green() && c.green() == c.blue();
            light += c.lightness() > 200;
        }
        // Hatching: lines with the ground between them, over the whole length.
        QVERIFY2(dark >= right->length() / 16 && light >= right->length() / 4,
                 qPrintable(QStringLiteral("%1 dark and %2 light pixels").arg(dark).arg(light)));
    }

    void numbersBesideTheBarsSayRightOutOfAll()
    {
        VowelBarsChart chart;
        chart.setScores(scores({{3, 1}, {}, {1234, 0}, {0, 7}, {1, 2}}));
        QStringList texts;
        for (const QGraphicsSimpleTextItem *label : chart.labels())
            texts << label->text();
        QCOMPARE(texts, (QStringList{"3 su 4 (75%)", "nessuna risposta", "1.234 su 1.234 (100%)", "0 su 7 (0%)",
                                     "1 su 3 (33%)"}));
    }

    // The column of numbers at the right holds its longest line whole, beside its own bar's row.
    void theNumbersAreNeverCut()
    {
        auto *chart = new VowelBarsChart;
        chart->setScores(scores({{123456, 654321}, {1, 0}, {}, {}, {}}));
        Shown shown(chart);
        const QRectF plot = chart->plotArea();
        for (int v = 0; v < 5; ++v) {
            const QRectF drawn = chart->labels()[v]->sceneBoundingRect();
            QVERIFY2(drawn.right() <= shown.view.viewport()->width(), qPrintable(chart->labels()[v]->text()));
            QVERIFY(drawn.left() >= plot.right());
            const double rowMiddle = plot.top() + plot.height() * (v + 0.5) / 5;
            QVERIFY2(qAbs(drawn.center().y() - rowMiddle) < plot.height() / 10, qPrintable(chart->labels()[v]->text()));
        }
    }

    // The trend goes day by day up to two months, then week by week, a week
    // weighed by its answers.
    void theTrendGoesDayByDayUpToTwoMonthsThenWeekByWeek()
    {
        TrendChart chart;
        chart.setDays(days(QDate(2024, 3, 4), 62, [](int) { return std::pair{0.5, 2}; }));
        QCOMPARE(chart.title(), QStringLiteral("Risposte giuste per vocale, giorno per giorno"));
        QCOMPARE(pointsOf(chart, "A").size(), 62);
        // Monday 4 March to Sunday 5 May: nine whole weeks.
        chart.setDays(days(QDate(2024, 3, 4), 63, [](int) { return std::pair{0.5, 2}; }));
        QCOMPARE(chart.title(), QStringLiteral("Risposte giuste per vocale, settimana per settimana"));
        const auto points = pointsOf(chart, "A");
        QCOMPARE(points.size(), 9);
        QCOMPARE(points.first(), (std::pair{QDate(2024, 3, 4), 50}));
        QCOMPARE(points.last(), (std::pair{QDate(2024, 4, 29), 50}));

        // A day of one right answer and a day of three wrong make a week of one in four, not of one in two.
        chart.setDays(days(QDate(2024, 3, 4), 70, [](int d) {
            return d == 0 ? std::pair{1.0, 1} : d == 1 ? std::pair{0.0, 3} : std::pair{-1.0, 0};
        }));
        QCOMPARE(pointsOf(chart, "A"), (QList<std::pair<QDate, int>>{{QDate(2024, 3, 4), 25}}));
    }

    // A single day is a point inside the plot, not a line of no length at
    // its edge; a day without answers a gap.
    void oneDayDrawsAPointAndADayWithoutAnswersNone()
    {
        auto *chart = new TrendChart;
        chart->setDays(days(QDate(2024, 3, 5), 1, [](int) { return std::pair{0.5, 4}; }));
        Shown shown(chart);
        QLineSeries *a = nullptr;
        for (QAbstractSeries *s : chart->series())
            a = s->name() == QLatin1String("A") ? static_cast<QLineSeries *>(s) : a;
        QVERIFY(a);
        QCOMPARE(a->count(), 1);
        QVERIFY(a->pointsVisible());
        const QPointF at = chart->mapToPosition(a->at(0), a);
        const QRectF plot = chart->plotArea();
        QVERIFY2(plot.adjusted(plot.width() / 4, 0, -plot.width() / 4, 0).contains(at), "the day is at an edge");

        // A day without answers to a vowel is a gap in its line, not a point at nought.
        chart->setDays(days(QDate(2024, 3, 4), 3, [](int d) { return d == 1 ? std::pair{-1.0, 0} : std::pair{0.75, 4}; }));
        QCOMPARE(pointsOf(*chart, "A"),
                 (QList<std::pair<QDate, int>>{{QDate(2024, 3, 4), 75}, {QDate(2024, 3, 6), 75}}));
    }

    // With no answer at all each chart says so in its middle, with no axis
    // counting from 0 to 1; answers that come later bring the axes back.
    void aChartWithoutAnswersSaysSo()
    {
        auto *bars = new VowelBarsChart;
        bars->setScores({});
        auto *trend = new TrendChart;
        trend->setDays({});
        for (QChart *chart : std::initializer_list<QChart *>{bars, trend}) {
            Shown shown(chart);
            const QStringList said = visibleTexts(chart);
            QVERIFY2(said.contains(QStringLiteral("Nessuna risposta in questi giorni")), qPrintable(said.join(" | ")));
            static const QRegularExpression count(QStringLiteral("^[\\d.,/%]+$"));
            QVERIFY2(said.filter(count).isEmpty(), qPrintable(said.join(" | ")));
            shown.view.setChart(new QChart); // the chart back to the test, for its answers
        }
        bars->setScores(scores({{3, 1}}));
        Shown shown(bars);
        const QStringList said = visibleTexts(bars);
        QVERIFY2(!said.contains(QStringLiteral("Nessuna risposta in questi giorni")), qPrintable(said.join(" | ")));
        QVERIFY2(said.contains(QStringLiteral("3 su 4 (75%)")), qPrintable(said.join(" | ")));
        delete trend;
    }

    // The legend names each vowel once, in its colour: the dark lines under them are not in it.
    void theLegendNamesEachVowelOnceInItsColour()
    {
        auto *chart = new TrendChart;
        chart->setDays(days(QDate(2024, 3, 4), 3, [](int) { return std::pair{0.5, 2}; }));
        Shown shown(chart);
        QStringList names;
        QList<QColor> colours;
        for (QLegendMarker *marker : chart->legend()->markers())
            if (marker->isVisible())
                names << marker->label(), colours << marker->series()->property("color").value<QColor>();
        QCOMPARE(names, (QStringList{"A", "E", "I", "O", "U"}));
        QCOMPARE(colours, kColours);
    }
};

QTEST_MAIN(TeacherChartsTest)

#include "test_teacher_charts.moc"
