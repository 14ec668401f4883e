// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "school/PgConnection.h"
#include "tabs/results/ResultsLoader.h"

#include <QWidget>

#include <memory>

namespace zampli::teacher {

class ClassPanel;
class ResultsActions;
class ResultsView;
class SchoolSync;

// The Risultati tab: what the children of this folder answered, and what
// the teacher does with it; the view's buttons ask, the actions answer.
class ResultsTab : public QWidget {
    Q_OBJECT
public:
    explicit ResultsTab(const QString &folder, QWidget *parent = nullptr);
    ~ResultsTab() override;

    const QString &database() const { return database_; }
    // Reads the file again, keeping the filters.
    void refresh();
    // The matrix the tab shows now.
    const ConfusionMatrix &matrix() const;

signals:
    // A new reading is on screen.
    void updated();

private:
    void connectActions();

    void useSchool(const PgParams &teacher, const QString &copyResults, ClassPanel *classPanel);

    QString database_;
    SchoolSync *school_ = nullptr;
    ClassPanel *class_ = nullptr;
    bool pulling_ = false; // a long reading's progress is on screen
    ResultsView *view_ = nullptr;
    std::unique_ptr<ResultsActions> actions_;
};

} // namespace zampli::teacher
