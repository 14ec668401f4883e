// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsSessionsPanel.h"

#include "tabs/results/ResultsClass.h"
#include "tabs/results/ResultsSessions.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace zampli::teacher {

SessionsPanel::SessionsPanel(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    buildTable();
    layout->addWidget(sessions_, 1);
    layout->addLayout(buildButtons());
}

void SessionsPanel::buildTable()
{
    model_ = new SessionsModel(this);
    sessions_ = new QTableView;
    sessions_->setObjectName(QStringLiteral("sessioni"));
    sessions_->setModel(model_);
    sessions_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sessions_->setSelectionMode(QAbstractItemView::SingleSelection);
    sessions_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sessions_->verticalHeader()->hide();
    sessions_->setWordWrap(false); // one line a session: the exercises' list ends in "…" and shows whole as a tooltip
    // Widths from the longest text each column can hold, set once: measuring
    // thousands of rows at every reading would stall the window.
    const QFontMetrics fm(sessions_->font());
    const char *const widest[] = {"00/00/0000", "00:00", "00:00", "Sbagliate", "Sbagliate", "Bambino Bambino"};
    for (int c = 0; c < 6; ++c)
        sessions_->setColumnWidth(c, fm.horizontalAdvance(QString::fromLatin1(widest[c])) + 16);
    // The exercises last: the longest column, cut where the table ends.
    sessions_->horizontalHeader()->setStretchLastSection(true);
}

QLayout *SessionsPanel::buildButtons()
{
    auto *row = new QHBoxLayout;
    name_ = new QLineEdit;
    name_->setObjectName(QStringLiteral("nome"));
    name_->setPlaceholderText(QStringLiteral("Nome del bambino"));
    QPushButton *give = namedButton(QStringLiteral("Dai il nome alla sessione"), "daiNome");
    QPushButton *drop = namedButton(QStringLiteral("Cancella la sessione…"), "cancellaSessione");
    eraseMany_ = namedButton(QStringLiteral("Cancella tutto…"), "cancellaTutto");
    QPushButton *takeIn = namedButton(QStringLiteral("Aggiungi risultati da un altro computer…"), "aggiungiRisultati");
    takeIn->setToolTip(QStringLiteral("Prende le risposte dal file dei risultati di un altro computer o utente, "
                                      "senza contare due volte quelle già prese"));
    connect(takeIn, &QPushButton::clicked, this, &SessionsPanel::takeInAsked);
    const auto giveName = [this] { emit nameGiven(name_->text().simplified()); };
    connect(name_, &QLineEdit::returnPressed, this, giveName);
    connect(give, &QPushButton::clicked, this, giveName);
    connect(drop, &QPushButton::clicked, this, &SessionsPanel::deleteAsked);
    connect(eraseMany_, &QPushButton::clicked, this, &SessionsPanel::eraseManyAsked);
    // Two rows: in one, at 960 pixels and beside the chart, the name field
    // would be squeezed to a few letters.
    name_->setMinimumWidth(name_->fontMetrics().horizontalAdvance(name_->placeholderText()) + 24);
    row->addWidget(name_, 1);
    row->addWidget(give);
    auto *more = new QHBoxLayout;
    more->addWidget(drop);
    more->addWidget(eraseMany_);
    more->addWidget(takeIn);
    more->addStretch(1);
    auto *rows = new QVBoxLayout;
    rows->addLayout(row);
    rows->addLayout(more);
    return rows;
}

void SessionsPanel::fill(const QList<SessionSummary> &sessions)
{
    const qint64 picked = chosen() ? chosen()->id : 0;
    model_->setSessions(sessions);
    if (const int row = model_->rowOf(picked); picked && row >= 0)
        sessions_->selectRow(row);
}

const SessionSummary *SessionsPanel::chosen() const
{
    const QModelIndexList picked = sessions_->selectionModel()->selectedRows();
    if (picked.isEmpty())
        return nullptr;
    const int row = picked.first().row();
    return row < model_->sessions().size() ? &model_->sessions()[row] : nullptr;
}

void SessionsPanel::clearName()
{
    name_->clear();
}

void SessionsPanel::setEraseOf(const QString &child)
{
    eraseMany_->setText(child.isEmpty() ? QStringLiteral("Cancella tutto…")
                                        : QStringLiteral("Cancella tutto di %1…").arg(child));
}

} // namespace zampli::teacher
