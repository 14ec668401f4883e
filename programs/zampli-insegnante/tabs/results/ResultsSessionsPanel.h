// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

#include <QWidget>

class QLineEdit;
class QPushButton;
class QTableView;

namespace zampli::teacher {

class SessionsModel;

// The sessions of a reading in a table, with the buttons that name one,
// take it away, or take away all those shown.
class SessionsPanel : public QWidget {
    Q_OBJECT
public:
    explicit SessionsPanel(QWidget *parent = nullptr);
    // Shows the sessions, the one picked still picked when it is among them.
    void fill(const QList<SessionSummary> &sessions);
    // The session picked in the table; null when none is.
    const SessionSummary *chosen() const;
    void clearName();
    // "Cancella tutto" names the child whose sessions it takes; empty for all.
    void setEraseOf(const QString &child);

signals:
    void nameGiven(const QString &name);
    void deleteAsked();
    void eraseManyAsked();
    void takeInAsked();

private:
    void buildTable();
    QLayout *buildButtons();

    QTableView *sessions_ = nullptr;
    SessionsModel *model_ = nullptr;
    QLineEdit *name_ = nullptr;
    QPushButton *eraseMany_ = nullptr;
};

} // namespace zampli::teacher
