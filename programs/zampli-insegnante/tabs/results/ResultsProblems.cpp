// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsProblems.h"

#include "tabs/results/ResultsClass.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace zampli::teacher {

ProblemsBand::ProblemsBand(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("barraProblemi"));
    setAutoFillBackground(true);
    QPalette warm = palette();
    warm.setColor(QPalette::Window, QColor(255, 243, 205));
    warm.setColor(QPalette::WindowText, Qt::black);
    setPalette(warm);
    auto *row = new QHBoxLayout(this);
    problems_ = new QLabel;
    problems_->setObjectName(QStringLiteral("problemi"));
    problems_->setWordWrap(true);
    problems_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton *read = namedButton(QStringLiteral("Ho letto"), "hoLetto");
    damaged_ = namedButton(QStringLiteral("Togli i file guasti…"), "togliCopieGuaste");
    connect(read, &QPushButton::clicked, this, &ProblemsBand::read);
    connect(damaged_, &QPushButton::clicked, this, &ProblemsBand::damagedCopiesRemoveAsked);
    row->addWidget(problems_, 1);
    row->addWidget(damaged_, 0, Qt::AlignTop);
    row->addWidget(read, 0, Qt::AlignTop);
    hide();
}

void ProblemsBand::fill(const ResultsSnapshot &s)
{
    QStringList lines;
    for (const ProblemEntry &p : s.problems)
        lines << problemText(p).toHtmlEscaped();
    if (!s.damagedCopies.isEmpty())
        lines << (s.damagedCopies.size() == 1
                      ? QStringLiteral("Accanto al file dei risultati resta un file guasto messo da parte: serve solo "
                                       "a chi vuole guardarlo, e si può togliere.")
                      : QStringLiteral("Accanto al file dei risultati restano %1 file guasti messi da parte: servono "
                                       "solo a chi vuole guardarli, e si possono togliere.")
                            .arg(s.damagedCopies.size()));
    damaged_->setVisible(!s.damagedCopies.isEmpty());
    setVisible(!lines.isEmpty());
    problems_->setText(QStringLiteral("<b>Problemi con i risultati</b><br>") + lines.join(QStringLiteral("<br>")));
}

} // namespace zampli::teacher
