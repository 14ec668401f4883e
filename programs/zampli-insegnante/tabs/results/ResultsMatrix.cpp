// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsMatrix.h"

#include "tabs/results/ResultsNames.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>

namespace zampli::teacher {

QColor cellShade(bool right, double share)
{
    const QColor ink = right ? QColor(30, 140, 60) : QColor(200, 30, 30);
    const double t = std::clamp(share, 0.0, 1.0);
    return QColor::fromRgbF(float(1 - t * (1 - ink.redF())), float(1 - t * (1 - ink.greenF())),
                            float(1 - t * (1 - ink.blueF())));
}

void ConfusionModel::setMatrix(const ConfusionMatrix &m)
{
    m_ = m;
    emit dataChanged(index(0, 0), index(4, 4));
}

int ConfusionModel::rowTotal(int row) const
{
    int all = 0;
    for (int n : m_[row])
        all += n;
    return all;
}

QVariant ConfusionModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int asked = index.row(), chosen = index.column(), n = m_[asked][chosen], all = rowTotal(asked);
    const double share = all ? double(n) / all : 0;
    switch (role) {
    case Qt::DisplayRole:
        return QLocale(QLocale::Italian).toString(n);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return cellShade(asked == chosen, share);
    case Qt::ForegroundRole:
        return QColor(share > 0.55 ? Qt::white : Qt::black);
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return QStringLiteral("Chiesta %1, scelta %2: %3 su %4 (%5%)")
            .arg(vowelText(asked), vowelText(chosen), countText(n, "volta", "volte"),
                 QLocale(QLocale::Italian).toString(all))
            .arg(qRound(share * 100));
    }
    return {};
}

QVariant ConfusionModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole)
        return vowelText(section);
    if (role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
        return (orientation == Qt::Vertical ? QStringLiteral("Chiesta %1") : QStringLiteral("Scelta %1"))
            .arg(vowelText(section));
    return {};
}

QString CopyableTable::selectionText() const
{
    const QModelIndexList chosen = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (chosen.isEmpty())
        return {};
    int top = chosen.first().row(), bottom = top, left = chosen.first().column(), right = left;
    for (const QModelIndex &i : chosen) {
        top = std::min(top, i.row()), bottom = std::max(bottom, i.row());
        left = std::min(left, i.column()), right = std::max(right, i.column());
    }
    // The vowels head the rows and columns: pasted alone, numbers would not say what they count.
    QStringList lines;
    QStringList head{QString()};
    for (int c = left; c <= right; ++c)
        head << model()->headerData(c, Qt::Horizontal).toString();
    lines << head.join(QLatin1Char('\t'));
    for (int r = top; r <= bottom; ++r) {
        QStringList line{model()->headerData(r, Qt::Vertical).toString()};
        for (int c = left; c <= right; ++c)
            line << (selectionModel()->isSelected(model()->index(r, c)) ? model()->index(r, c).data().toString()
                                                                        : QString());
        lines << line.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void CopyableTable::keyPressEvent(QKeyEvent *e)
{
    if (e->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(selectionText());
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void paintMatrix(QPainter &p, const QRectF &area, const ConfusionMatrix &m, const QString &title)
{
    const QFontMetricsF fm(p.font());
    const QFont normal = p.font();
    QFont bold = normal;
    bold.setBold(true);
    p.save();
    p.setFont(bold);
    // Four lines: the longest kinds' names, at a fifth of a page's width, take them.
    const double titleHeight = 4 * fm.height();
    p.drawText(QRectF(area.left(), area.top(), area.width(), titleHeight), Qt::TextWordWrap | Qt::AlignLeft, title);
    const double head = fm.horizontalAdvance(QStringLiteral("M")) * 1.6;
    const QRectF grid = area.adjusted(head, titleHeight + head, 0, 0);
    const double side = std::min(grid.width(), grid.height()) / 5.0;
    // The numbers sized to their cells, so a count in the thousands stays inside its own.
    QFont cellFont = normal, cellBold = bold;
    cellFont.setPixelSize(std::max(6, int(side * 0.3)));
    cellBold.setPixelSize(cellFont.pixelSize());
    ConfusionModel model;
    model.setMatrix(m);
    for (int a = 0; a < 5; ++a) {
        p.setFont(bold);
        p.drawText(QRectF(area.left(), grid.top() + a * side, head, side), Qt::AlignCenter, vowelText(a));
        p.drawText(QRectF(grid.left() + a * side, grid.top() - head, side, head), Qt::AlignCenter, vowelText(a));
        for (int c = 0; c < 5; ++c) {
            const QRectF cell(grid.left() + c * side, grid.top() + a * side, side, side);
            const QModelIndex i = model.index(a, c);
            p.fillRect(cell, i.data(Qt::BackgroundRole).value<QColor>());
            p.setPen(i.data(Qt::ForegroundRole).value<QColor>());
            p.setFont(a == c ? cellBold : cellFont);
            p.drawText(cell, Qt::AlignCenter, i.data().toString());
            p.setPen(QPen(Qt::black, a == c ? 3 : 1));
            p.drawRect(cell);
        }
    }
    p.restore();
}

} // namespace zampli::teacher
