// SPDX-License-Identifier: GPL-3.0-or-later
// The words' pictures and voices: import, paste, drop, record.
#include "MediaActions.h"
#include "WordTableModel.h"
#include "WordsTab.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QTableView>

namespace zampli::teacher {

namespace {

const QString kPickWord = QStringLiteral("Prima scegli una parola dell'elenco.");

// The first local file among the dropped or pasted ones.
QString localFile(const QMimeData *mime)
{
    if (mime)
        for (const QUrl &url : mime->urls())
            if (url.isLocalFile())
                return url.toLocalFile();
    return {};
}

} // namespace

void WordsTab::pictureDone(const QString &word, const QString &error)
{
    if (!error.isEmpty()) {
        say(error, true);
        return;
    }
    model_->refresh(word);
    say(QStringLiteral("L'immagine di «%1» è pronta.").arg(word));
    emit filesChanged();
}

void WordsTab::voiceDone(const QString &word, const QString &error)
{
    if (!error.isEmpty()) {
        say(error, true);
        return;
    }
    showWords(currentRow());
    say(QStringLiteral("La voce di «%1» è pronta: premi «Ascolta» per sentirla.").arg(word));
    emit filesChanged();
}

void WordsTab::importPicture()
{
    const QString word = currentWord();
    if (word.isEmpty())
        return say(kPickWord, true);
    const QString file = choosePictureFile(this);
    if (!file.isEmpty())
        pictureDone(word, putPicture(this, file, paths_.wordPicture(word)));
}

void WordsTab::pastePicture()
{
    const QString word = currentWord();
    if (word.isEmpty())
        return say(kPickWord, true);
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    if (const QString file = localFile(mime); !file.isEmpty())
        pictureDone(word, putPicture(this, file, paths_.wordPicture(word)));
    else
        pictureDone(word, putPicture(this, mime && mime->hasImage() ? qvariant_cast<QImage>(mime->imageData()) : QImage(),
                                     paths_.wordPicture(word)));
}

bool WordsTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != view_->viewport())
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto *drag = static_cast<QDropEvent *>(event);
        const bool picture = !localFile(drag->mimeData()).isEmpty() || drag->mimeData()->hasImage();
        const bool onWord = view_->indexAt(drag->position().toPoint()).isValid();
        if (picture && onWord)
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    if (event->type() == QEvent::Drop)
        return dropPicture(static_cast<QDropEvent *>(event));
    return QWidget::eventFilter(watched, event);
}

bool WordsTab::dropPicture(QDropEvent *event)
{
    const QModelIndex at = view_->indexAt(event->position().toPoint());
    if (!at.isValid()) {
        say(QStringLiteral("Lascia la figura sopra la riga della parola."), true);
        return true;
    }
    const QString word = model_->words().at(at.row());
    view_->selectRow(at.row());
    event->acceptProposedAction();
    const QString file = localFile(event->mimeData());
    pictureDone(word, file.isEmpty() ? putPicture(this, qvariant_cast<QImage>(event->mimeData()->imageData()),
                                                  paths_.wordPicture(word))
                                     : putPicture(this, file, paths_.wordPicture(word)));
    return true;
}

void WordsTab::importVoice()
{
    const QString word = currentWord();
    if (word.isEmpty())
        return say(kPickWord, true);
    const QString file = chooseVoiceFile(this);
    if (!file.isEmpty())
        voiceDone(word, putVoice(this, file, paths_.voice(word)));
}

void WordsTab::recordVoice()
{
    const QString word = currentWord();
    if (word.isEmpty())
        return say(kPickWord, true);
    openRecorder(this, services_, paths_.voice(word), word, [this, word] { voiceDone(word, {}); });
}

} // namespace zampli::teacher
