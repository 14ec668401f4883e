// SPDX-License-Identifier: GPL-3.0-or-later
// The results' view filled from a reading: filters, the table and the pictures.
#include "ResultsCharts.h"
#include "ResultsClass.h"
#include "ResultsMatrix.h"
#include "ResultsNames.h"
#include "ResultsSessions.h"
#include "ResultsView.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
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

// The "Bambino" list holds a child of the class by her id, those of nobody
// named, and names given by hand to sessions before the class had a list.
QString childKey(qint64 child)
{
    return QStringLiteral("c:%1").arg(child);
}

QString labelKey(const QString &label)
{
    return QStringLiteral("l:") + label;
}

QString filterKey(const ResultsFilter &f)
{
    if (f.childId != ResultsFilter::kAnyChild)
        return childKey(f.childId);
    return f.label.isNull() ? QString() : labelKey(f.label);
}

} // namespace

ResultsFilter ResultsView::filter() const
{
    ResultsFilter f;
    f.fromMs = from_->date().startOfDay().toMSecsSinceEpoch();
    f.toMs = to_->date().addDays(1).startOfDay().toMSecsSinceEpoch() - 1;
    const QString key = child_->currentData().toString();
    if (key.startsWith(QLatin1String("c:")))
        f.childId = key.mid(2).toLongLong();
    else if (key.startsWith(QLatin1String("l:")))
        f.label = key.mid(2);
    return f;
}

QString ResultsView::filterText() const
{
    const QString who = child_->currentIndex() > 0 ? child_->currentText() : QStringLiteral("tutti i bambini");
    return QStringLiteral("%1, dal %2 al %3").arg(who, dayText(from_->date()), dayText(to_->date()));
}

QString ResultsView::childChosen() const
{
    return child_->currentText();
}

const SessionSummary *ResultsView::chosenSession() const
{
    const QModelIndexList chosen = sessions_->selectionModel()->selectedRows();
    if (chosen.isEmpty())
        return nullptr;
    const int row = chosen.first().row();
    return row < sessionsModel_->sessions().size() ? &sessionsModel_->sessions()[row] : nullptr;
}

void ResultsView::tell(const QString &text)
{
    message_->setText(text);
}

const ConfusionMatrix &ResultsView::matrix() const
{
    return matrixModel_->matrix();
}

void ResultsView::refresh()
{
    if (!loader_)
        return; // read once the tab first shows
    state_->setText(QStringLiteral("Leggo i risultati…"));
    loader_->load(filter());
}

void ResultsView::present(const ResultsSnapshot &s)
{
    const qint64 chosen = chosenSession() ? chosenSession()->id : 0;
    const ResultsSnapshot before = std::exchange(shown_, s);
    if (!s.classRead) { // the class's table follows: the last one stays meanwhile
        shown_.overview = before.overview;
        shown_.practise = before.practise;
    }
    filling_ = true;
    fillChildren(shown_);
    filling_ = false;
    class_->present(shown_);
    if (s.classRead && s.generation == before.generation && before.state == s.state)
        return emit updated(); // the same reading, now with the class: the rest is on screen already
    filling_ = true;
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
    fillProblems(shown_);
    showState();
    state_->clear();
    if (child_->currentData().toString() != filterKey(s.filter))
        refresh(); // the child chosen has no session left: every child is shown instead
    emit updated();
}

void ResultsView::showState()
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

void ResultsView::fillChildren(const ResultsSnapshot &s)
{
    const QString chosen = child_->currentData().toString();
    child_->clear();
    child_->addItem(QStringLiteral("Tutti"), QString());
    QStringList names;
    for (const ChildEntry &c : s.children) {
        child_->addItem(c.name, childKey(c.id));
        names << c.name.toCaseFolded();
    }
    for (const ChildOverview &c : s.overview)
        if (c.childId == 0)
            child_->addItem(unnamedChild(), childKey(ResultsFilter::kNoChild));
    // A name given by hand that is no child's: its sessions stay reachable.
    for (const QString &n : s.labels)
        if (!names.contains(n.toCaseFolded()))
            child_->addItem(n, labelKey(n));
    const int at = child_->findData(chosen);
    child_->setCurrentIndex(chosen.isNull() || at < 0 ? 0 : at);
    eraseMany_->setText(child_->currentIndex() > 0 ? QStringLiteral("Cancella tutto di %1…").arg(child_->currentText())
                                                   : QStringLiteral("Cancella tutto…"));
}

void ResultsView::showChild(qint64 child)
{
    const int at = child_->findData(childKey(child == 0 ? ResultsFilter::kNoChild : child));
    if (at >= 0)
        child_->setCurrentIndex(at); // the reading follows from the list's change
    findChild<QTabWidget *>(QStringLiteral("viste"))->setCurrentIndex(0);
}

void ResultsView::fillProblems(const ResultsSnapshot &s)
{
    QStringList lines;
    for (const ProblemEntry &p : s.problems)
        lines << problemText(p).toHtmlEscaped();
    if (!s.damagedCopies.isEmpty())
        lines << QStringLiteral("Accanto al file dei risultati restano %1 messe da parte perché guaste: servono solo "
                                "a chi vuole guardarle, e si possono togliere.")
                     .arg(s.damagedCopies.size() == 1 ? QStringLiteral("una copia")
                                                      : QStringLiteral("%1 copie").arg(s.damagedCopies.size()));
    damaged_->setVisible(!s.damagedCopies.isEmpty());
    problemsBar_->setVisible(!lines.isEmpty());
    problems_->setText(QStringLiteral("<b>Problemi con i risultati</b><br>") + lines.join(QStringLiteral("<br>")));
}

void ResultsView::fillSessions(qint64 chosen)
{
    sessionsModel_->setSessions(shown_.sessions);
    if (const int row = sessionsModel_->rowOf(chosen); chosen && row >= 0)
        sessions_->selectRow(row);
}

void ResultsView::fillKinds()
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

void ResultsView::showKind()
{
    const QString key = matrixKind_->currentData().toString();
    matrixKind_->setToolTip(matrixKind_->currentText()); // the whole name where the list is too narrow for it
    for (const KindConfusion &k : shown_.kinds)
        if (kindKey(k.kind) == key)
            return matrixModel_->setMatrix(k.counts);
    matrixModel_->setMatrix({});
}

} // namespace zampli::teacher
