// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultsReport.h"

#include "ResultsPictures.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace zampli::teacher {

namespace {

void drawWords(QPainter &p, const QRectF &area, const QList<MissedWord> &words)
{
    QFont bold = p.font();
    bold.setBold(true);
    const double line = QFontMetricsF(p.font()).height() * 1.2;
    p.save();
    p.setFont(bold);
    p.drawText(area.topLeft() + QPointF(0, line), QStringLiteral("Parole di INIZIA PER sbagliate più spesso"));
    p.restore();
    if (words.isEmpty())
        p.drawText(area.topLeft() + QPointF(0, 2 * line), QStringLiteral("Nessuna."));
    for (qsizetype i = 0; i < words.size() && (i + 3) * line < area.height(); ++i)
        p.drawText(area.topLeft() + QPointF(0, (i + 2) * line),
                   missedText(words[i]));
}

} // namespace

bool writeResultsReport(const QString &path, const ReportContent &c)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(150);
        pdf.setTitle(QStringLiteral("Risultati di ZAMPLI"));
        pdf.setCreator(QStringLiteral("ZAMPLI per l'insegnante"));
        QPainter p(&pdf);
        const QRectF page(0, 0, pdf.width(), pdf.height());
        const double w = page.width(), h = page.height();
        QFont big = p.font();
        big.setPointSizeF(16);
        p.setFont(big);
        p.drawText(QRectF(0, 0, w, h * 0.04), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Risultati di ZAMPLI"));
        QFont normal = p.font();
        normal.setPointSizeF(9);
        p.setFont(normal);
        p.drawText(QRectF(0, h * 0.04, w, h * 0.03), Qt::AlignLeft | Qt::AlignVCenter, c.who);
        drawVowelBars(p, QRectF(0, h * 0.08, w * 0.55, h * 0.28), c.scores);
        drawConfusion(p, QRectF(w * 0.6, h * 0.08, w * 0.4, h * 0.3), c.matrix, c.matrixTitle);
        drawDailyLines(p, QRectF(0, h * 0.40, w, h * 0.32), c.days);
        drawWords(p, QRectF(0, h * 0.75, w, h * 0.25), c.words);
    }
    return file.commit();
}

} // namespace zampli::teacher
