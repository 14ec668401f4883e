// SPDX-License-Identifier: GPL-3.0-or-later
// The Risultati tab filled from a reading: filters, the table and the pictures.
#include "ResultsCharts.h"
#include "ResultsMatrix.h"
#include "ResultsNames.h"
#include "ResultsSessions.h"
#include "ResultsTab.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

namespace zampli::teacher {

namespace {

QString kindKey(const QuestionKind &k)
{
    return QStringLiteral("%1|%2|%3").arg(k.askedAs, k.chosenAs).arg(k.style);
}

int answersOf(const ConfusionMatrix &m)
{
    int all = 0;
    for (const auto &row : m)
        for (int n : row)
            all += n;
    return all;
}

} // namespace

ResultsFilter ResultsTab::filter() const
{
    ResultsFilter f;
    f.fromMs = from_->date().startOfDay().toMSecsSinceEpoch();
    f.toMs = to_->date().addDays(1).startOfDay().toMSecsSinceEpoch() - 1;
    f.label = child_->currentData().toString(); // null for every child
    return f;
}

QString ResultsTab::filterText() const
{
    const QString who = child_->currentIndex() > 0 ? child_->currentText() : QStringLiteral("tutti i bambini");
    return QStringLiteral("%1, dal %2 al %3").arg(who, dayText(from_->date()), dayText(to_->date()));
}

const ConfusionMatrix &ResultsTab::matrix() const
{
    return matrixModel_->matrix();
}

void ResultsTab::refresh()
{
    if (!loader_)
        return; // read once the tab first shows
    state_->setText(QStringLiteral("Leggo i risultati…"));
    loader_->load(filter());
}

void ResultsTab::present(const ResultsSnapshot &s)
{
    const qint64 chosen = chosenSession() ? chosenSession()->id : 0;
    shown_ = s;
    filling_ = true;
    fillChildren(s.labels);
    if (from_->date() == QDate(2000, 1, 1) && s.firstAnswerMs > 0) // first reading: from the first answer on
        from_->setDate(QDateTime::fromMSecsSinceEpoch(s.firstAnswerMs).date());
    filling_ = false;
    fillSessions(chosen);
    fillKinds();
    bars_->setScores(s.scores);
    trend_->setDays(s.days);
    missed_->clear();
    for (const MissedWord &w : s.words)
        missed_->addItem(missedText(w));
    showState();
    state_->clear();
    if (child_->currentData().toString() != s.filter.label)
        refresh(); // the child chosen has no session left: every child is shown instead
    emit updated();
}

void ResultsTab::showState()
{
    switch (shown_.state) {
    case ResultsSnapshot::State::NoFile:
        return tell(QStringLiteral("Nessun risultato ancora: i risultati compaiono qui dopo che un bambino ha "
                                   "giocato con questa copia di ZAMPLI."));
    case ResultsSnapshot::State::Unreadable:
        return tell(QStringLiteral("Non riesco a leggere il file dei risultati %1: è guasto oppure non è un file "
                                   "di ZAMPLI. Chiudi ZAMPLI e premi Aggiorna; se non basta, sposta il file in "
                                   "un'altra cartella e ZAMPLI ne comincerà uno nuovo.")
                        .arg(database_));
    case ResultsSnapshot::State::Read:
        if (message_->text().startsWith(QStringLiteral("Non riesco a leggere")) ||
            message_->text().startsWith(QStringLiteral("Nessun risultato")))
            message_->clear();
        return;
    }
}

void ResultsTab::fillChildren(const QStringList &labels)
{
    const QString chosen = child_->currentData().toString();
    child_->clear();
    child_->addItem(QStringLiteral("Tutti"), QString());
    for (const QString &n : labels)
        child_->addItem(n, n);
    const int at = child_->findData(chosen);
    child_->setCurrentIndex(chosen.isNull() || at < 0 ? 0 : at);
    eraseMany_->setText(child_->currentIndex() > 0 ? QStringLiteral("Cancella tutto di %1…").arg(child_->currentText())
                                                   : QStringLiteral("Cancella tutto…"));
}

void ResultsTab::fillSessions(qint64 chosen)
{
    sessionsModel_->setSessions(shown_.sessions);
    if (const int row = sessionsModel_->rowOf(chosen); chosen && row >= 0)
        sessions_->selectRow(row);
}

void ResultsTab::fillKinds()
{
    const QString chosen = matrixKind_->currentData().toString();
    filling_ = true;
    matrixKind_->clear();
    for (const KindConfusion &k : shown_.kinds)
        matrixKind_->addItem(QStringLiteral("%1 (%2)").arg(kindName(k.kind),
                                                           countText(answersOf(k.counts), "risposta", "risposte")),
                             kindKey(k.kind));
    matrixKind_->setCurrentIndex(std::max(0, matrixKind_->findData(chosen)));
    filling_ = false;
    showKind();
}

void ResultsTab::showKind()
{
    const QString key = matrixKind_->currentData().toString();
    matrixKind_->setToolTip(matrixKind_->currentText()); // the whole name where the list is too narrow for it
    for (const KindConfusion &k : shown_.kinds)
        if (kindKey(k.kind) == key)
            return matrixModel_->setMatrix(k.counts);
    matrixModel_->setMatrix({});
}

} // namespace zampli::teacher
