// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsCharts.h"

#include "tabs/results/ResultsNames.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QCursor>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QHorizontalStackedBarSeries>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QToolTip>
#include <QValueAxis>

namespace zampli::teacher {

namespace {

QString number(int n)
{
    return QLocale(QLocale::Italian).toString(n);
}

int percent(int part, int all)
{
    return all ? qRound(100.0 * part / all) : 0;
}

QString barLabel(const Score &s)
{
    const int all = s.right + s.wrong;
    return all ? QStringLiteral("%1 su %2 (%3%)").arg(number(s.right), number(all)).arg(percent(s.right, all))
               : QStringLiteral("nessuna risposta");
}

QString barTip(int vowel, const Score &s)
{
    return QStringLiteral("%1: %2 e %3 su %4 (%5% giuste)")
        .arg(vowelText(vowel), countText(s.right, "giusta", "giuste"), countText(s.wrong, "sbagliata", "sbagliate"),
             number(s.right + s.wrong))
        .arg(percent(s.right, s.right + s.wrong));
}

QFont boldTitle()
{
    QFont f;
    f.setBold(true);
    return f;
}

// Past two months the trend goes week by week.
constexpr qsizetype kMarkedDays = 62;

// Rows of bars count from the bottom: U there, A at the top, as the vowels are read.
int vowelOfRow(int row)
{
    return 4 - row;
}

// Dark enough to outline the light vowels (E yellow, O pink) on white.
const QColor kOutline(60, 60, 60);

} // namespace

EmptyNote::EmptyNote(QChart *chart) : chart_(chart), text_(new QGraphicsSimpleTextItem(chart))
{
    text_->setText(QStringLiteral("Nessuna risposta in questi giorni"));
    QFont f;
    f.setPointSizeF(f.pointSizeF() * 1.2);
    text_->setFont(f);
    text_->setBrush(QColor(90, 90, 90));
    text_->setZValue(10);
    QObject::connect(chart, &QChart::plotAreaChanged, chart, [this] { place(); });
    show(false);
}

// Without answers an axis would count from 0 to 1 in whole numbers: the
// chart says there are none instead.
void EmptyNote::show(bool empty)
{
    text_->setVisible(empty);
    for (QAbstractAxis *axis : chart_->axes())
        axis->setVisible(!empty);
    place();
}

void EmptyNote::place()
{
    const QRectF plot = chart_->plotArea();
    const QRectF box = text_->boundingRect();
    text_->setPos(plot.center() - QPointF(box.width() / 2, box.height() / 2));
}

VowelBarsChart::VowelBarsChart() : empty_(this)
{
    // Short: the column of numbers takes its room from the title's too. The
    // legend below tells the hatched part.
    setTitle(QStringLiteral("Risposte per vocale"));
    // The axis's counts with their thousands marked, as in the labels beside the bars.
    setLocale(QLocale(QLocale::Italian));
    setLocalizeNumbers(true);
    setTitleFont(boldTitle());
    legend()->setAlignment(Qt::AlignBottom);
    setBackgroundRoundness(0);
    for (int v = 0; v < 5; ++v) {
        auto *label = new QGraphicsSimpleTextItem(this);
        labels_ << label;
    }
    connect(this, &QChart::plotAreaChanged, this, [this] { placeLabels(); });
    setScores({});
}

void VowelBarsChart::setScores(const VowelScores &scores)
{
    scores_ = scores;
    removeAllSeries();
    for (QAbstractAxis *axis : axes())
        removeAxis(axis), delete axis;
    auto *series = new QHorizontalStackedBarSeries;
    int most = 1;
    for (int v = 0; v < 5; ++v) {
        // A set a vowel, empty but in its own row, gives each bar its colour.
        auto *right = new QBarSet(vowelText(v));
        for (int row = 0; row < 5; ++row)
            *right << (vowelOfRow(row) == v ? scores[v].right : 0);
        right->setColor(vowelColor(v));
        right->setBorderColor(kOutline);
        connect(right, &QBarSet::hovered, this, [this](bool on, int row) {
            if (on)
                QToolTip::showText(QCursor::pos(), barTip(vowelOfRow(row), scores_[vowelOfRow(row)]));
        });
        series->append(right);
        most = std::max(most, scores[v].right + scores[v].wrong);
    }
    auto *wrong = new QBarSet(QStringLiteral("risposte sbagliate"));
    for (int row = 0; row < 5; ++row)
        *wrong << scores[vowelOfRow(row)].wrong;
    wrong->setBrush(QBrush(kOutline, Qt::BDiagPattern));
    wrong->setBorderColor(kOutline);
    connect(wrong, &QBarSet::hovered, this, [this](bool on, int row) {
        if (on)
            QToolTip::showText(QCursor::pos(), barTip(vowelOfRow(row), scores_[vowelOfRow(row)]));
    });
    series->append(wrong);
    series->setBarWidth(0.7);
    addSeries(series);
    // The colours are the vowels', named on the left: the legend names only the hatching.
    for (QLegendMarker *marker : legend()->markers(series))
        marker->setVisible(marker->label() == wrong->label());
    auto *vowels = new QBarCategoryAxis;
    for (int row = 0; row < 5; ++row)
        vowels->append(vowelText(vowelOfRow(row)));
    addAxis(vowels, Qt::AlignLeft);
    series->attachAxis(vowels);
    auto *counts = new QValueAxis;
    counts->setRange(0, most);
    counts->setLabelFormat(QStringLiteral("%.0f"));
    counts->setTickCount(3);
    counts->applyNiceNumbers();
    addAxis(counts, Qt::AlignBottom);
    series->attachAxis(counts);
    // The column of numbers takes the room its widest line needs.
    double widest = 0;
    for (int v = 0; v < 5; ++v) {
        labels_[v]->setText(barLabel(scores[v]));
        labels_[v]->setFont(QFont());
        widest = std::max(widest, labels_[v]->boundingRect().width());
    }
    const bool none = std::all_of(scores.cbegin(), scores.cend(), [](const Score &s) { return s.right + s.wrong == 0; });
    for (QGraphicsSimpleTextItem *label : std::as_const(labels_))
        label->setVisible(!none);
    setMargins(QMargins(4, 4, none ? 4 : int(std::ceil(widest)) + 12, 4));
    placeLabels();
    empty_.show(none);
    legend()->setVisible(!none);
}

void VowelBarsChart::placeLabels()
{
    const QRectF plot = plotArea();
    for (int v = 0; v < 5; ++v) {
        // A's row is the top one.
        const double rowMiddle = plot.top() + plot.height() * (v + 0.5) / 5.0;
        labels_[v]->setPos(plot.right() + 8, rowMiddle - labels_[v]->boundingRect().height() / 2);
    }
}

TrendChart::TrendChart() : empty_(this)
{
    setTitleFont(boldTitle());
    setBackgroundRoundness(0);
    legend()->setAlignment(Qt::AlignTop);
    setDays({});
}

namespace {

// The days folded into weeks from Monday, each week's share weighed by its
// answers: a year reads as 52 points, not 250 that hide one another.
QList<DayShare> byWeek(const QList<DayShare> &days)
{
    QList<DayShare> weeks;
    std::array<double, 5> right{};
    for (const DayShare &d : days) {
        const QDate monday = d.day.addDays(1 - d.day.dayOfWeek());
        if (weeks.isEmpty() || weeks.last().day != monday) {
            weeks << DayShare{monday, {-1, -1, -1, -1, -1}, {}};
            right = {};
        }
        DayShare &w = weeks.last();
        for (int v = 0; v < 5; ++v) {
            if (d.share[v] < 0)
                continue;
            right[v] += d.share[v] * d.answers[v];
            w.answers[v] += d.answers[v];
            w.share[v] = w.answers[v] ? right[v] / w.answers[v] : -1;
        }
    }
    return weeks;
}

} // namespace

void TrendChart::setDays(const QList<DayShare> &days)
{
    removeAllSeries();
    for (QAbstractAxis *axis : axes())
        removeAxis(axis), delete axis;
    answers_.clear();
    weeks_ = days.size() > kMarkedDays;
    setTitle(weeks_ ? QStringLiteral("Risposte giuste per vocale, settimana per settimana")
                    : QStringLiteral("Risposte giuste per vocale, giorno per giorno"));
    auto *time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("dd/MM/yyyy"));
    auto *share = new QValueAxis;
    share->setRange(0, 100);
    share->setLabelFormat(QStringLiteral("%d%%"));
    share->setTickCount(5);
    addAxis(time, Qt::AlignBottom);
    addAxis(share, Qt::AlignLeft);
    const QList<DayShare> points = weeks_ ? byWeek(days) : days;
    for (int v = 0; v < 5; ++v)
        addVowel(v, points, time, share);
    // Half a day either side: the first and last points, and a single day, sit inside.
    const QDate first = days.isEmpty() ? QDate::currentDate() : days.first().day;
    const QDate last = days.isEmpty() ? QDate::currentDate() : days.last().day;
    time->setRange(QDateTime(first, QTime(0, 0)), QDateTime(last.addDays(1), QTime(0, 0)));
    // Four dates at most: more, beside the bars at the window's first size, end in "…".
    time->setTickCount(int(std::clamp<qint64>(first.daysTo(last) + 1, 2, 4)));
    empty_.show(days.isEmpty());
    legend()->setVisible(!days.isEmpty());
}

void TrendChart::addVowel(int v, const QList<DayShare> &points, QAbstractAxis *time, QAbstractAxis *share)
{
    static const Qt::PenStyle dashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine};
    // Under each line a darker, wider one: yellow and pink stay visible on white.
    auto *under = new QLineSeries;
    auto *line = new QLineSeries;
    line->setName(vowelText(v));
    for (const DayShare &d : points)
        if (d.share[v] >= 0) {
            const qint64 noon = QDateTime(d.day, QTime(12, 0)).toMSecsSinceEpoch();
            *under << QPointF(qreal(noon), d.share[v] * 100);
            *line << QPointF(qreal(noon), d.share[v] * 100);
            answers_.insert({v, noon}, d.answers[v]);
        }
    under->setPen(QPen(kOutline, 5, dashes[v], Qt::RoundCap));
    under->setPointsVisible(true);
    // Smaller points once there are many, so they do not run into one another.
    const qreal marker = points.size() > 31 ? 6 : 9;
    under->setMarkerSize(marker + 3);
    under->setColor(kOutline);
    line->setPen(QPen(vowelColor(v), 3, dashes[v], Qt::RoundCap));
    line->setPointsVisible(true);
    line->setMarkerSize(marker);
    connect(line, &QLineSeries::hovered, this, [this, v](const QPointF &p, bool on) {
        if (!on)
            return;
        const qint64 noon = qint64(p.x());
        const QString when = weeks_ ? QStringLiteral("settimana dal %1").arg(dayText(noon)) : dayText(noon);
        QToolTip::showText(QCursor::pos(), QStringLiteral("%1, %2: %3% giuste su %4")
                                               .arg(vowelText(v), when)
                                               .arg(qRound(p.y()))
                                               .arg(countText(answers_.value({v, noon}), "risposta", "risposte")));
    });
    for (QLineSeries *s : {under, line}) {
        addSeries(s);
        s->attachAxis(time);
        s->attachAxis(share);
    }
    legend()->markers(under).constFirst()->setVisible(false);
}

QChartView *chartView(QChart *chart, const char *name, QSize minimum)
{
    auto *view = new QChartView(chart);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(minimum);
    return view;
}

void paintChart(QPainter &p, const QRectF &area, QChart &chart)
{
    // Laid out as on a screen, then scaled to the area: the words print at
    // about the size they are read at on screen, unless the chart would then
    // be too narrow for its axis to show its dates whole.
    QGraphicsScene scene;
    scene.addItem(&chart);
    const double screen = p.device() ? p.device()->logicalDpiX() / 96.0 : 1.0;
    const QSizeF size = area.size() / std::clamp(area.width() / 560.0, 1.0, std::max(1.0, screen));
    chart.setGeometry(QRectF(QPointF(0, 0), size));
    scene.setSceneRect(QRectF(QPointF(0, 0), size));
    scene.render(&p, area, scene.sceneRect());
    scene.removeItem(&chart);
}

} // namespace zampli::teacher
