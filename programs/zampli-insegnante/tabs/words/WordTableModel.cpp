// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/WordTableModel.h"

#include "media/FileNames.h"
#include "tabs/words/ButtonDelegate.h"
#include "wordlist/WordList.h"

#include <QBrush>
#include <QColor>
#include <QImageReader>
#include <QTimer>

#include <utility>

namespace zampli::teacher {

WordTableModel::WordTableModel(const MediaPaths &paths, QObject *parent) : QAbstractTableModel(parent), paths_(paths) {}

const WordTableModel::Row &WordTableModel::look(int row) const
{
    auto found = rows_.find(row);
    if (found == rows_.end()) {
        const QString &word = words_.at(row);
        found = rows_.insert(row, Row{pictureState(paths_.wordPicture(word)), voiceState(paths_.voice(word))});
    }
    return *found;
}

void WordTableModel::setWords(const QStringList &words)
{
    beginResetModel();
    words_ = words;
    rows_.clear();
    endResetModel();
}

void WordTableModel::refresh(const QString &word)
{
    const int row = int(words_.indexOf(word));
    if (row < 0)
        return;
    rows_.remove(row);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int WordTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(words_.size());
}

int WordTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QPixmap WordTableModel::thumbnail(int row) const
{
    const Row &r = look(row);
    if (!r.thumbnailRead && r.picture == FileState::Ready && !toDecode_.contains(row)) {
        if (toDecode_.isEmpty())
            QTimer::singleShot(0, this, &WordTableModel::decodeAsked);
        toDecode_ << row;
    }
    return r.thumbnail;
}

void WordTableModel::decodeAsked()
{
    for (const int row : std::exchange(toDecode_, {})) {
        // Gone or looked at anew meanwhile: its next paint asks again.
        const auto found = rows_.find(row);
        if (found == rows_.end() || found->thumbnailRead)
            continue;
        QImageReader reader(existingFile(paths_.wordPicture(words_.at(row))));
        reader.setDecideFormatFromContent(true);
        // JPEG decodes straight at an eighth of its size: no whole picture in memory.
        reader.setScaledSize(reader.size().scaled(kThumbnail, Qt::KeepAspectRatio));
        found->thumbnail = QPixmap::fromImage(reader.read());
        found->thumbnailRead = true;
        emit dataChanged(index(row, Picture), index(row, Picture), {Qt::DecorationRole});
    }
}

QVariant WordTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const Row &r = look(row);
    const bool beyond = row >= WordList::kMaxWords;
    const bool ready = !beyond && r.picture == FileState::Ready && r.voice == FileState::Ready;
    switch (index.column()) {
    case Number:
        return role == Qt::DisplayRole ? QVariant(row + 1) : QVariant();
    case Picture:
        if (role == Qt::DecorationRole)
            return thumbnail(row);
        if (role == Qt::ToolTipRole)
            return r.picture == FileState::Ready ? QStringLiteral("L'immagine di «%1»").arg(words_.at(row))
                                                 : QStringLiteral("Trascina qui un'immagine, o incollala con Ctrl+V");
        return {};
    case Word:
        return role == Qt::DisplayRole || role == Qt::EditRole ? QVariant(words_.at(row)) : QVariant();
    case Voice:
        return voiceData(row, role);
    case State:
        if (role == Qt::DisplayRole)
            return stateText(r.picture, r.voice, beyond);
        if (role == Qt::ForegroundRole)
            return QBrush(ready ? QColor(0x1b, 0x6e, 0x20) : QColor(0xb2, 0x3c, 0x00));
        return {};
    default:
        return {};
    }
}

// A button that plays the voice, drawn by ButtonDelegate.
QVariant WordTableModel::voiceData(int row, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        return QStringLiteral("▶ Ascolta");
    case ButtonDelegate::EnabledRole:
        return voiceReady(row);
    case Qt::ToolTipRole:
        return voiceReady(row) ? QStringLiteral("Ascolta la voce di «%1»").arg(words_.at(row))
                               : QStringLiteral("«%1» non ha una voce da ascoltare: registrala o importala")
                                     .arg(words_.at(row));
    default:
        return {};
    }
}

QVariant WordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const names[] = {"N.", "Immagine", "Parola", "Voce", "Stato"};
    return QString::fromUtf8(names[section]);
}

Qt::ItemFlags WordTableModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
    return index.column() == Word ? base | Qt::ItemIsEditable : base;
}

bool WordTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != Word)
        return false;
    emit renameAsked(index.row(), value.toString());
    return false;
}

} // namespace zampli::teacher
