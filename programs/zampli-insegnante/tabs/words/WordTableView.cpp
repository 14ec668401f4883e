// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/WordTableView.h"

#include "media/FileNames.h"
#include "media/SoundPlayer.h"
#include "tabs/words/ButtonDelegate.h"
#include "tabs/words/WordTableModel.h"

#include <QAction>
#include <QHeaderView>

namespace zampli::teacher {

WordTableView::WordTableView(WordTableModel *model, SoundPlayer &player, const MediaPaths &paths, QWidget *parent)
    : QTableView(parent), model_(model), player_(player), paths_(paths)
{
    setObjectName(QStringLiteral("elenco"));
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(WordTableModel::kThumbnail);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(WordTableModel::kThumbnail.height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(WordTableModel::Number, 40);
    setColumnWidth(WordTableModel::Picture, WordTableModel::kThumbnail.width() + 12);
    setColumnWidth(WordTableModel::Word, 200);
    setColumnWidth(WordTableModel::Voice, 110);
    auto *listenButtons = new ButtonDelegate(this);
    setItemDelegateForColumn(WordTableModel::Voice, listenButtons);
    connect(listenButtons, &ButtonDelegate::clicked, this, &WordTableView::listen);
    // Space on any cell of a row, as on its "Ascolta".
    auto *listenKey = new QAction(QStringLiteral("Ascolta la voce"), this);
    listenKey->setObjectName(QStringLiteral("ascolta"));
    listenKey->setShortcut(QKeySequence(Qt::Key_Space));
    listenKey->setShortcutContext(Qt::WidgetShortcut);
    addAction(listenKey);
    connect(listenKey, &QAction::triggered, this, &WordTableView::listenSelected);
}

void WordTableView::listenSelected()
{
    const int row = currentRow();
    if (row < 0)
        return emit told(QStringLiteral("Prima scegli una parola dell'elenco."), true);
    if (!model_->voiceReady(row))
        return emit told(QStringLiteral("«%1» non ha ancora una voce: registrala con Ctrl+R o importala con "
                                        "Ctrl+Maiusc+I.").arg(model_->words().at(row)), true);
    listen(model_->index(row, WordTableModel::Voice));
}

void WordTableView::listen(const QModelIndex &index)
{
    player_.play(existingFile(paths_.voice(model_->words().at(index.row()))));
}

void WordTableView::showWords(const QStringList &words, int selectRow)
{
    model_->setWords(words);
    if (model_->rowCount() > 0) {
        const int row = std::clamp(selectRow, 0, model_->rowCount() - 1);
        this->selectRow(row);
        // The scroll bar still has the old list's range until laid out again:
        // without this a row added at the end is left half off screen.
        updateGeometries();
        scrollTo(model_->index(row, WordTableModel::Word));
    }
}

int WordTableView::currentRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString WordTableView::currentWord() const
{
    const int row = currentRow();
    return row < 0 ? QString() : model_->words().at(row);
}

// The word's editor is a child of the viewport.
bool WordTableView::editing() const
{
    const QList<QWidget *> editors = viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    return std::any_of(editors.cbegin(), editors.cend(), [](const QWidget *w) { return w->isVisible(); });
}

} // namespace zampli::teacher
