// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsSessions.h"

#include "tabs/results/ResultsNames.h"

#include <QHash>
#include <QLocale>

namespace zampli::teacher {

void SessionsModel::setSessions(const QList<SessionSummary> &sessions)
{
    beginResetModel();
    sessions_ = sessions;
    exercises_.clear();
    exercises_.reserve(sessions.size());
    // Most sessions share a handful of sets of windows: each set is named once.
    QHash<QStringList, QString> named;
    for (const SessionSummary &s : sessions) {
        auto at = named.find(s.windows);
        if (at == named.end()) {
            QStringList names;
            for (const QString &w : s.windows)
                names << exerciseTitle(w);
            at = named.insert(s.windows, names.join(QStringLiteral(", ")));
        }
        exercises_ << at.value();
    }
    endResetModel();
}

int SessionsModel::rowOf(qint64 id) const
{
    for (int r = 0; r < sessions_.size(); ++r)
        if (sessions_[r].id == id)
            return r;
    return -1;
}

int SessionsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(sessions_.size());
}

QVariant SessionsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const SessionSummary &s = sessions_[index.row()];
    switch (index.column()) {
    case 0: return dayText(s.startedMs);
    case 1: return timeText(s.startedMs);
    case 2: return timeText(s.endedMs);
    case 3: return QLocale(QLocale::Italian).toString(s.right);
    case 4: return QLocale(QLocale::Italian).toString(s.wrong);
    case 5: return s.childName.isEmpty() ? s.label : s.childName;
    case 6: return exercises_[index.row()];
    }
    return {};
}

QVariant SessionsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const kHeads[] = {"Giorno", "Inizio", "Fine", "Giuste", "Sbagliate", "Bambino", "Esercizi"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 7)
        return {};
    return QString::fromLatin1(kHeads[section]);
}

} // namespace zampli::teacher
