// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultsPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace zampli::teacher {

namespace {

const char *const kVowels[] = {"A", "E", "I", "O", "U"};

// Room at the left and at the bottom for the axis' words, in points of the font.
QRectF plotArea(const QRectF &area, const QFontMetricsF &fm)
{
    return area.adjusted(fm.horizontalAdvance(QStringLiteral("100%")) + 8, fm.height() + 4, -8,
                         -(fm.height() + 6));
}

void drawTitle(QPainter &p, const QRectF &area, const QString &title)
{
    QFont bold = p.font();
    bold.setBold(true);
    p.save();
    p.setFont(bold);
    p.drawText(area.adjusted(0, 0, 0, -area.height() + QFontMetricsF(bold).height()), Qt::AlignLeft, title);
    p.restore();
}

} // namespace

QString missedText(const MissedWord &w)
{
    const QString wrong = w.wrong == 1 ? QStringLiteral("1 sbagliata") : QStringLiteral("%1 sbagliate").arg(w.wrong);
    return QStringLiteral("%1: %2 su %3").arg(w.word, wrong).arg(w.asked);
}

QColor vowelColor(int vowel)
{
    static const QColor colors[] = {QColor(220, 40, 40), QColor(30, 140, 60), QColor(40, 90, 220),
                                    QColor(230, 140, 0), QColor(150, 50, 170)};
    return colors[vowel];
}

void drawVowelBars(QPainter &p, const QRectF &area, const VowelScores &scores)
{
    const QFontMetricsF fm(p.font());
    drawTitle(p, area, QStringLiteral("Giuste e sbagliate per vocale"));
    const QRectF plot = plotArea(area.adjusted(0, fm.height(), 0, 0), fm);
    int most = 1;
    for (const Score &s : scores)
        most = std::max(most, s.right + s.wrong);
    const double slot = plot.width() / 5.0;
    for (int v = 0; v < 5; ++v) {
        const double x = plot.left() + v * slot + slot * 0.2, w = slot * 0.6;
        const double hRight = plot.height() * scores[v].right / most;
        const double hWrong = plot.height() * scores[v].wrong / most;
        p.fillRect(QRectF(x, plot.bottom() - hRight, w, hRight), vowelColor(v));
        p.fillRect(QRectF(x, plot.bottom() - hRight - hWrong, w, hWrong), QColor(150, 150, 150));
        p.drawText(QRectF(x, plot.bottom() + 2, w, fm.height()), Qt::AlignCenter, QString::fromLatin1(kVowels[v]));
        p.drawText(QRectF(x - slot * 0.2, plot.bottom() - hRight - hWrong - fm.height(), slot, fm.height()),
                   Qt::AlignCenter,
                   QStringLiteral("%1/%2").arg(scores[v].right).arg(scores[v].right + scores[v].wrong));
    }
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
}

void drawConfusion(QPainter &p, const QRectF &area, const ConfusionMatrix &m, const QString &title)
{
    const QFontMetricsF fm(p.font());
    drawTitle(p, area, title);
    const double label = fm.horizontalAdvance(QStringLiteral("Chiesta ")) + 4;
    const QRectF grid = area.adjusted(label, 3 * fm.height() + 4, 0, 0);
    const double side = std::min(grid.width(), grid.height()) / 5.0;
    p.drawText(QRectF(grid.left(), area.top() + fm.height(), 5 * side, fm.height()), Qt::AlignCenter,
               QStringLiteral("scelta"));
    int most = 1;
    for (const auto &row : m)
        for (int n : row)
            most = std::max(most, n);
    for (int a = 0; a < 5; ++a) {
        p.drawText(QRectF(area.left(), grid.top() + a * side, label - 4, side), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1 ").arg(QString::fromLatin1(kVowels[a])));
        for (int c = 0; c < 5; ++c) {
            const QRectF cell(grid.left() + c * side, grid.top() + a * side, side, side);
            // Right answers shade green, mistakes red: the eye finds the confusions.
            const double t = double(m[a][c]) / most;
            const QColor ink = a == c ? QColor(30, 140, 60) : QColor(200, 30, 30);
            p.fillRect(cell, QColor::fromRgbF(1 - t * (1 - ink.redF()), 1 - t * (1 - ink.greenF()),
                                              1 - t * (1 - ink.blueF())));
            p.setPen(t > 0.55 ? Qt::white : Qt::black);
            p.drawText(cell, Qt::AlignCenter, QString::number(m[a][c]));
            p.setPen(Qt::black);
            p.drawRect(cell);
        }
        p.drawText(QRectF(grid.left() + a * side, grid.top() - fm.height(), side, fm.height()), Qt::AlignCenter,
                   QString::fromLatin1(kVowels[a]));
    }
}

void drawDailyLines(QPainter &p, const QRectF &area, const QList<DayShare> &days)
{
    const QFontMetricsF fm(p.font());
    drawTitle(p, area, QStringLiteral("Risposte giuste per vocale, giorno per giorno"));
    const QRectF plot = plotArea(area.adjusted(0, fm.height(), 0, 0), fm);
    p.drawRect(plot);
    for (int pct = 0; pct <= 100; pct += 50) {
        const double y = plot.bottom() - plot.height() * pct / 100.0;
        p.drawText(QRectF(area.left(), y - fm.height() / 2, plot.left() - area.left() - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1%").arg(pct));
    }
    if (days.isEmpty())
        return;
    const double step = days.size() > 1 ? plot.width() / (days.size() - 1) : 0;
    p.drawText(QRectF(plot.left(), plot.bottom() + 2, plot.width(), fm.height()), Qt::AlignLeft,
               days.first().day.toString(QStringLiteral("d/M")));
    p.drawText(QRectF(plot.left(), plot.bottom() + 2, plot.width(), fm.height()), Qt::AlignRight,
               days.last().day.toString(QStringLiteral("d/M")));
    p.setRenderHint(QPainter::Antialiasing);
    for (int v = 0; v < 5; ++v) {
        QPainterPath line;
        bool started = false;
        for (qsizetype d = 0; d < days.size(); ++d) {
            if (days[d].share[v] < 0)
                continue; // a day the vowel was not asked leaves no point
            const QPointF at(plot.left() + d * step, plot.bottom() - plot.height() * days[d].share[v]);
            started ? line.lineTo(at) : line.moveTo(at);
            started = true;
        }
        p.strokePath(line, QPen(vowelColor(v), 2));
        p.setPen(vowelColor(v));
        // The key sits on the title's line, clear of the lines it names.
        const double key = fm.horizontalAdvance(QStringLiteral("MM"));
        p.drawText(QRectF(area.right() - (5 - v) * key, area.top(), key, fm.height()), Qt::AlignCenter,
                   QString::fromLatin1(kVowels[v]));
        p.setPen(Qt::black);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
}

PictureView::PictureView(Draw draw, QSize hint, QWidget *parent) : QWidget(parent), draw_(std::move(draw)), hint_(hint)
{
    setMinimumSize(hint / 2);
}

void PictureView::setDraw(Draw draw)
{
    draw_ = std::move(draw);
    update();
}

void PictureView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (draw_)
        draw_(p, QRectF(rect()).adjusted(4, 4, -4, -4));
}

} // namespace zampli::teacher
