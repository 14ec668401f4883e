// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tabs/results/ResultsLoader.h"

#include <QWidget>

class QComboBox;
class QDateEdit;

namespace zampli::teacher {

// The row over the results: which child and which days, and "Aggiorna".
// The lists it fills itself never count as the teacher's choice.
class ResultsFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit ResultsFilterBar(QWidget *parent = nullptr);

    ResultsFilter filter() const;
    // The filter in words: "Giulia, dal 01/03/2024 al 05/03/2024".
    QString filterText() const;
    // The name in the "Bambino" list.
    QString childChosen() const;
    // True when the list names one child rather than "Tutti".
    bool oneChild() const;
    // Whether the list still chooses what a reading was made for.
    bool matches(const ResultsFilter &f) const;
    // The children, the unnamed ones and the names given by hand of a reading,
    // keeping the one chosen where she is still there.
    void fillChildren(const ResultsSnapshot &s);
    // The first reading starts the days at the first answer.
    void startAt(qint64 firstAnswerMs);
    // The kinds of question of a reading, keeping the one chosen where it is still there.
    void fillKinds(const ResultsSnapshot &s);
    // Chooses a child of the class; the reading follows from the change.
    void showChild(qint64 child);

signals:
    // The teacher chose another child or other days.
    void changed();
    void againAsked();

private:
    void buildDates();

    QComboBox *child_ = nullptr;
    QComboBox *kind_ = nullptr;
    QDateEdit *from_ = nullptr;
    QDateEdit *to_ = nullptr;
    bool filling_ = false;
};

} // namespace zampli::teacher
