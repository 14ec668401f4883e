// SPDX-License-Identifier: GPL-3.0-or-later
// «Stampa le schede…»: the teacher ticks the lists, then saves a PDF or prints.
#include "print/PrintCards.h"

#include "catalog/Vowels.h"
#include "shared/Progress.h"
#include "shared/WholeTitle.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace zampli::teacher {

namespace {

QList<int> ticked(const QList<QCheckBox *> &boxes)
{
    QList<int> vowels;
    for (int i = 0; i < boxes.size(); ++i)
        if (boxes[i]->isChecked())
            vowels << i + 1;
    return vowels;
}

// Cards of the ticked lists; the teacher told why a list was left out or
// that there is nothing to print.
std::optional<QList<Card>> chosenCards(QWidget *parent, const QString &folder, const QList<QCheckBox *> &boxes)
{
    QStringList problems;
    const QList<int> vowels = ticked(boxes);
    const QList<Card> cards = withProgress(parent, QStringLiteral("Leggo le parole e le immagini…"),
                                           [&] { return cardsOf(folder, vowels, &problems); });
    if (!problems.isEmpty())
        QMessageBox::warning(parent, QStringLiteral("Stampa le schede"), problems.join(QLatin1Char('\n')));
    if (cards.isEmpty()) {
        QMessageBox::information(parent, QStringLiteral("Stampa le schede"),
                                 QStringLiteral("Negli elenchi scelti non c'è nessuna parola: scegli un altro elenco "
                                                "o aggiungi qualche parola."));
        return std::nullopt;
    }
    return cards;
}

void savePdf(QWidget *parent, const QString &folder, const QList<QCheckBox *> &boxes)
{
    const auto cards = chosenCards(parent, folder, boxes);
    if (!cards)
        return;
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Salva le schede in PDF"),
                                                QDir::home().filePath(QStringLiteral("schede-zampli.pdf")),
                                                QStringLiteral("Documenti PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QLatin1String(".pdf");
    const QString error = withProgress(parent, QStringLiteral("Preparo le schede…"),
                                       [&] { return writeCardsPdf(path, *cards, folder); });
    if (!error.isEmpty())
        QMessageBox::warning(parent, QStringLiteral("Stampa le schede"), error);
}

void print(QWidget *parent, const QString &folder, const QList<QCheckBox *> &boxes)
{
    const auto cards = chosenCards(parent, folder, boxes);
    if (!cards)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("Schede di ZAMPLI"));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Stampa le schede"));
    keepTitleWhole(&dialog);
    if (dialog.exec() == QDialog::Accepted)
        paintCards(printer, *cards, folder);
}

} // namespace

void showPrintCards(QWidget *parent, const QString &folder)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("stampaSchede"));
    dialog.setWindowTitle(QStringLiteral("Stampa le schede"));
    keepTitleWhole(&dialog);
    auto *layout = new QVBoxLayout(&dialog);
    auto *about = new QLabel(QStringLiteral("Una scheda per parola, sei per foglio, con la sua immagine; "
                                            "in fondo un foglio con le vocali. Scegli gli elenchi:"));
    about->setWordWrap(true);
    layout->addWidget(about);
    QList<QCheckBox *> boxes;
    for (int vowel = 1; vowel <= kVowelCount; ++vowel) {
        auto *box = new QCheckBox(QStringLiteral("Parole con %1").arg(vowelLetter(vowel)));
        box->setObjectName(vowelLetter(vowel).toLower());
        box->setChecked(true);
        layout->addWidget(box);
        boxes << box;
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton *pdf = buttons->addButton(QStringLiteral("&Salva in PDF…"), QDialogButtonBox::ActionRole);
    QPushButton *printIt = buttons->addButton(QStringLiteral("S&tampa…"), QDialogButtonBox::ActionRole);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Chiudi"));
    QObject::connect(pdf, &QPushButton::clicked, &dialog, [&] { savePdf(&dialog, folder, boxes); });
    QObject::connect(printIt, &QPushButton::clicked, &dialog, [&] { print(&dialog, folder, boxes); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}

} // namespace zampli::teacher
