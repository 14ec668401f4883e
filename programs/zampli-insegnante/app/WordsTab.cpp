// SPDX-License-Identifier: GPL-3.0-or-later
#include "WordsTab.h"

#include "ButtonDelegate.h"
#include "CopyHistory.h"
#include "MediaActions.h"
#include "WordTableModel.h"
#include "WordRules.h"
#include "media/FileNames.h"
#include "media/SoundPlayer.h"
#include "wordlist/WordList.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace zampli::teacher {

namespace {

QLabel *wrappingLabel(const QString &name)
{
    auto *label = new QLabel;
    label->setWordWrap(true);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A word renamed (or a rename taken back) takes its files along, unless the
// new name has files of its own already.
void moveFiles(const MediaPaths &paths, const QStringList &before, const QStringList &after)
{
    if (before.size() != after.size())
        return;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before[i] == after[i])
            continue;
        for (const auto &name : {&MediaPaths::wordPicture, &MediaPaths::voice}) {
            const QString from = existingFile((paths.*name)(before[i])), to = (paths.*name)(after[i]);
            if (QFileInfo(from).isFile() && !QFileInfo::exists(existingFile(to)))
                QFile::rename(from, to);
        }
    }
}

// How many words, singular or plural: "1 parola nuova", "2 parole tolte".
QString wordCount(qsizetype n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

// The words of `words` missing from `other`, quoted, at most five of them.
QString missingFrom(const QStringList &words, const QStringList &other, qsizetype &count)
{
    QStringList missing;
    for (const QString &w : words)
        if (!other.contains(w))
            missing << QStringLiteral("«%1»").arg(w);
    count = missing.size();
    if (missing.size() > 5)
        missing = missing.mid(0, 5) << QStringLiteral("…");
    return missing.join(QStringLiteral(", "));
}

// One line that tells the teacher her list was read again, and what came and went.
QString outsideLine(const QString &file, const QStringList &before, const QStringList &after)
{
    qsizetype added = 0, gone = 0;
    const QString newWords = missingFrom(after, before, added), oldWords = missingFrom(before, after, gone);
    QStringList what;
    if (added)
        what << wordCount(added, "parola nuova", "parole nuove") + QStringLiteral(": ") + newWords;
    if (gone)
        what << wordCount(gone, "parola tolta", "parole tolte") + QStringLiteral(": ") + oldWords;
    const QString line = QStringLiteral("%1 è stato cambiato fuori da ZAMPLI: ho ricaricato l'elenco").arg(file);
    return what.isEmpty() ? line + u'.' : QStringLiteral("%1 (%2).").arg(line, what.join(QStringLiteral("; ")));
}

} // namespace

WordsTab::WordsTab(TeacherServices &services, const QString &folder, const QString &vowel, CopyHistory *history,
                   QWidget *parent)
    : QWidget(parent), services_(services), paths_(folder), history_(history), vowel_(vowel)
{
    if (!history_) {
        history_ = new CopyHistory(folder, this);
        history_->attachTo(this);
        connect(history_, &CopyHistory::refused, this, [this](const QString &why) { say(why, true); });
        connect(history_, &CopyHistory::stepped, this, [this](const QString &said) {
            refreshFiles();
            say(said);
        });
    }
    setObjectName(QStringLiteral("parole_%1").arg(vowel));
    auto *layout = new QVBoxLayout(this);
    notice_ = wrappingLabel(QStringLiteral("avviso"));
    notice_->setStyleSheet(QStringLiteral("QLabel { background: #fff4c2; padding: 6px; }"));
    layout->addWidget(notice_);
    auto *addRow = new QHBoxLayout;
    newWord_ = new QLineEdit;
    newWord_->setObjectName(QStringLiteral("nuovaParola"));
    newWord_->setPlaceholderText(QStringLiteral("Scrivi una parola nuova che comincia con %1 e premi Invio")
                                     .arg(vowel.toUpper()));
    auto *addButton = new QPushButton(QStringLiteral("&Aggiungi"));
    addButton->setObjectName(QStringLiteral("aggiungi"));
    addButton_ = addButton;
    auto *newLabel = new QLabel(QStringLiteral("&Parola nuova:"));
    newLabel->setBuddy(newWord_);
    addRow->addWidget(newLabel);
    addRow->addWidget(newWord_, 1);
    addRow->addWidget(addButton);
    layout->addLayout(addRow);
    connect(newWord_, &QLineEdit::returnPressed, this, &WordsTab::addWord);
    connect(addButton, &QPushButton::clicked, this, &WordsTab::addWord);

    buildTable();
    layout->addWidget(view_, 1);
    buildActions();
    message_ = wrappingLabel(QStringLiteral("messaggio"));
    layout->addWidget(message_);
    reload();
}

// A word still being renamed is committed when the view hides, which
// happens here after this tab's own parts are gone: it is dropped instead.
WordsTab::~WordsTab()
{
    disconnect(model_, nullptr, this, nullptr);
}

void WordsTab::buildTable()
{
    model_ = new WordTableModel(paths_, this);
    connect(model_, &WordTableModel::renameAsked, this, &WordsTab::renameWord);
    view_ = new QTableView;
    view_->setObjectName(QStringLiteral("elenco"));
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setIconSize(WordTableModel::kThumbnail);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(WordTableModel::kThumbnail.height() + 6);
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setColumnWidth(WordTableModel::Number, 40);
    view_->setColumnWidth(WordTableModel::Picture, WordTableModel::kThumbnail.width() + 12);
    view_->setColumnWidth(WordTableModel::Word, 200);
    view_->setColumnWidth(WordTableModel::Voice, 110);
    view_->viewport()->setAcceptDrops(true);
    view_->viewport()->installEventFilter(this);
    auto *listenButtons = new ButtonDelegate(view_);
    view_->setItemDelegateForColumn(WordTableModel::Voice, listenButtons);
    connect(listenButtons, &ButtonDelegate::clicked, this, &WordsTab::listen);
    // Space on any cell of a row, as on its "Ascolta": listening changes nothing, so even a read-only list may.
    auto *listenKey = new QAction(QStringLiteral("Ascolta la voce"), view_);
    listenKey->setObjectName(QStringLiteral("ascolta"));
    listenKey->setShortcut(QKeySequence(Qt::Key_Space));
    listenKey->setShortcutContext(Qt::WidgetShortcut);
    view_->addAction(listenKey);
    connect(listenKey, &QAction::triggered, this, &WordsTab::listenSelected);
    // The tab takes the focus for its table: a change of tab puts her on the words.
    setFocusProxy(view_);
}

void WordsTab::listenSelected()
{
    const int row = currentRow();
    if (row < 0)
        return say(QStringLiteral("Prima scegli una parola dell'elenco."), true);
    if (!model_->voiceReady(row))
        return say(QStringLiteral("«%1» non ha ancora una voce: registrala con Ctrl+R o importala con Ctrl+Maiusc+I.")
                       .arg(model_->words().at(row)), true);
    listen(model_->index(row, WordTableModel::Voice));
}

void WordsTab::listen(const QModelIndex &index)
{
    services_.player.play(existingFile(paths_.voice(model_->words().at(index.row()))));
}

void WordsTab::buildActions()
{
    struct Item {
        const char *name;
        QString text;
        QKeySequence keys;
        void (WordsTab::*slot)();
    };
    const Item list[] = {
        {"rinomina", QStringLiteral("Rino&mina"), QKeySequence(Qt::Key_F2), nullptr},
        {"rimuovi", QStringLiteral("Ri&muovi"), QKeySequence::Delete, &WordsTab::removeWord},
        {"su", QStringLiteral("▲ Su"), QKeySequence(Qt::CTRL | Qt::Key_Up), nullptr},
        {"giu", QStringLiteral("▼ Giù"), QKeySequence(Qt::CTRL | Qt::Key_Down), nullptr},
        {"importaImmagine", QStringLiteral("&Importa un'immagine…"), QKeySequence(Qt::CTRL | Qt::Key_I), &WordsTab::importPicture},
        {"incollaImmagine", QStringLiteral("I&ncolla un'immagine"), QKeySequence::Paste, &WordsTab::pastePicture},
        {"registraVoce", QStringLiteral("&Registra la voce…"), QKeySequence(Qt::CTRL | Qt::Key_R), &WordsTab::recordVoice},
        {"importaVoce", QStringLiteral("Importa una &voce…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I), &WordsTab::importVoice},
        {"togliImmagine", QStringLiteral("&Togli l'immagine"), QKeySequence(), &WordsTab::removePicture},
        {"togliVoce", QStringLiteral("Togli la v&oce"), QKeySequence(), &WordsTab::removeVoice},
        {"importaParole", QStringLiteral("Importa paro&le…"), QKeySequence(), &WordsTab::importAsked},
    };
    auto *rows = new QVBoxLayout;
    QHBoxLayout *row = nullptr;
    int n = 0;
    for (const Item &item : list) {
        if (n++ % 5 == 0) {
            if (row)
                row->addStretch();
            rows->addLayout(row = new QHBoxLayout);
        }
        auto *action = new QAction(item.text, this);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(item.keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const QString plain = QString(item.text).remove(u'&');
        action->setToolTip(item.keys.isEmpty() ? plain
                                               : QStringLiteral("%1 (%2)").arg(plain, item.keys.toString(QKeySequence::NativeText)));
        addAction(action);
        auto *button = new QToolButton;
        button->setDefaultAction(action);
        button->setObjectName(QString::fromLatin1(item.name));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        row->addWidget(button);
        if (item.slot)
            connect(action, &QAction::triggered, this, item.slot);
    }
    // The copy's own Annulla and Ripeti, named after the change they take back or do again.
    for (QAction *action : {history_->undoAction(), history_->redoAction()}) {
        auto *button = new QToolButton;
        button->setDefaultAction(action);
        button->setObjectName(action->objectName());
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        row->addWidget(button);
    }
    row->addStretch();
    static_cast<QVBoxLayout *>(layout())->addLayout(rows);
    connectMoves();
}

void WordsTab::connectMoves()
{
    connect(findChild<QAction *>(QStringLiteral("rinomina")), &QAction::triggered, this, [this] {
        if (currentRow() >= 0)
            view_->edit(model_->index(currentRow(), WordTableModel::Word));
    });
    connect(findChild<QAction *>(QStringLiteral("su")), &QAction::triggered, this, [this] { moveWord(-1); });
    connect(findChild<QAction *>(QStringLiteral("giu")), &QAction::triggered, this, [this] { moveWord(1); });
}

QString WordsTab::listPath() const
{
    return existingFile(paths_.wordList(vowel_.toUpper()));
}

void WordsTab::reload()
{
    readList();
    showWords(0);
    showNotice();
}

void WordsTab::readList()
{
    OpenedWordList opened = openWordList(listPath());
    document_ = std::move(opened.document);
    document_.requireInitial(vowel_.front());
    listMissing_ = opened.missing;
    readOnly_ = opened.readOnly;
    stamp_ = opened.stamp;
    setEditable(folderEditable_ && readOnly_.isEmpty());
}

// Reads the list again when it is no longer as this tab last read or wrote
// it, and says so in the notice; true when it did. The view may wait
// (showNow false) while its editor is still closing.
bool WordsTab::catchUp(bool showNow)
{
    if (stampOf(listPath()) == stamp_)
        return false;
    const QStringList seen = document_.words();
    const QString selected = currentWord();
    readList();
    outside_ = outsideLine(QFileInfo(listPath()).fileName(), seen, document_.words());
    if (showNow)
        showWords(int(document_.words().indexOf(selected)));
    showNotice();
    return true;
}

// A word is being renamed in place: its editor is a child of the viewport.
bool WordsTab::editing() const
{
    const QList<QWidget *> editors = view_->viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    return std::any_of(editors.cbegin(), editors.cend(), [](const QWidget *w) { return w->isVisible(); });
}

// The window back in front, or this tab shown again: the list may have been changed meanwhile.
bool WordsTab::event(QEvent *event)
{
    // Shown for the first time, the words rather than the field for a new one
    // (the first control) take the focus.
    if (event->type() == QEvent::Show && !focusWidget())
        view_->setFocus();
    if ((event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        && !editing())
        catchUp(true);
    return QWidget::event(event);
}

// A list not read whole is never written: nothing that changes it can be used.
void WordsTab::setEditable(bool editable)
{
    // The history's actions are enabled by what it holds.
    for (QAction *action : actions())
        if (action->parent() == this)
            action->setEnabled(editable);
    newWord_->setEnabled(editable);
    addButton_->setEnabled(editable);
    view_->setEditTriggers(editable ? QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked
                                    : QAbstractItemView::NoEditTriggers);
}

void WordsTab::showNotice()
{
    QStringList lines;
    if (!outside_.isEmpty())
        lines << outside_;
    if (!readOnly_.isEmpty())
        lines << readOnly_;
    if (listMissing_)
        lines << QStringLiteral("L'elenco %1 non c'è ancora: aggiungi una parola e verrà creato.")
                     .arg(QFileInfo(listPath()).fileName());
    if (document_.mixed())
        lines << QStringLiteral("Questo elenco mescolava due codifiche di testo (le lettere accentate di alcune righe "
                                "si leggevano male): ogni riga è stata letta a parte. Al primo cambiamento "
                                "l'elenco viene salvato pulito.");
    if (!document_.refused().isEmpty())
        lines << QStringLiteral("Queste righe non sono parole che il programma può usare e non verranno salvate: %1")
                     .arg(document_.refused().join(QStringLiteral(", ")));
    if (document_.words().size() > WordList::kMaxWords)
        lines << QStringLiteral("Il programma usa solo le prime %1 parole: sposta in alto quelle che vuoi usare.")
                     .arg(WordList::kMaxWords);
    notice_->setText(lines.join(u'\n'));
    notice_->setVisible(!lines.isEmpty());
}

void WordsTab::showWords(int selectRow)
{
    model_->setWords(document_.words());
    if (model_->rowCount() > 0)
        view_->selectRow(std::clamp(selectRow, 0, model_->rowCount() - 1));
}

int WordsTab::currentRow() const
{
    const QModelIndexList rows = view_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString WordsTab::currentWord() const
{
    const int row = currentRow();
    return row < 0 ? QString() : model_->words().at(row);
}

void WordsTab::say(const QString &text, bool problem)
{
    message_->setText(text);
    message_->setStyleSheet(problem ? QStringLiteral("QLabel { color: #b00020; font-weight: bold; }") : QString());
}

// Makes `edit` to the list as it is on disk now and saves it: a list changed
// elsewhere is read again first, so her change goes on top of the other one.
bool WordsTab::change(const Edit &edit, bool showNow)
{
    catchUp(showNow);
    if (!readOnly_.isEmpty()) {
        say(readOnly_, true);
        return false;
    }
    const QStringList before = document_.words();
    const Said said = edit(document_);
    if (!said.refused && document_.words() != before) {
        if (!commit(before, said.text))
            return false;
        if (!said.undo.isEmpty())
            remember(before, said.undo);
        return true;
    }
    say(said.text, said.refused);
    return false;
}

// Saves the list as it is now; on failure shows the list as it is on disk.
bool WordsTab::commit(const QStringList &before, const QString &done)
{
    const QString path = listPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString error = saveWhole(path, document_.bytes(), &stamp_);
    if (!error.isEmpty()) {
        reload();
        say(error, true);
        return false;
    }
    moveFiles(paths_, before, document_.words());
    listMissing_ = false;
    showNotice();
    say(done);
    emit filesChanged();
    return true;
}

void WordsTab::addWord()
{
    QString added;
    const bool done = change([&](WordListDocument &list) -> Said {
        if (const QString why = list.add(newWord_->text()); !why.isEmpty())
            return {why, true};
        added = list.words().constLast();
        return {QStringLiteral("«%1» aggiunta. Ora dalle un'immagine e una voce.").arg(added), false,
                QStringLiteral("aggiungi «%1»").arg(added)};
    });
    if (done) {
        newWord_->clear();
        showWords(int(document_.words().indexOf(added)));
    }
}

// The word she saw at `row`, found by its name in the list as it is now.
void WordsTab::renameWord(int row, const QString &typed)
{
    const QString old = model_->words().at(row);
    int at = -1;
    change([&](WordListDocument &list) -> Said {
        at = int(list.words().indexOf(old));
        if (at < 0) {
            // Her new name is kept for her to add, or not.
            newWord_->setText(cleanedWord(typed));
            return {QStringLiteral("«%1» non c'è più nell'elenco, è stata tolta fuori da ZAMPLI: se vuoi «%2» come "
                                   "parola nuova, premi Aggiungi.").arg(old, cleanedWord(typed)), true};
        }
        if (const QString why = list.rename(at, typed); !why.isEmpty())
            return {why, true};
        return {QStringLiteral("«%1» ora si chiama «%2»; la sua immagine e la sua voce l'hanno seguita.")
                    .arg(old, list.words().at(at)),
                false, QStringLiteral("rinomina «%1» in «%2»").arg(old, list.words().at(at))};
    }, false);
    // After the editor has closed: the view still holds it while this runs.
    if (document_.words() != model_->words())
        QMetaObject::invokeMethod(this, [this, at] { showWords(at); }, Qt::QueuedConnection);
}

void WordsTab::removeWord()
{
    const QString word = currentWord();
    if (word.isEmpty())
        return;
    int at = -1;
    if (change([&](WordListDocument &list) -> Said {
            at = int(list.words().indexOf(word));
            if (at < 0)
                return {QStringLiteral("«%1» era già stata tolta fuori da ZAMPLI.").arg(word)};
            list.remove(at);
            return {QStringLiteral("«%1» tolta dall'elenco (la sua immagine e la sua voce restano nella cartella). "
                                   "Ctrl+Z la rimette.").arg(word),
                    false, QStringLiteral("togli «%1»").arg(word)};
        }))
        showWords(at);
}

void WordsTab::moveWord(int by)
{
    const QString word = currentWord();
    if (word.isEmpty())
        return;
    int to = -1;
    if (change([&](WordListDocument &list) -> Said {
            const int at = int(list.words().indexOf(word));
            if (at < 0)
                return {QStringLiteral("«%1» non c'è più nell'elenco: è stata tolta fuori da ZAMPLI.").arg(word), true};
            to = at + by;
            if (to < 0 || to >= list.words().size())
                return {QStringLiteral("«%1» è già %2.").arg(word, by < 0 ? QStringLiteral("la prima")
                                                                           : QStringLiteral("l'ultima"))};
            list.move(at, to);
            return {QStringLiteral("«%1» spostata al posto %2.").arg(word).arg(to + 1), false,
                    QStringLiteral("sposta «%1»").arg(word)};
        }))
        showWords(to);
}

void WordsTab::remember(const QStringList &before, const QString &text)
{
    history_->pushWords(text, before, document_.words(),
                        [tab = QPointer<WordsTab>(this)](const QStringList &from, const QStringList &to, const QString &done) {
                            return tab ? tab->restoreWords(from, to, done)
                                       : Refusal{QStringLiteral("Questo elenco non è più aperto."), true};
                        });
}

// An undo or redo: the list goes from `from` to `to`, saved as any change.
Refusal WordsTab::restoreWords(const QStringList &from, const QStringList &to, const QString &done)
{
    catchUp(true);
    if (document_.words() != from)
        return {QStringLiteral("L'elenco %1 è stato cambiato da un altro programma: lo lascio com'è, per non perdere "
                               "le parole che ci sono ora. Questo cambiamento non si può più annullare né ripetere; gli "
                               "altri restano nel menu Modifica.")
                    .arg(QFileInfo(listPath()).fileName()),
                true};
    // The files follow the words from the list shown, which a rename updates only later.
    document_.setWords(to);
    if (!commit(from, done))
        return {message_->text()};
    qsizetype changed = 0;
    while (changed < from.size() && changed < to.size() && from[changed] == to[changed])
        ++changed;
    showWords(int(changed));
    return {};
}

void WordsTab::refreshFiles()
{
    showWords(currentRow());
}

} // namespace zampli::teacher
