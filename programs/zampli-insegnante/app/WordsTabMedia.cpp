// SPDX-License-Identifier: GPL-3.0-or-later
// The words' pictures and voices: import, paste, drop, record, remove; each a
// change of the copy's history.
#include "CopyHistory.h"
#include "MediaActions.h"
#include "WordTableModel.h"
#include "WordsTab.h"
#include "media/FileNames.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTableView>

namespace zampli::teacher {

namespace {

const QString kPickWord = QStringLiteral("Prima scegli una parola dell'elenco.");

QString pictureOf(const QString &word)
{
    return QStringLiteral("l'immagine di «%1»").arg(word);
}

QString voiceOf(const QString &word)
{
    return QStringLiteral("la voce di «%1»").arg(word);
}

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

void WordsTab::changePicture(const QString &word, const std::function<QString(const QString &)> &put)
{
    const QString target = paths_.wordPicture(word);
    pictureDone(word, history_->write(target, pictureOf(word), [&] { return put(target); }));
}

void WordsTab::changeVoice(const QString &word, const std::function<QString(const QString &)> &put)
{
    const QString target = paths_.voice(word);
    voiceDone(word, history_->write(target, voiceOf(word), [&] { return put(target); }));
}

void WordsTab::importPicture()
{
    const QString word = currentWord();
    if (word.isEmpty())
        return say(kPickWord, true);
    const QString file = choosePictureFile(this);
    if (!file.isEmpty())
        changePicture(word, [&](const QString &target) { return putPicture(this, file, target); });
}

void WordsTab::pastePicture()
{
    const QString word = currentWord();
    if (word.isEmpty())
        return say(kPickWord, true);
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    const QString file = localFile(mime);
    const QImage image = file.isEmpty() && mime && mime->hasImage() ? qvariant_cast<QImage>(mime->imageData()) : QImage();
    changePicture(word, [&](const QString &target) {
        return file.isEmpty() ? putPicture(this, image, target) : putPicture(this, file, target);
    });
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
    const QImage image = file.isEmpty() ? qvariant_cast<QImage>(event->mimeData()->imageData()) : QImage();
    changePicture(word, [&](const QString &target) {
        return file.isEmpty() ? putPicture(this, image, target) : putPicture(this, file, target);
    });
    return true;
}

void WordsTab::importVoice()
{
    const QString word = currentWord();
    if (word.isEmpty())
        return say(kPickWord, true);
    const QString file = chooseVoiceFile(this);
    if (!file.isEmpty())
        changeVoice(word, [&](const QString &target) { return putVoice(this, file, target); });
}

void WordsTab::recordVoice()
{
    const QString word = currentWord();
    if (word.isEmpty())
        return say(kPickWord, true);
    QString problem;
    const QString target = paths_.voice(word);
    // Kept until the dialog goes: a recording thrown away drops the kept file.
    const std::shared_ptr<PendingChange> pending = history_->begin(target, voiceOf(word), &problem);
    if (!pending)
        return say(problem, true);
    openRecorder(this, services_, target, word, [this, word, pending] {
        history_->finish(pending);
        voiceDone(word, {});
    });
}

void WordsTab::removeMedia(bool picture)
{
    const QString word = currentWord();
    if (word.isEmpty())
        return say(kPickWord, true);
    const QString file = existingFile(picture ? paths_.wordPicture(word) : paths_.voice(word));
    const QString what = picture ? pictureOf(word) : voiceOf(word);
    if (!QFileInfo(file).isFile())
        return say(QStringLiteral("«%1» non ha %2 da togliere.")
                       .arg(word, picture ? QStringLiteral("un'immagine") : QStringLiteral("una voce")), true);
    if (const QString error = history_->remove(file, what); !error.isEmpty())
        return say(error, true);
    showWords(currentRow());
    say(QStringLiteral("Tolta %1: Ctrl+Z la rimette.").arg(what));
    emit filesChanged();
}

} // namespace zampli::teacher
