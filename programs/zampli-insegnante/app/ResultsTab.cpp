// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultsTab.h"

#include "ResultsActions.h"
#include "ResultsClass.h"
#include "ResultsView.h"
#include "results/Schema.h"

#include <QVBoxLayout>

namespace zampli::teacher {

ResultsTab::ResultsTab(const QString &folder, QWidget *parent)
    : QWidget(parent), database_(resultsDatabasePath(resultsFolder(), folder))
{
    auto *classPanel = new ClassPanel(database_, [this](const QString &title, const QString &text, const QString &yes) {
        return confirmErase(this, title, text, yes);
    });
    view_ = new ResultsView(database_, classPanel);
    actions_ = std::make_unique<ResultsActions>(folder, database_, *view_, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    connect(view_, &ResultsView::updated, this, &ResultsTab::updated);
    connectActions();
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
    connect(view_, &ResultsView::eraseManyAsked, this, [actions] { actions->eraseMany(); });
    connect(view_, &ResultsView::exportCsvAsked, this, [actions] { actions->exportCsv(); });
    connect(view_, &ResultsView::exportPdfAsked, this, [actions] { actions->exportPdf(); });
    connect(view_, &ResultsView::problemsRead, this, [actions] { actions->markProblemsRead(); });
    connect(view_, &ResultsView::damagedCopiesRemoveAsked, this, [actions] { actions->removeDamagedCopies(); });
}

void ResultsTab::refresh()
{
    view_->refresh();
}

const ConfusionMatrix &ResultsTab::matrix() const
{
    return view_->matrix();
}

} // namespace zampli::teacher
