// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ExerciseForm.h"

#include "shell/Windows.h"
#include "rules/Random.h"
#include "rules/Shuffle.h"
#include "state/MessageBoxes.h"
#include "state/Modulo1.h"

#include <QMenuBar>

namespace zampli {

QStringList styleItemCaptions(StyleItems form)
{
    switch (form) {
    case StyleItems::Five:
        return {"tutti i caratteri", "stampato maiuscolo", "stampato minuscolo", "corsivo maiuscolo",
                "corsivo minuscolo"};
    case StyleItems::Eight:
        return {"stampato minuscolo/maiuscolo", "stampato maiuscolo/minuscolo",
                "corsivo minuscolo/maiuscolo",  "corsivo maiuscolo/minuscolo",
                "maiuscolo stampato/corsivo",   "maiuscolo corsivo/stampato",
                "minuscolo stampato/corsivo",   "minuscolo corsivo/stampato"};
    case StyleItems::None:
        break;
    }
    return {};
}

ExerciseForm::ExerciseForm(Windows &w, FormId id, QSize designTwips, QColor designBackground)
    : Form(w, w.activation, w.keyboardInUse, w.screen, QString::fromLatin1(exerciseWindow(id).name()), designTwips,
           designBackground),
      ExerciseServices(w.m.exerciseServices()), row_(exerciseWindow(id)), recorder_(answers, id)
{
}

void ExerciseForm::buildMenuBar(QMenuBar &bar)
{
    styleItems_.clear();
    const QStringList captions = styleItemCaptions(row_.styles);
    if (!captions.isEmpty()) {
        QMenu *opzioni = bar.addMenu(QStringLiteral("&Opzioni          "));
        opzioni->setObjectName(QStringLiteral("mnuOpzioni"));
        for (int i = 0; i < captions.size(); ++i) {
            QAction *item = opzioni->addAction(captions[i]);
            item->setObjectName(QStringLiteral("mnuCaratteri_%1").arg(i));
            item->setCheckable(true);
            item->setChecked(i == 0);
            connect(item, &QAction::triggered, this, [this, i] { mnuCaratteri_Click(i); });
            styleItems_ << item;
        }
    }
    const auto command = [&](const char *name, const QString &caption, void (ExerciseForm::*handler)()) {
        QAction *a = bar.addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
    };
    // Each title with a letter of its own for Alt, none the same.
    command("mnuAzzera", QStringLiteral("&Azzera esercizi     "), &ExerciseForm::mnuAzzera_Click);
    command("mnuEsercizi", QStringLiteral("Esercizi e&seguiti     "), &ExerciseForm::mnuEsercizi_Click);
    command("mnuEsci", QStringLiteral("&Esci"), &ExerciseForm::mnuEsci_Click);
}

void ExerciseForm::Form_Activate()
{
    // A new turn drawn behind a locked answer could never be answered: where
    // activation draws one, an answered turn gives way to a clean one.
    const bool reopen = !freshControls_ && (row_.steps & StepCaricaZampli) && turnAnswered();
    freshControls_ = false;
    if (row_.steps & StepResetStileFisso)
        StileFisso = false;
    if (row_.steps & StepOwnResets)
        ownResets();
    if (row_.steps & StepLeggiParole)
        LeggiParole();
    if (!isLoaded())
        return; // a step sent the window back to the menu
    if (reopen) {
        startNextTurn();
        return;
    }
    if (row_.steps & StepCaricaZampli)
        CaricaZampli();
    if (row_.steps & StepParla)
        parla();
}

void ExerciseForm::mnuCaratteri_Click(int index)
{
    for (QAction *item : std::as_const(styleItems_))
        if (item)
            item->setChecked(false);
    if (index >= 0 && index < styleItems_.size() && styleItems_[index])
        styleItems_[index]->setChecked(true);

    if (row_.styles == StyleItems::Five) {
        StileFisso = index != 0;
        Stile = static_cast<qint16>(index);
    } else {
        setStylePair(index);
    }

    switch (row_.afterStyle) {
    case AfterStyle::CaricaZampliParla:
        CaricaZampli();
        parla();
        break;
    case AfterStyle::CaricaZampli: CaricaZampli(); break;
    case AfterStyle::NextTurn: startNextTurn(); break;
    case AfterStyle::Nothing: break;
    }
}

void ExerciseForm::mnuAzzera_Click()
{
    counters.EserciziEseguiti = 0;
    if (row_.counters == CounterVariant::B)
        counters.EserciziErrati = 0;
}

QString ExerciseForm::reportText() const
{
    return exerciseReport(row_.counters, counters.EserciziEseguiti, counters.EserciziErrati);
}

void ExerciseForm::mnuEsercizi_Click()
{
    messages.tell(reportText(), window());
}

void ExerciseForm::drawStyle()
{
    if (!StileFisso)
        Stile = zampli::drawStyle(random);
}

void ExerciseForm::returnToMenu()
{
    if (Form *menu = windows.form(FormId::Menu))
        menu->Show();
    Unload();
}

void ExerciseForm::mnuEsci_Click()
{
    if (messages.askYesNo(QStringLiteral("Vuoi terminare?"), window()))
        returnToMenu();
}

bool ExerciseForm::closeRequested()
{
    // The window's own close button is the way out through "Esci", asked
    // once the close event is over.
    QMetaObject::invokeMethod(this, &ExerciseForm::mnuEsci_Click, Qt::QueuedConnection);
    return false;
}

bool ExerciseForm::escapePressed()
{
    // Escape means "back" here as in every box: the way out through "Esci".
    mnuEsci_Click();
    return true;
}

} // namespace zampli
