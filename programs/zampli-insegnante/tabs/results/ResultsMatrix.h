// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

#include <QAbstractTableModel>
#include <QTableView>

class QPainter;

namespace zampli::teacher {

// A cell's shade: right answers green, confusions red, deeper the larger
// the cell's share of its row.
QColor cellShade(bool right, double share);

// One confusion matrix as a table: rows the vowel asked, columns the vowel
// chosen, each cell its count, shaded, with the whole sentence for a tooltip
// and a screen reader.
class ConfusionModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setMatrix(const ConfusionMatrix &m);
    const ConfusionMatrix &matrix() const { return m_; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 5; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 5; }
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int rowTotal(int row) const;
    ConfusionMatrix m_{};
};

// A table whose Ctrl+C copies the chosen cells with their vowels as
// tab-separated text, as a spreadsheet pastes it.
class CopyableTable : public QTableView {
public:
    using QTableView::QTableView;
    QString selectionText() const;

protected:
    void keyPressEvent(QKeyEvent *e) override;
};

// The same matrix on the printed page, its numbers in every cell and the
// right answers' diagonal framed, so it reads without colour.
void paintMatrix(QPainter &p, const QRectF &area, const ConfusionMatrix &m, const QString &title);

} // namespace zampli::teacher
