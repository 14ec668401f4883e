// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tabs/results/ResultsLoader.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QTabWidget;

namespace zampli::teacher {

class ClassPanel;
class ProblemsBand;
class ResultsFilterBar;
class ResultsPictures;
class SessionsPanel;
class VowelBarsChart;

// What the actions on the results read of the view, and tell it.
class ResultsShown {
public:
    virtual ~ResultsShown() = default;
    // The reading last shown.
    virtual const ResultsSnapshot &shown() const = 0;
    // The session picked in the table; null when none is.
    virtual const SessionSummary *chosenSession() const = 0;
    virtual ResultsFilter filter() const = 0;
    // The filter in words: "Giulia, dal 01/03/2024 al 05/03/2024".
    virtual QString filterText() const = 0;
    // The name in the "Bambino" list.
    virtual QString childChosen() const = 0;
    virtual void tell(const QString &text) = 0;
    // Reads the file again, keeping the filters.
    virtual void refresh() = 0;
    // Reads the file again and tells `text` once the new reading is on
    // screen: what the reading itself says ("Nessuna risposta…") comes first.
    virtual void refreshThenTell(const QString &text) = 0;
};

// What the children of this folder answered, for one child or all, over a
// span of days: the sessions and the pictures of what they confuse, with the
// buttons that ask for the ways to name, take away and export them. The file
// is read on a thread of its own once the view is first shown, and again
// whenever it changes while the view is open; the pictures shown stay until
// the new ones are ready.
class ResultsView : public QWidget, public ResultsShown {
    Q_OBJECT
public:
    ResultsView(const QString &database, ClassPanel *classPanel, QWidget *parent = nullptr);
    ~ResultsView() override;

    void refresh() override;
    void refreshThenTell(const QString &text) override;
    // The matrix the view shows now.
    const ConfusionMatrix &matrix() const;
    const ResultsSnapshot &shown() const override { return shown_; }
    const SessionSummary *chosenSession() const override;
    ResultsFilter filter() const override;
    QString filterText() const override;
    QString childChosen() const override;
    void tell(const QString &text) override;
    // Shows a child of the class with her sessions and pictures.
    void showChild(qint64 child);
    void clearName();

signals:
    // A new reading is on screen.
    void updated();
    // The buttons, for the actions to answer.
    void nameGiven(const QString &name);
    void deleteSessionAsked();
    void eraseManyAsked();
    void takeInAsked();
    // "Aggiorna": read again, from the school's server too.
    void againAsked();
    void exportCsvAsked();
    void exportPdfAsked();
    void problemsRead();
    void damagedCopiesRemoveAsked();

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    QLayout *buildMessages();
    QWidget *buildAnswers();
    void present(const ResultsSnapshot &s);
    void showState();
    QString database_;
    ResultsLoader *loader_ = nullptr;
    QTimer poll_;
    bool everShown_ = false;
    QString toTell_; // after the reading under way
    ResultsSnapshot shown_;
    ResultsFilterBar *filters_ = nullptr;
    SessionsPanel *sessions_ = nullptr;
    QLabel *message_ = nullptr;
    QLabel *state_ = nullptr;
    ProblemsBand *problems_ = nullptr;
    ClassPanel *class_ = nullptr;
    VowelBarsChart *bars_ = nullptr;
    ResultsPictures *pictures_ = nullptr;
    QTabWidget *views_ = nullptr;
};

} // namespace zampli::teacher
