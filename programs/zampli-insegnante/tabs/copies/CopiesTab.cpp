// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/copies/CopiesTab.h"

#include "catalog/Vowels.h"
#include "copies/Copies.h"
#include "tabs/copies/NewCopy.h"
#include "wordlist/WordList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zampli::teacher {

namespace {

// All the words of the copy's five lists, as the program reads them.
qsizetype wordCount(const QString &folder)
{
    qsizetype count = 0;
    for (const QString &vowel : vowelListNames())
        count += loadWordList(QStringLiteral("%1/testi/%2.txt").arg(folder, vowel)).list.words.size();
    return count;
}

QString words(qsizetype n)
{
    return n == 0 ? QStringLiteral("nessuna parola")
           : n == 1 ? QStringLiteral("1 parola")
                    : QStringLiteral("%1 parole").arg(n);
}

} // namespace

CopiesTab::CopiesTab(const QString &openFolder, QWidget *parent) : QWidget(parent), openFolder_(openFolder)
{
    setObjectName(QStringLiteral("copie"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Le copie di ZAMPLI che hai fatto, ognuna con la sua voce nel menu del "
                                            "desktop. Aprine una per cambiarne parole, immagini e voci."));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    list_ = new QTreeWidget;
    list_->setObjectName(QStringLiteral("elencoCopie"));
    list_->setHeaderLabels({QStringLiteral("Nel menu"), QStringLiteral("Cartella")});
    list_->setRootIsDecorated(false);
    list_->header()->resizeSection(0, 260);
    layout->addWidget(list_, 1);
    auto *buttons = new QHBoxLayout;
    const auto add = [this, buttons](const QString &name, const QString &text, void (CopiesTab::*slot)()) {
        auto *b = new QPushButton(text);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    add(QStringLiteral("nuova"), QStringLiteral("&Nuova copia…"), &CopiesTab::makeNew)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    add(QStringLiteral("apri"), QStringLiteral("&Apri"), &CopiesTab::openSelected);
    update_ = add(QStringLiteral("aggiorna"), QStringLiteral("A&ggiorna la copia"), &CopiesTab::updateSelected);
    remove_ = add(QStringLiteral("togli"), QStringLiteral("&Togli…"), &CopiesTab::removeSelected);
    export_ = add(QStringLiteral("esporta"), QStringLiteral("&Esporta la copia…"), &CopiesTab::exportSelected);
    export_->setToolTip(QStringLiteral("Scrive parole, immagini e voci della copia in un solo file, da portare su un "
                                       "altro computer."));
    add(QStringLiteral("importa"), QStringLiteral("&Importa una copia…"), &CopiesTab::importFile)
        ->setToolTip(QStringLiteral("Fa una copia nuova da un file esportato da ZAMPLI."));
    buttons->addStretch();
    layout->addLayout(buttons);
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("messaggio"));
    message_->setWordWrap(true);
    layout->addWidget(message_);
    connect(list_, &QTreeWidget::itemActivated, this, &CopiesTab::openSelected);
    connect(list_, &QTreeWidget::currentItemChanged, this, &CopiesTab::showSelected);
    refresh();
}

void CopiesTab::refresh()
{
    list_->clear();
    for (const copies::CopyInfo &copy : copies::knownCopies())
        new QTreeWidgetItem(list_, {copy.name, QDir::toNativeSeparators(copy.folder)});
    if (list_->topLevelItemCount() == 0)
        message_->setText(QStringLiteral("Non hai ancora nessuna copia: premi «Nuova copia…» per farne una."));
    showSelected();
}

int CopiesTab::selected() const
{
    return list_->currentItem() ? list_->indexOfTopLevelItem(list_->currentItem()) : -1;
}

// What may be done with the copy chosen, and why not.
void CopiesTab::showSelected()
{
    const int row = selected();
    const QList<copies::CopyInfo> known = copies::knownCopies();
    const bool chosen = row >= 0 && row < known.size();
    const bool open = chosen && copies::sameFolder(known[row].folder, openFolder_);
    remove_->setEnabled(chosen && !open);
    export_->setEnabled(chosen && QFileInfo(known[row].folder).isDir());
    remove_->setToolTip(open ? QStringLiteral("È la copia aperta in questa finestra: apri un'altra copia, poi "
                                              "potrai toglierla.")
                             : QString());
    const bool old = chosen && copies::holdsOwnProgram(known[row].folder);
    update_->setEnabled(old);
    update_->setToolTip(old ? QString()
                            : QStringLiteral("Solo una copia con un programma suo, fatta con una versione precedente, "
                                             "ha bisogno di essere aggiornata."));
    if (old)
        message_->setText(QStringLiteral("«%1» ha un programma suo, che gli aggiornamenti di ZAMPLI non raggiungono: "
                                         "premi «Aggiorna la copia» perché avvii il programma installato.")
                              .arg(known[row].name));
}

void CopiesTab::makeNew()
{
    const QString where = newCopiesFolder();
    showMade(makeCopyAsking(this, QCoreApplication::applicationDirPath(),
                            {where, copies::freeCopyName(where, QStringLiteral("Classe 1ª A"))}));
}

void CopiesTab::importFile() { showMade(importCopyAsking(this, QCoreApplication::applicationDirPath())); }

void CopiesTab::showMade(const std::optional<copies::CopyResult> &made)
{
    if (!made)
        return;
    refresh(); // first: an empty list's own advice would hide why the copy was not made
    message_->setText(made->message);
    if (made->ok)
        emit openCopy(made->copy.folder);
}

void CopiesTab::exportSelected()
{
    const int row = selected();
    const QList<copies::CopyInfo> known = copies::knownCopies();
    if (row < 0 || row >= known.size())
        return message_->setText(QStringLiteral("Prima scegli una copia dall'elenco."));
    if (const std::optional<copies::CopyResult> written = exportCopyAsking(this, known[row].folder))
        message_->setText(written->message);
}

void CopiesTab::openSelected()
{
    const int row = selected();
    const QList<copies::CopyInfo> known = copies::knownCopies();
    if (row < 0 || row >= known.size())
        return message_->setText(QStringLiteral("Prima scegli una copia dall'elenco."));
    if (!QFileInfo(known[row].folder).isDir())
        return message_->setText(QStringLiteral("La cartella %1 non c'è più: togli la copia dal menu.").arg(known[row].folder));
    emit openCopy(known[row].folder);
}

void CopiesTab::updateSelected()
{
    const int row = selected();
    const QList<copies::CopyInfo> known = copies::knownCopies();
    if (row < 0 || row >= known.size())
        return message_->setText(QStringLiteral("Prima scegli una copia dall'elenco."));
    const copies::CopyResult updated =
        copies::useInstalledProgram(known[row].folder, QCoreApplication::applicationDirPath());
    refresh();
    message_->setText(updated.message);
}

void CopiesTab::removeSelected()
{
    const int row = selected();
    const QList<copies::CopyInfo> known = copies::knownCopies();
    if (row < 0 || row >= known.size())
        return message_->setText(QStringLiteral("Prima scegli una copia dall'elenco."));
    const copies::CopyInfo &copy = known[row];
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Togli la copia"),
                    QStringLiteral("Tolgo «%1» dal menu del desktop. Sposto nel cestino anche la cartella %2 (%3 "
                                   "nei suoi elenchi, con immagini e voci)? Dal cestino potrai riprenderla.")
                        .arg(copy.name, QDir::toNativeSeparators(copy.folder), words(wordCount(copy.folder))),
                    QMessageBox::NoButton, this);
    ask.setObjectName(QStringLiteral("togliCopia"));
    QPushButton *toTrash = ask.addButton(QStringLiteral("Sposta nel cestino"), QMessageBox::DestructiveRole);
    QPushButton *entryOnly = ask.addButton(QStringLiteral("Togli solo dal menu"), QMessageBox::AcceptRole);
    ask.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
    ask.exec();
    if (ask.clickedButton() != entryOnly && ask.clickedButton() != toTrash)
        return;
    const copies::CopyResult removed = copies::removeCopy(
        copy, ask.clickedButton() == toTrash ? copies::RemoveFolder::ToTrash : copies::RemoveFolder::No);
    refresh();
    message_->setText(removed.message);
}

} // namespace zampli::teacher
