// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/sounds/SoundsTab.h"

#include "catalog/Vowels.h"
#include "history/CopyHistory.h"
#include "media/FileNames.h"
#include "media/SoundPlayer.h"
#include "pictures-voices/MediaActions.h"
#include "pictures-voices/MediaState.h"
#include "shared/TeacherServices.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zampli::teacher {

namespace {

QString soundOf(const QString &name)
{
    return QStringLiteral("il suono «%1»").arg(name);
}

} // namespace

SoundsTab::SoundsTab(TeacherServices &services, const QString &folder, CopyHistory &history, QWidget *parent)
    : QWidget(parent), services_(services), paths_(folder), history_(history)
{
    setObjectName(QStringLiteral("suoni"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Le voci delle cinque vocali e i suoni che il programma fa sentire "
                                            "dopo una risposta. Registrali con la tua voce o importali da un file."));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    table_ = new QTableWidget(0, 4);
    table_->setObjectName(QStringLiteral("elencoSuoni"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Suono"), QStringLiteral("Quando si sente"),
                                       QStringLiteral("Voce"), QStringLiteral("Stato")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnWidth(1, 330);
    layout->addWidget(table_, 1);
    buildButtons(layout);
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("messaggio"));
    message_->setWordWrap(true);
    layout->addWidget(message_);
    refreshFiles();
    table_->selectRow(0);
}

void SoundsTab::buildButtons(QVBoxLayout *layout)
{
    auto *buttons = new QHBoxLayout;
    const auto add = [this, buttons](const char *name, const QString &text, const QKeySequence &keys, auto slot) {
        auto *action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, slot);
        auto *button = new QToolButton;
        button->setDefaultAction(action);
        buttons->addWidget(button);
    };
    add("registraVoce", QStringLiteral("&Registra…"), QKeySequence(Qt::CTRL | Qt::Key_R), &SoundsTab::record);
    add("importaVoce", QStringLiteral("Importa da un &file…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I),
        &SoundsTab::import);
    buttons->addStretch();
    layout->addLayout(buttons);
}

QList<SoundsTab::Sound> SoundsTab::sounds() const
{
    QList<Sound> list;
    for (const QString &v : vowelLetters())
        list.append({QStringLiteral("Vocale %1").arg(v), QStringLiteral("quando il programma dice la vocale"),
                     paths_.voice(v)});
    for (int n = 1; n <= 4; ++n)
        list.append({QStringLiteral("Lode %1 (si%1)").arg(n), QStringLiteral("dopo una risposta giusta"),
                     paths_.praise(n)});
    list.append({QStringLiteral("Errore (no)"), QStringLiteral("dopo una risposta sbagliata"), paths_.errorSound()});
    return list;
}

void SoundsTab::refreshFiles()
{
    const QList<Sound> list = sounds();
    const int selected = currentRow();
    table_->setRowCount(int(list.size()));
    for (int row = 0; row < list.size(); ++row) {
        const FileState state = voiceState(list[row].path);
        table_->setItem(row, 0, new QTableWidgetItem(list[row].name));
        table_->setItem(row, 1, new QTableWidgetItem(list[row].when));
        auto *stateItem = new QTableWidgetItem(voiceStateText(state));
        stateItem->setForeground(state == FileState::Ready ? QColor(0x1b, 0x6e, 0x20) : QColor(0xb2, 0x3c, 0x00));
        table_->setItem(row, 3, stateItem);
        auto *listen = new QToolButton;
        listen->setText(QStringLiteral("▶ Ascolta"));
        listen->setObjectName(QStringLiteral("ascolta_%1").arg(row));
        listen->setEnabled(state == FileState::Ready);
        connect(listen, &QToolButton::clicked, this,
                [this, path = list[row].path] { services_.player.play(existingFile(path)); });
        table_->setCellWidget(row, 2, listen);
    }
    table_->resizeColumnToContents(0);
    if (selected >= 0)
        table_->selectRow(selected);
}

int SoundsTab::currentRow() const
{
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void SoundsTab::done(const QString &error, const QString &name)
{
    refreshFiles();
    message_->setText(error.isEmpty() ? QStringLiteral("%1: pronta. Premi «Ascolta» per sentirla.").arg(name) : error);
    message_->setStyleSheet(error.isEmpty() ? QString() : QStringLiteral("QLabel { color: #b00020; font-weight: bold; }"));
    if (error.isEmpty())
        emit filesChanged();
}

void SoundsTab::record()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const Sound sound = sounds().at(row);
    QString problem;
    const std::shared_ptr<PendingChange> pending = history_.begin(sound.path, soundOf(sound.name), &problem);
    if (!pending)
        return done(problem, sound.name);
    openRecorder(this, services_, sound.path, sound.name, [this, name = sound.name, pending] {
        history_.finish(pending);
        done({}, name);
    });
}

void SoundsTab::import()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const Sound sound = sounds().at(row);
    const QString file = chooseVoiceFile(this);
    if (!file.isEmpty())
        done(history_.write(sound.path, soundOf(sound.name), [&] { return putVoice(this, file, sound.path); }), sound.name);
}

} // namespace zampli::teacher
