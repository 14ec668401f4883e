// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/AnswerRecorder.h"
#include "shell/ExerciseWindows.h"
#include "shell/Form.h"
#include "state/ExerciseServices.h"

#include <QList>
#include <QPointer>

class QAction;

namespace zampli {

// The frame every exercise window shares: its menu bar (styles, reset,
// report, exit), the two counter variants and the order of the activation step.
class ExerciseForm : public Form, protected ExerciseServices {
    Q_OBJECT
public:
    ExerciseForm(Windows &w, FormId id, QSize designTwips, QColor designBackground);

    const ExerciseWindowRow &row() const { return row_; }

    void mnuCaratteri_Click(int index);
    void mnuAzzera_Click();
    void mnuEsercizi_Click();
    void mnuEsci_Click();

    // The report "Esercizi eseguiti" shows, for this window's counter variant.
    QString reportText() const;

    bool closeRequested() override;
    bool escapePressed() override;

    // Window variables of the five-item style choice.
    bool StileFisso = false;
    qint16 Stile = 0;

protected:
    void Form_Load() override { freshControls_ = true; }
    void Form_Activate() override;
    bool hasMenuBar() const override { return true; }
    KeyOrder keyOrder() const override { return KeyOrder::Reading; }
    void buildMenuBar(QMenuBar &bar) override;

    virtual void ownResets() {}
    virtual void LeggiParole() {}
    virtual void CaricaZampli() {}
    virtual void parla() {}
    // The next button's steps: what a style choice leads to in the windows
    // that start a new turn on it, and what activation does to an answered turn.
    virtual void startNextTurn() {}
    // The turn on show was answered and waits for the next button.
    virtual bool turnAnswered() const { return false; }
    // Eight-item form: the pair of styles item `index` stands for.
    virtual void setStylePair(int) {}

    // A new style for this turn, unless the adult fixed one.
    void drawStyle();
    // Shows the main menu and closes this window.
    void returnToMenu();

    // A new question is before the child; its answers count their time from now.
    void questionAsked() { recorder_.questionAsked(); }
    // Keeps the answer just judged, then hands the verdict on.
    Answer recorded(Answer verdict, const Judged &what)
    {
        recorder_.record(verdict, what, Stile);
        return verdict;
    }

private:
    const ExerciseWindowRow &row_;
    AnswerRecorder recorder_;
    QList<QPointer<QAction>> styleItems_;
    bool freshControls_ = false; // loaded, not yet activated: nothing shows an answer
};

// Captions of the style items.
QStringList styleItemCaptions(StyleItems form);

} // namespace zampli
