// SPDX-License-Identifier: GPL-3.0-or-later
#include "CopiesTab.h"

#include "Copies.h"
#include "Progress.h"
#include "StopSignals.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <csignal>
#include <cstdio>

namespace zampli::teacher {

namespace {

// Asks where the new copy goes; empty when the teacher changed her mind.
QString askTarget(QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("nuovaCopia"));
    dialog.setWindowTitle(QStringLiteral("Nuova copia di ZAMPLI"));
    auto *form = new QFormLayout(&dialog);
    auto *intro = new QLabel(QStringLiteral("La copia è una cartella tua con il programma, le immagini, le voci e gli "
                                            "elenchi di parole, che puoi cambiare. Nel menu del desktop compare "
                                            "«ZAMPLI – » seguito dal nome della cartella."));
    intro->setWordWrap(true);
    form->addRow(intro);
    auto *name = new QLineEdit(QStringLiteral("Classe 1ª A"));
    name->setObjectName(QStringLiteral("nome"));
    auto *where = new QLineEdit(QDir::homePath());
    where->setObjectName(QStringLiteral("dove"));
    auto *choose = new QPushButton(QStringLiteral("Scegli…"));
    QObject::connect(choose, &QPushButton::clicked, &dialog, [&] {
        const QString folder = QFileDialog::getExistingDirectory(&dialog, QStringLiteral("Dove mettere la copia"),
                                                                 where->text());
        if (!folder.isEmpty())
            where->setText(folder);
    });
    auto *whereRow = new QHBoxLayout;
    whereRow->addWidget(where, 1);
    whereRow->addWidget(choose);
    form->addRow(QStringLiteral("Nome della cartella (per esempio la classe):"), name);
    form->addRow(QStringLiteral("Dentro la cartella:"), whereRow);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Crea la copia"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted || name->text().trimmed().isEmpty())
        return {};
    return QDir(where->text()).filePath(name->text().trimmed());
}

} // namespace

CopiesTab::CopiesTab(QWidget *parent) : QWidget(parent)
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
    const auto add = [this, buttons](const QString &text, const QKeySequence &keys, void (CopiesTab::*slot)()) {
        auto *b = new QPushButton(text);
        b->setShortcut(keys);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    add(QStringLiteral("&Nuova copia…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), &CopiesTab::makeNew);
    add(QStringLiteral("&Apri"), QKeySequence(), &CopiesTab::openSelected);
    add(QStringLiteral("&Togli dal menu…"), QKeySequence(), &CopiesTab::removeSelected);
    buttons->addStretch();
    layout->addLayout(buttons);
    message_ = new QLabel;
    message_->setWordWrap(true);
    layout->addWidget(message_);
    connect(list_, &QTreeWidget::itemActivated, this, &CopiesTab::openSelected);
    refresh();
}

void CopiesTab::refresh()
{
    list_->clear();
    for (const copies::CopyInfo &copy : copies::knownCopies())
        new QTreeWidgetItem(list_, {copy.name, QDir::toNativeSeparators(copy.folder)});
    if (list_->topLevelItemCount() == 0)
        message_->setText(QStringLiteral("Non hai ancora nessuna copia: premi «Nuova copia…» per farne una."));
}

int CopiesTab::selected() const
{
    return list_->currentItem() ? list_->indexOfTopLevelItem(list_->currentItem()) : -1;
}

void CopiesTab::makeNew()
{
    const QString target = askTarget(this);
    if (target.isEmpty())
        return;
    const QString source = QCoreApplication::applicationDirPath();
    copies::CopyResult made;
    int signal = 0;
    {
        const copies::StopSignals stop;
        made = withProgress(this, QStringLiteral("Copio ZAMPLI in %1…").arg(target),
                            [&] { return copies::makeCopy(source, target, {}, stop.stopping()); });
        signal = made.ok ? 0 : stop.received();
    }
    if (signal != 0) {
        // Nothing half made is left: now the program ends as the signal asked, its usual action back.
        const QString line = QStringLiteral("%1. %2\n").arg(copies::StopSignals::reason(signal), made.message);
        std::fputs(line.toLocal8Bit().constData(), stderr);
        std::raise(signal);
    }
    message_->setText(made.message);
    refresh();
    if (made.ok)
        emit openCopy(made.copy.folder);
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

void CopiesTab::removeSelected()
{
    const int row = selected();
    const QList<copies::CopyInfo> known = copies::knownCopies();
    if (row < 0 || row >= known.size())
        return message_->setText(QStringLiteral("Prima scegli una copia dall'elenco."));
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Togli la copia"),
                    QStringLiteral("Tolgo «%1» dal menu del desktop. Vuoi cancellare anche la cartella %2 con tutte "
                                   "le sue parole, immagini e voci?").arg(known[row].name, known[row].folder),
                    QMessageBox::NoButton, this);
    QPushButton *entryOnly = ask.addButton(QStringLiteral("Togli solo dal menu"), QMessageBox::AcceptRole);
    QPushButton *all = ask.addButton(QStringLiteral("Cancella anche la cartella"), QMessageBox::DestructiveRole);
    ask.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
    ask.exec();
    if (ask.clickedButton() != entryOnly && ask.clickedButton() != all)
        return;
    const copies::CopyResult removed = copies::removeCopy(
        known[row], ask.clickedButton() == all ? copies::RemoveFolder::Yes : copies::RemoveFolder::No);
    message_->setText(removed.message);
    refresh();
}

} // namespace zampli::teacher
