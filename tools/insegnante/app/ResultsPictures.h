// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

#include <QWidget>
#include <functional>

class QPainter;

namespace zampli::teacher {

// The results' pictures, drawn into any rectangle: the same code paints the
// tab and the PDF page.
void drawVowelBars(QPainter &p, const QRectF &area, const VowelScores &scores);
void drawConfusion(QPainter &p, const QRectF &area, const ConfusionMatrix &m, const QString &title);
void drawDailyLines(QPainter &p, const QRectF &area, const QList<DayShare> &days);

// "CANE: 1 sbagliata su 4", as the list and the page show a missed word.
QString missedText(const MissedWord &w);

// The colour each vowel has in the program, for its bar and its line.
QColor vowelColor(int vowel);

// A widget that shows one picture; `draw` is asked again on every repaint.
class PictureView : public QWidget {
public:
    using Draw = std::function<void(QPainter &, const QRectF &)>;
    explicit PictureView(Draw draw, QSize hint, QWidget *parent = nullptr);
    void setDraw(Draw draw);
    QSize sizeHint() const override { return hint_; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    Draw draw_;
    QSize hint_;
};

} // namespace zampli::teacher
