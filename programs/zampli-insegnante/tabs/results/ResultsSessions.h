// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

#include <QAbstractTableModel>

namespace zampli::teacher {

// The sessions of a reading, one a row: day, start, end, right, wrong, the
// child's name and the exercises. A model, not a row of widgets per session:
// a class's year is thousands of sessions and the window must not wait on them.
class SessionsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setSessions(const QList<SessionSummary> &sessions);
    const QList<SessionSummary> &sessions() const { return sessions_; }
    // The row of session `id`, -1 when it is not shown.
    int rowOf(qint64 id) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 7; }
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<SessionSummary> sessions_;
    QStringList exercises_; // each session's, named as the child's menu names them
};

} // namespace zampli::teacher
