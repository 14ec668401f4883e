// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/WordMediaPanel.h"

#include "history/CopyHistory.h"
#include "media/FileNames.h"
#include "pictures-voices/MediaActions.h"
#include "shared/TabButtons.h"
#include "tabs/words/WordTableModel.h"
#include "tabs/words/WordTableView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMimeData>

namespace zampli::teacher {

namespace {

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

// A picture given as a file, or else as an image (a browser's, a screenshot's).
std::function<QString(const QString &)> putFrom(QWidget *parent, const QMimeData *mime)
{
    const QString file = localFile(mime);
    const QImage image = file.isEmpty() && mime && mime->hasImage() ? qvariant_cast<QImage>(mime->imageData())
                                                                    : QImage();
    return [parent, file, image](const QString &target) {
        return file.isEmpty() ? putPicture(parent, image, target) : putPicture(parent, file, target);
    };
}

} // namespace

WordMediaPanel::WordMediaPanel(TeacherServices &services, const MediaPaths &paths, CopyHistory &history,
                               WordTableView &table, QWidget *parent)
    : QWidget(parent), services_(services), paths_(paths), history_(history), table_(table)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    const auto command = [this, row](const TabCommand &c, auto slot) {
        connect(addCommand(this, row, c), &QAction::triggered, this, slot);
    };
    command({"importaImmagine", QStringLiteral("&Importa un'immagine…"), QKeySequence(Qt::CTRL | Qt::Key_I)},
            &WordMediaPanel::importPicture);
    command({"incollaImmagine", QStringLiteral("I&ncolla un'immagine"), QKeySequence::Paste},
            &WordMediaPanel::pastePicture);
    command({"registraVoce", QStringLiteral("&Registra la voce…"), QKeySequence(Qt::CTRL | Qt::Key_R)},
            &WordMediaPanel::recordVoice);
    command({"importaVoce", QStringLiteral("Importa una &voce…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I)},
            &WordMediaPanel::importVoice);
    command({"togliImmagine", QStringLiteral("&Togli l'immagine")}, [this] { removeMedia(true); });
    command({"togliVoce", QStringLiteral("Togli la v&oce")}, [this] { removeMedia(false); });
    row->addStretch();
    viewport_ = table_.viewport();
    viewport_->setAcceptDrops(true);
    viewport_->installEventFilter(this);
}

void WordMediaPanel::setEditable(bool editable)
{
    for (QAction *action : actions())
        action->setEnabled(editable);
}

QString WordMediaPanel::chosenWord()
{
    const QString word = table_.currentWord();
    if (word.isEmpty())
        emit told(QStringLiteral("Prima scegli una parola dell'elenco."), true);
    return word;
}

void WordMediaPanel::done(const QString &word, bool picture, const QString &error)
{
    if (!error.isEmpty())
        return emit told(error, true);
    table_.words()->refresh(word);
    emit told(picture ? QStringLiteral("L'immagine di «%1» è pronta.").arg(word)
                      : QStringLiteral("La voce di «%1» è pronta: premi «Ascolta» per sentirla.").arg(word),
              false);
    emit filesChanged();
}

void WordMediaPanel::changeMedia(const QString &word, bool picture, const std::function<QString(const QString &)> &put)
{
    const QString target = picture ? paths_.wordPicture(word) : paths_.voice(word);
    const QString what = picture ? pictureOf(word) : voiceOf(word);
    done(word, picture, history_.write(target, what, [&] { return put(target); }));
}

void WordMediaPanel::importPicture()
{
    const QString word = chosenWord();
    const QString file = word.isEmpty() ? QString() : choosePictureFile(this);
    if (!file.isEmpty())
        changeMedia(word, true, [&](const QString &target) { return putPicture(this, file, target); });
}

void WordMediaPanel::pastePicture()
{
    if (const QString word = chosenWord(); !word.isEmpty())
        changeMedia(word, true, putFrom(this, QApplication::clipboard()->mimeData()));
}

bool WordMediaPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != viewport_)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto *drag = static_cast<QDropEvent *>(event);
        const bool picture = !localFile(drag->mimeData()).isEmpty() || drag->mimeData()->hasImage();
        const bool onWord = table_.indexAt(drag->position().toPoint()).isValid();
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

bool WordMediaPanel::dropPicture(QDropEvent *event)
{
    const QModelIndex at = table_.indexAt(event->position().toPoint());
    if (!at.isValid()) {
        emit told(QStringLiteral("Lascia l'immagine sopra la riga della parola."), true);
        return true;
    }
    const QString word = table_.words()->words().at(at.row());
    table_.selectRow(at.row());
    event->acceptProposedAction();
    changeMedia(word, true, putFrom(this, event->mimeData()));
    return true;
}

void WordMediaPanel::importVoice()
{
    const QString word = chosenWord();
    const QString file = word.isEmpty() ? QString() : chooseVoiceFile(this);
    if (!file.isEmpty())
        changeMedia(word, false, [&](const QString &target) { return putVoice(this, file, target); });
}

void WordMediaPanel::recordVoice()
{
    const QString word = chosenWord();
    if (word.isEmpty())
        return;
    QString problem;
    const QString target = paths_.voice(word);
    // Kept until the dialog goes: a recording thrown away drops the kept file.
    const std::shared_ptr<PendingChange> pending = history_.begin(target, voiceOf(word), &problem);
    if (!pending)
        return emit told(problem, true);
    openRecorder(this, services_, target, word, [this, word, pending] {
        history_.finish(pending);
        done(word, false, {});
    });
}

void WordMediaPanel::removeMedia(bool picture)
{
    const QString word = chosenWord();
    if (word.isEmpty())
        return;
    const QString file = existingFile(picture ? paths_.wordPicture(word) : paths_.voice(word));
    const QString what = picture ? pictureOf(word) : voiceOf(word);
    if (!QFileInfo(file).isFile())
        return emit told(QStringLiteral("«%1» non ha %2 da togliere.")
                             .arg(word, picture ? QStringLiteral("un'immagine") : QStringLiteral("una voce")), true);
    if (const QString error = history_.remove(file, what); !error.isEmpty())
        return emit told(error, true);
    table_.words()->refresh(word);
    emit told(QStringLiteral("Tolta %1: Ctrl+Z la rimette.").arg(what), false);
    emit filesChanged();
}

} // namespace zampli::teacher
