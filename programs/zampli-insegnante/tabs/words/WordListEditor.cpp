// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/WordListEditor.h"

#include "core/WordRules.h"
#include "history/CopyHistory.h"
#include "shared/TabButtons.h"
#include "tabs/words/WordTableModel.h"
#include "tabs/words/WordTableView.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace zampli::teacher {

WordListEditor::WordListEditor(SoundPlayer &player, const MediaPaths &paths, const QString &vowel,
                               CopyHistory &history, QWidget *parent)
    : QWidget(parent), history_(history), file_(paths, vowel)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    notice_ = new QLabel;
    notice_->setObjectName(QStringLiteral("avviso"));
    notice_->setWordWrap(true);
    notice_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notice_->setStyleSheet(QStringLiteral("QLabel { background: #fff4c2; padding: 6px; }"));
    layout->addWidget(notice_);
    layout->addLayout(buildNewWord(vowel));
    model_ = new WordTableModel(paths, this);
    connect(model_, &WordTableModel::renameAsked, this, &WordListEditor::rename);
    view_ = new WordTableView(model_, player, paths);
    connect(view_, &WordTableView::told, this, &WordListEditor::told);
    layout->addWidget(view_, 1);
    layout->addLayout(buildCommands(history));
    // The editor takes the focus for its table: a change of tab puts her on the words.
    setFocusProxy(view_);
    reload();
}

// A word still being renamed is committed when the view hides, which
// happens here after this editor's own parts are gone: it is dropped instead.
WordListEditor::~WordListEditor()
{
    disconnect(model_, nullptr, this, nullptr);
}

QLayout *WordListEditor::buildNewWord(const QString &vowel)
{
    auto *row = new QHBoxLayout;
    newWord_ = new QLineEdit;
    newWord_->setObjectName(QStringLiteral("nuovaParola"));
    newWord_->setPlaceholderText(QStringLiteral("Scrivi una parola nuova che comincia con %1 e premi Invio")
                                     .arg(vowel.toUpper()));
    auto *addButton = new QPushButton(QStringLiteral("&Aggiungi"));
    addButton->setObjectName(QStringLiteral("aggiungi"));
    addButton_ = addButton;
    auto *label = new QLabel(QStringLiteral("&Parola nuova:"));
    label->setBuddy(newWord_);
    row->addWidget(label);
    row->addWidget(newWord_, 1);
    row->addWidget(addButton);
    newWord_->installEventFilter(this);
    connect(newWord_, &QLineEdit::returnPressed, this, &WordListEditor::add);
    connect(addButton, &QPushButton::clicked, this, &WordListEditor::add);
    return row;
}

QLayout *WordListEditor::buildCommands(CopyHistory &history)
{
    auto *row = new QHBoxLayout;
    const auto command = [this, row](const TabCommand &c, auto slot) {
        connect(addCommand(this, row, c), &QAction::triggered, this, slot);
    };
    command({"rinomina", QStringLiteral("Rino&mina"), QKeySequence(Qt::Key_F2)}, [this] {
        if (view_->currentRow() >= 0)
            view_->edit(model_->index(view_->currentRow(), WordTableModel::Word));
    });
    command({"rimuovi", QStringLiteral("To&gli la parola"), QKeySequence::Delete}, &WordListEditor::remove);
    command({"su", QStringLiteral("▲ Su"), QKeySequence(Qt::CTRL | Qt::Key_Up)}, [this] { move(-1); });
    command({"giu", QStringLiteral("▼ Giù"), QKeySequence(Qt::CTRL | Qt::Key_Down)}, [this] { move(1); });
    command({"importaParole", QStringLiteral("Importa paro&le…")}, &WordListEditor::importAsked);
    // The copy's own Annulla and Ripeti, named after the change they take back or do again.
    addButton(row, history.undoAction());
    addButton(row, history.redoAction());
    row->addStretch();
    return row;
}

void WordListEditor::reload()
{
    readList();
    showWords(0);
    showNotice();
}

void WordListEditor::readList()
{
    file_.read();
    setEditable(folderEditable_ && file_.readOnlyReason().isEmpty());
}

// Reads the list again when it is no longer as this editor last read or
// wrote it, and says so in the notice; true when it did. The view may wait
// (showNow false) while its editor is still closing.
bool WordListEditor::catchUp(bool showNow)
{
    const QString name = QFileInfo(listPath()).fileName();
    if (file_.goneElsewhere()) {
        // Read now, it would be an empty list, and her next change its only word.
        outside_ = goneLine(name);
        showNotice();
        return false;
    }
    if (outside_ == goneLine(name)) {
        outside_.clear(); // put back as it was
        showNotice();
    }
    if (!file_.changedElsewhere())
        return false;
    const QStringList seen = words();
    const QString selected = view_->currentWord();
    readList();
    outside_ = outsideLine(name, seen, words());
    if (showNow)
        showWords(int(words().indexOf(selected)));
    showNotice();
    return true;
}

// The window back in front, or the list shown again: it may have been changed meanwhile.
bool WordListEditor::event(QEvent *event)
{
    if ((event->type() == QEvent::WindowActivate || event->type() == QEvent::Show) && !view_->editing())
        catchUp(true);
    return QWidget::event(event);
}

// The line edit claims Ctrl+Z and Ctrl+Y even with nothing of its own to
// take back or do again; then they go to the list's Annulla and Ripeti.
bool WordListEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == newWord_ && event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->matches(QKeySequence::Undo) && !newWord_->isUndoAvailable())
            || (key->matches(QKeySequence::Redo) && !newWord_->isRedoAvailable()))
            return true; // not accepted: the window's shortcut takes it
    }
    return QWidget::eventFilter(watched, event);
}

void WordListEditor::setFolderEditable(bool editable)
{
    folderEditable_ = editable;
    setEditable(editable && file_.readOnlyReason().isEmpty());
}

// A list not read whole is never written: nothing that changes it can be used.
void WordListEditor::setEditable(bool editable)
{
    for (QAction *action : actions())
        action->setEnabled(editable);
    newWord_->setEnabled(editable);
    addButton_->setEnabled(editable);
    view_->setEditTriggers(editable ? QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked
                                    : QAbstractItemView::NoEditTriggers);
    emit editableChanged(editable);
}

void WordListEditor::showNotice()
{
    QStringList lines = file_.notice();
    if (!outside_.isEmpty())
        lines.prepend(outside_);
    notice_->setText(lines.join(u'\n'));
    notice_->setVisible(!lines.isEmpty());
}

void WordListEditor::showWords(int selectRow)
{
    view_->showWords(words(), selectRow);
}

// Makes `edit` to the list as it is on disk now and saves it: a list changed
// elsewhere is read again first, so her change goes on top of the other one.
bool WordListEditor::change(const Edit &edit, bool showNow)
{
    catchUp(showNow);
    if (file_.goneElsewhere()) {
        if (!writeAgainAsked())
            return false;
        outside_.clear();
    }
    if (!file_.readOnlyReason().isEmpty()) {
        emit told(file_.readOnlyReason(), true);
        return false;
    }
    const QStringList before = words();
    const Said said = edit(file_.document());
    if (said.refused || words() == before) {
        emit told(said.text, said.refused);
        return false;
    }
    if (!commit(before, said.text).isEmpty())
        return false;
    if (!said.undo.isEmpty())
        remember(before, said.undo);
    return true;
}

// The list is gone: she says whether it is written again with the words
// shown, or left gone. False when left.
bool WordListEditor::writeAgainAsked()
{
    const QString name = QFileInfo(listPath()).fileName();
    QMessageBox ask(QMessageBox::Question, QStringLiteral("L'elenco non c'è più"),
                    QStringLiteral("%1 non c'è più: è stato spostato o cancellato fuori da ZAMPLI.\n\nVuoi scriverlo "
                                   "di nuovo con le parole che vedi qui (%2) e il tuo cambiamento? Se l'hai spostato "
                                   "apposta, scegli Annulla: l'elenco resta com'è ora.")
                        .arg(name, words().size() == 1 ? QStringLiteral("1 parola")
                                                       : QStringLiteral("%1 parole").arg(words().size())),
                    QMessageBox::NoButton, this);
    ask.setObjectName(QStringLiteral("elencoSparito"));
    QPushButton *again = ask.addButton(QStringLiteral("Scrivi di nuovo %1").arg(name), QMessageBox::AcceptRole);
    ask.setDefaultButton(ask.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole));
    ask.exec();
    if (ask.clickedButton() == again)
        return true;
    emit told(QStringLiteral("Non ho scritto %1: rimettilo al suo posto, se vuoi di nuovo le sue parole.").arg(name),
              false);
    return false;
}

// Saves the list as it is now; on failure shows the list as it is on disk
// and returns what went wrong.
QString WordListEditor::commit(const QStringList &before, const QString &done)
{
    if (const QString error = file_.save(before); !error.isEmpty()) {
        reload();
        emit told(error, true);
        return error;
    }
    showNotice();
    emit told(done, false);
    emit filesChanged();
    return {};
}

void WordListEditor::add()
{
    int at = -1;
    if (change([&](WordListDocument &list) { return addWord(list, newWord_->text(), at); })) {
        // setText, not clear(): the word added is no typing of hers to take back in the field.
        newWord_->setText(QString());
        showWords(at);
    }
}

void WordListEditor::rename(int row, const QString &typed)
{
    const QString old = model_->words().at(row);
    int at = -1;
    bool gone = false;
    change([&](WordListDocument &list) {
        Said said = renameWord(list, old, typed, at);
        gone = at < 0;
        return said;
    }, false);
    if (gone) // her new name is kept for her to add, or not
        newWord_->setText(cleanedWord(typed));
    // After the editor has closed: the view still holds it while this runs.
    if (words() != model_->words())
        QMetaObject::invokeMethod(this, [this, at] { showWords(at); }, Qt::QueuedConnection);
}

void WordListEditor::remove()
{
    const QString word = view_->currentWord();
    int at = -1;
    if (!word.isEmpty() && change([&](WordListDocument &list) { return removeWord(list, word, at); }))
        showWords(at);
}

void WordListEditor::move(int by)
{
    const QString word = view_->currentWord();
    int at = -1;
    if (!word.isEmpty() && change([&](WordListDocument &list) { return moveWord(list, word, by, at); }))
        showWords(at);
}

void WordListEditor::remember(const QStringList &before, const QString &text)
{
    history_.pushWords(text, before, words(),
                       [editor = QPointer<WordListEditor>(this)](const QStringList &from, const QStringList &to,
                                                                 const QString &done) {
                           return editor ? editor->restoreWords(from, to, done)
                                         : Refusal{QStringLiteral("Questo elenco non è più aperto."), true};
                       });
}

// An undo or redo: the list goes from `from` to `to`, saved as any change.
Refusal WordListEditor::restoreWords(const QStringList &from, const QStringList &to, const QString &done)
{
    catchUp(true);
    if (file_.goneElsewhere()) {
        if (!writeAgainAsked())
            return {QStringLiteral("%1 non c'è più e non l'ho scritto di nuovo: questo cambiamento resta da annullare "
                                   "o ripetere quando l'elenco torna al suo posto.")
                        .arg(QFileInfo(listPath()).fileName())};
        outside_.clear();
    }
    if (words() != from)
        return {QStringLiteral("L'elenco %1 è stato cambiato da un altro programma: lo lascio com'è, per non perdere "
                               "le parole che ci sono ora. Questo cambiamento non si può più annullare né ripetere; gli "
                               "altri restano nel menu Modifica.")
                    .arg(QFileInfo(listPath()).fileName()),
                true};
    // The files follow the words from the list shown, which a rename updates only later.
    file_.document().setWords(to);
    if (const QString error = commit(from, done); !error.isEmpty())
        return {error};
    qsizetype changed = 0;
    while (changed < from.size() && changed < to.size() && from[changed] == to[changed])
        ++changed;
    showWords(int(changed));
    return {};
}

void WordListEditor::refreshFiles()
{
    showWords(view_->currentRow());
}

} // namespace zampli::teacher
