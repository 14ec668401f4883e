// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsReport.h"

#include "core/WriteReason.h"
#include "safefile/WholeFile.h"
#include "tabs/results/ResultsCharts.h"
#include "tabs/results/ResultsMatrix.h"
#include "tabs/results/ResultsNames.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace zampli::teacher {

namespace {

void drawHeading(QPainter &p, const QRectF &area, const QString &text)
{
    QFont bold = p.font();
    bold.setBold(true);
    p.save();
    p.setFont(bold);
    p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text);
    p.restore();
}

// As many matrices as there are kinds, in a grid that fills the area.
void drawMatrices(QPainter &p, const QRectF &area, const QList<KindConfusion> &kinds)
{
    if (kinds.isEmpty())
        return drawHeading(p, area, QStringLiteral("Nessuna risposta in questi giorni."));
    // As many columns as keep each matrix nearest to square.
    const int columns = int(std::clamp<double>(std::ceil(std::sqrt(double(kinds.size()) * area.width() / area.height())),
                                               1, double(kinds.size())));
    const int rows = int((kinds.size() + columns - 1) / columns);
    const double w = area.width() / columns, h = area.height() / rows;
    for (int i = 0; i < kinds.size(); ++i) {
        const QRectF cell(area.left() + (i % columns) * w, area.top() + (i / columns) * h, w * 0.92, h * 0.95);
        paintMatrix(p, cell, kinds[i].counts, kindName(kinds[i].kind));
    }
}

// One line a session, as many as fit; the rest counted.
void drawSessions(QPainter &p, const QRectF &area, const QList<SessionSummary> &sessions)
{
    const double line = QFontMetricsF(p.font()).height() * 1.15;
    drawHeading(p, QRectF(area.topLeft(), QSizeF(area.width(), line)), QStringLiteral("Sessioni"));
    const int room = std::max(1, int(area.height() / line) - 2);
    const int shown = int(std::min<qsizetype>(room, sessions.size()));
    for (int i = 0; i < shown; ++i) {
        const SessionSummary &s = sessions[i];
        QStringList exercises;
        for (const QString &w : s.windows)
            exercises << exerciseTitle(w);
        const QString text = QStringLiteral("%1  %2–%3  %4, %5  %6  %7")
                                 .arg(dayText(s.startedMs), timeText(s.startedMs), timeText(s.endedMs),
                                      countText(s.right, "giusta", "giuste"),
                                      countText(s.wrong, "sbagliata", "sbagliate"), s.label,
                                      exercises.join(QStringLiteral(", ")));
        p.drawText(QRectF(area.left(), area.top() + (i + 1) * line, area.width(), line),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   QFontMetricsF(p.font()).elidedText(text, Qt::ElideRight, area.width()));
    }
    if (sessions.size() > shown)
        p.drawText(QRectF(area.left(), area.top() + (shown + 1) * line, area.width(), line),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("… e %1 (sono tutte nel file CSV).")
                       .arg(countText(int(sessions.size() - shown), "altra sessione", "altre sessioni")));
}

void drawPage(QPainter &p, const QRectF &page, const ReportContent &c)
{
    const double w = page.width(), h = page.height();
    QFont big = p.font();
    big.setPointSizeF(16);
    p.setFont(big);
    p.drawText(QRectF(0, 0, w, h * 0.035), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Risultati di ZAMPLI"));
    QFont normal = p.font();
    normal.setPointSizeF(8);
    p.setFont(normal);
    p.drawText(QRectF(0, h * 0.035, w, h * 0.02), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Copia: %1").arg(c.copy));
    p.drawText(QRectF(0, h * 0.055, w, h * 0.02), Qt::AlignLeft | Qt::AlignVCenter, c.span);
    VowelBarsChart bars;
    bars.setScores(c.reading.scores);
    paintChart(p, QRectF(0, h * 0.08, w * 0.5, h * 0.2), bars);
    TrendChart trend;
    trend.setDays(c.reading.days);
    paintChart(p, QRectF(w * 0.5, h * 0.08, w * 0.5, h * 0.2), trend);
    drawMatrices(p, QRectF(0, h * 0.29, w, h * 0.50), c.reading.kinds);
    drawSessions(p, QRectF(0, h * 0.80, w, h * 0.20), c.reading.sessions);
}

} // namespace

QString writeResultsReport(const QString &path, const ReportContent &c)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(150);
        pdf.setTitle(QStringLiteral("Risultati di ZAMPLI"));
        pdf.setCreator(QStringLiteral("ZAMPLI per l'insegnante"));
        QPainter p(&pdf);
        drawPage(p, QRectF(0, 0, pdf.width(), pdf.height()), c);
    }
    return chosenWriteReason(path, writeWhole(path, buffer.data()));
}

} // namespace zampli::teacher
