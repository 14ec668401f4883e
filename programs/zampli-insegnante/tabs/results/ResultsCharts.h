// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

#include <QChart>
#include <QHash>

class QChartView;
class QGraphicsSimpleTextItem;
class QPainter;

namespace zampli::teacher {

// "Nessuna risposta in questi giorni" in the middle of a chart with nothing
// to draw, its axes hidden meanwhile.
class EmptyNote {
public:
    explicit EmptyNote(QChart *chart);
    void show(bool empty);

private:
    void place();

    QChart *chart_;
    QGraphicsSimpleTextItem *text_;
};

// Right and wrong answers per vowel: a bar each, A at the top, the right
// ones in the vowel's colour of the child's windows and the wrong ones
// hatched after them; the numbers in a column of their own at the right,
// given the room they need so none is ever cut.
class VowelBarsChart : public QChart {
public:
    VowelBarsChart();
    void setScores(const VowelScores &scores);
    // The numbers as drawn, A first.
    const QList<QGraphicsSimpleTextItem *> &labels() const { return labels_; }

private:
    void placeLabels();

    QList<QGraphicsSimpleTextItem *> labels_;
    VowelScores scores_{};
    EmptyNote empty_;
};

// The share of right answers of each vowel day by day, or week by week over
// more than two months: a line and a point each in the vowel's colour, each
// vowel with its own dashes, so a single day still shows and the page reads
// in black and white.
class TrendChart : public QChart {
public:
    TrendChart();
    void setDays(const QList<DayShare> &days);

private:
    void addVowel(int v, const QList<DayShare> &points, QAbstractAxis *time, QAbstractAxis *share);

    QHash<QPair<int, qint64>, int> answers_; // (vowel, point's noon) -> answers
    bool weeks_ = false;
    EmptyNote empty_;
};

// A chart on screen, smoothed, found by its object name.
QChartView *chartView(QChart *chart, const char *name, QSize minimum);

// A chart drawn into any rectangle of the page.
void paintChart(QPainter &p, const QRectF &area, QChart &chart);

} // namespace zampli::teacher
