// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsTab.h"

#include "results/Schema.h"
#include "school/SchoolMirror.h"
#include "server/SchoolAccess.h"
#include "server/SchoolSync.h"
#include "tabs/results/ResultsActions.h"
#include "tabs/results/ResultsClass.h"
#include "tabs/results/ResultsView.h"

#include <QLocale>
#include <QTimeZone>
#include <QTimer>
#include <QVBoxLayout>
#include <ctime>

namespace zampli::teacher {

namespace {

// The class's days are the school's: every view counts days in the
// program's local time, so that becomes the school's zone, as last read
// from its server, before any view reads.
void countDaysIn(const QString &zone)
{
    const QByteArray id = zone.toUtf8();
    if (id.isEmpty() || qgetenv("TZ") == id || !QTimeZone(id).isValid())
        return;
    qputenv("TZ", id);
    tzset();
}

} // namespace

ResultsTab::ResultsTab(const QString &folder, QWidget *parent)
    : QWidget(parent), database_(resultsDatabasePath(resultsFolder(), folder))
{
    // A copy with a server shows the server's class, as this computer last read it.
    QString why;
    const std::optional<SchoolPlace> place = copyPlace(folder, &why);
    const std::optional<PgParams> school = place ? teacherParams(*place, &why) : std::nullopt;
    const QString own = database_;
    if (school) {
        database_ = SchoolMirror::pathFor(*school);
        countDaysIn(SchoolMirror(database_).timeZone());
    }
    auto *classPanel = new ClassPanel(database_, [this](const QString &title, const QString &text, const QString &yes) {
        return confirmErase(this, title, text, yes);
    });
    class_ = classPanel;
    view_ = new ResultsView(database_, classPanel);
    actions_ = std::make_unique<ResultsActions>(folder, database_, *view_, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    connect(view_, &ResultsView::updated, this, &ResultsTab::updated);
    connectActions();
    if (school)
        useSchool(*school, own, classPanel);
    else if (!why.isEmpty())
        view_->tell(why + QStringLiteral(" Vedi solo i risultati di questo computer."));
}

void ResultsTab::useSchool(const PgParams &teacher, const QString &copyResults, ClassPanel *classPanel)
{
    school_ = new SchoolSync(teacher, database_, copyResults, this);
    classPanel->useSchool(school_, copyResults);
    connect(school_, &SchoolSync::pulled, this, [this](bool, const QString &said) {
        if (!said.isEmpty())
            view_->tell(said);
        else if (std::exchange(pulling_, false)) // the progress she saw ends in words
            view_->tell(QStringLiteral("Ho letto i risultati della classe dal server della scuola."));
        view_->refresh();
    });
    connect(school_, &SchoolSync::progress, this, [this](qint64 done, qint64 total) {
        pulling_ = true;
        const QLocale italian(QLocale::Italian);
        view_->tell(QStringLiteral("Leggo i risultati della classe dal server della scuola: %1 risposte su %2…")
                        .arg(italian.toString(done), italian.toString(total)));
    });
    connect(view_, &ResultsView::againAsked, school_, &SchoolSync::pull);
    school_->pull();
    // New answers reach the server while she looks: read again now and then.
    auto *again = new QTimer(this);
    again->setInterval(60000);
    connect(again, &QTimer::timeout, school_, &SchoolSync::pull);
    again->start();
}

ResultsTab::~ResultsTab() = default;

void ResultsTab::connectActions()
{
    ResultsActions *actions = actions_.get();
    connect(view_, &ResultsView::nameGiven, this, [this, actions](const QString &name) {
        if (actions->giveName(name))
            view_->clearName();
    });
    connect(view_, &ResultsView::deleteSessionAsked, this, [actions] { actions->deleteSession(); });
    connect(view_, &ResultsView::eraseManyAsked, this, [this, actions] {
        // "Cancella tutto di …" with a server: the child goes from the server.
        if (school_ && view_->filter().childId > 0)
            return class_->eraseOnServer(view_->filter().childId, view_->childChosen());
        actions->eraseMany();
    });
    connect(view_, &ResultsView::takeInAsked, this, [actions] { actions->takeIn(); });
    connect(view_, &ResultsView::exportCsvAsked, this, [actions] { actions->exportCsv(); });
    connect(view_, &ResultsView::exportPdfAsked, this, [actions] { actions->exportPdf(); });
    connect(view_, &ResultsView::problemsRead, this, [actions] { actions->markProblemsRead(); });
    connect(view_, &ResultsView::damagedCopiesRemoveAsked, this, [actions] { actions->removeDamagedCopies(); });
}

void ResultsTab::refresh()
{
    if (school_)
        school_->pull();
    view_->refresh();
}

const ConfusionMatrix &ResultsTab::matrix() const
{
    return view_->matrix();
}

} // namespace zampli::teacher
