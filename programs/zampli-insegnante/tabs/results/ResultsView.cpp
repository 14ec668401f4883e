// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsView.h"

#include "tabs/results/ResultsCharts.h"
#include "tabs/results/ResultsClass.h"
#include "tabs/results/ResultsFilterBar.h"
#include "tabs/results/ResultsPictures.h"
#include "tabs/results/ResultsProblems.h"
#include "tabs/results/ResultsSessionsPanel.h"

#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>

namespace zampli::teacher {

namespace {

// A file read every two seconds at most while the tab shows: the child's
// answers appear without a click, and the check itself is one pragma.
constexpr int kPollMs = 2000;

} // namespace

ResultsView::ResultsView(const QString &database, ClassPanel *classPanel, QWidget *parent)
    : QWidget(parent), database_(database), class_(classPanel)
{
    auto *layout = new QVBoxLayout(this);
    filters_ = new ResultsFilterBar;
    connect(filters_, &ResultsFilterBar::changed, this, &ResultsView::refresh);
    connect(filters_, &ResultsFilterBar::againAsked, this, &ResultsView::refresh);
    connect(filters_, &ResultsFilterBar::againAsked, this, &ResultsView::againAsked);
    layout->addWidget(filters_);
    layout->addLayout(buildMessages());
    problems_ = new ProblemsBand;
    connect(problems_, &ProblemsBand::read, this, &ResultsView::problemsRead);
    connect(problems_, &ProblemsBand::damagedCopiesRemoveAsked, this, &ResultsView::damagedCopiesRemoveAsked);
    layout->addWidget(problems_);
    views_ = new QTabWidget;
    views_->setObjectName(QStringLiteral("viste"));
    views_->addTab(buildAnswers(), QStringLiteral("Risposte"));
    views_->addTab(class_, QStringLiteral("Classe"));
    layout->addWidget(views_, 1);
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] {
        if (loader_)
            loader_->check();
    });
}

ResultsView::~ResultsView() = default;

// The sessions beside the answers per vowel, over the pictures.
QWidget *ResultsView::buildAnswers()
{
    sessions_ = new SessionsPanel;
    connect(sessions_, &SessionsPanel::nameGiven, this, &ResultsView::nameGiven);
    connect(sessions_, &SessionsPanel::deleteAsked, this, &ResultsView::deleteSessionAsked);
    connect(sessions_, &SessionsPanel::eraseManyAsked, this, &ResultsView::eraseManyAsked);
    connect(sessions_, &SessionsPanel::takeInAsked, this, &ResultsView::takeInAsked);
    auto *top = new QSplitter;
    top->addWidget(sessions_);
    bars_ = new VowelBarsChart;
    top->addWidget(chartView(bars_, "perVocale", QSize(340, 220)));
    top->setStretchFactor(0, 3);
    top->setStretchFactor(1, 2);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(top);
    pictures_ = new ResultsPictures;
    split->addWidget(pictures_);
    return split;
}

QLayout *ResultsView::buildMessages()
{
    auto *messages = new QHBoxLayout;
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("messaggio"));
    message_->setWordWrap(true);
    state_ = new QLabel;
    state_->setObjectName(QStringLiteral("stato"));
    connect(class_, &ClassPanel::changed, this, &ResultsView::refresh);
    connect(class_, &ClassPanel::told, this, [this](const QString &text) { tell(text); });
    connect(class_, &ClassPanel::childChosen, this, &ResultsView::showChild);
    auto *playing = new QLabel(QStringLiteral("Ora gioca:"));
    playing->setBuddy(class_->nowPlaying());
    messages->addWidget(playing);
    messages->addWidget(class_->nowPlaying());
    messages->addWidget(message_, 1);
    messages->addWidget(state_);
    // Here, not in the row of the filters: there they would make the tab
    // wider than the window's first size, 960 pixels.
    QPushButton *csv = namedButton(QStringLiteral("Esporta CSV…"), "esportaCsv");
    QPushButton *pdf = namedButton(QStringLiteral("Esporta PDF…"), "esportaPdf");
    connect(csv, &QPushButton::clicked, this, &ResultsView::exportCsvAsked);
    connect(pdf, &QPushButton::clicked, this, &ResultsView::exportPdfAsked);
    messages->addWidget(csv);
    messages->addWidget(pdf);
    return messages;
}

ResultsFilter ResultsView::filter() const
{
    return filters_->filter();
}

QString ResultsView::filterText() const
{
    return filters_->filterText();
}

QString ResultsView::childChosen() const
{
    return filters_->childChosen();
}

void ResultsView::showChild(qint64 child)
{
    filters_->showChild(child);
    views_->setCurrentIndex(0);
}

void ResultsView::clearName()
{
    sessions_->clearName();
}

const SessionSummary *ResultsView::chosenSession() const
{
    return sessions_->chosen();
}

void ResultsView::tell(const QString &text)
{
    message_->setText(text);
}

const ConfusionMatrix &ResultsView::matrix() const
{
    return pictures_->matrix();
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
    const ResultsSnapshot before = std::exchange(shown_, s);
    if (!s.classRead) { // the class's table follows: the last one stays meanwhile
        shown_.overview = before.overview;
        shown_.practise = before.practise;
    }
    filters_->fillChildren(shown_);
    sessions_->setEraseOf(filters_->oneChild() ? childChosen() : QString());
    class_->present(shown_);
    if (s.classRead && s.generation == before.generation && before.state == s.state)
        return emit updated(); // the same reading, now with the class: the rest is on screen already
    filters_->startAt(s.firstAnswerMs);
    filters_->fillKinds(s);
    sessions_->fill(shown_.sessions);
    bars_->setScores(s.scores);
    pictures_->present(s);
    problems_->fill(shown_);
    showState();
    state_->clear();
    if (!filters_->matches(s.filter))
        refresh(); // the child chosen has no session left: every child is shown instead
    else if (!toTell_.isEmpty())
        tell(std::exchange(toTell_, {}));
    emit updated();
}

void ResultsView::refreshThenTell(const QString &text)
{
    toTell_ = text;
    refresh();
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
        if (shown_.sessions.isEmpty() && shown_.firstAnswerMs > 0)
            return tell(QStringLiteral("Nessuna risposta per %1. Scegli altri giorni, o un altro bambino in "
                                       "«Bambino».")
                            .arg(filterText()));
        if (message_->text().startsWith(QStringLiteral("Non riesco a leggere")) ||
            message_->text().startsWith(QStringLiteral("Nessun")))
            message_->clear();
        return;
    }
}

void ResultsView::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    poll_.start();
    if (everShown_)
        return loader_->check();
    everShown_ = true;
    // The file is opened once the window is up, never before its first paint.
    loader_ = new ResultsLoader(database_, this);
    connect(loader_, &ResultsLoader::loaded, this, &ResultsView::present);
    connect(loader_, &ResultsLoader::summarising, this, [this](int percent) {
        state_->setText(QStringLiteral("Preparo i risultati per la prima volta (%1%): aspetta un momento…").arg(percent));
    });
    QTimer::singleShot(0, this, &ResultsView::refresh);
}

void ResultsView::hideEvent(QHideEvent *e)
{
    poll_.stop();
    QWidget::hideEvent(e);
}

} // namespace zampli::teacher
