// SPDX-License-Identifier: GPL-3.0-or-later
#include "WordsTab.h"

#include "ButtonDelegate.h"
#include "CopyHistory.h"
#include "MediaActions.h"
#include "WordTableModel.h"
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
    addRow->addWidget(new QLabel(QStringLiteral("Parola nuova:")));
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
    OpenedWordList opened = openWordList(listPath());
    document_ = std::move(opened.document);
    listMissing_ = opened.missing;
    readOnly_ = opened.readOnly;
    setEditable(folderEditable_ && readOnly_.isEmpty());
    showWords(0);
    showNotice();
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
    return row < 0 ? QString() : document_.words().at(row);
}

void WordsTab::say(const QString &text, bool problem)
{
    message_->setText(text);
    message_->setStyleSheet(problem ? QStringLiteral("QLabel { color: #b00020; font-weight: bold; }") : QString());
}

// Saves the list as it is now; on failure shows the list as it is on disk.
bool WordsTab::commit(const QString &done)
{
    if (!readOnly_.isEmpty()) {
        reload();
        say(readOnly_, true);
        return false;
    }
    const QStringList before = model_->words();
    const QString path = listPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString error = saveWhole(path, document_.bytes());
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
    const QStringList before = document_.words();
    const QString why = document_.add(newWord_->text());
    if (!why.isEmpty()) {
        say(why, true);
        return;
    }
    const QString word = document_.words().constLast();
    if (commit(QStringLiteral("«%1» aggiunta. Ora dalle un'immagine e una voce.").arg(word))) {
        remember(before, QStringLiteral("aggiungi «%1»").arg(word));
        newWord_->clear();
        showWords(int(document_.words().indexOf(word)));
    }
}

void WordsTab::renameWord(int row, const QString &typed)
{
    const QStringList before = document_.words();
    const QString old = before.at(row);
    const QString why = document_.rename(row, typed);
    if (!why.isEmpty()) {
        say(why, true);
        return;
    }
    const QString now = document_.words().at(row);
    if (now == old || !commit(QStringLiteral("«%1» ora si chiama «%2»; la sua immagine e la sua voce l'hanno seguita.")
                                  .arg(old, now)))
        return;
    remember(before, QStringLiteral("rinomina «%1» in «%2»").arg(old, now));
    // After the editor has closed: the view still holds it while this runs.
    QMetaObject::invokeMethod(this, [this, row] { showWords(row); }, Qt::QueuedConnection);
}

void WordsTab::removeWord()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const QStringList before = document_.words();
    const QString word = before.at(row);
    document_.remove(row);
    if (!commit(QStringLiteral("«%1» tolta dall'elenco (la sua immagine e la sua voce restano nella cartella). "
                               "Ctrl+Z la rimette.").arg(word)))
        return;
    remember(before, QStringLiteral("togli «%1»").arg(word));
    showWords(row);
}

void WordsTab::moveWord(int by)
{
    const int row = currentRow();
    if (row < 0 || row + by < 0 || row + by >= document_.words().size())
        return;
    const QStringList before = document_.words();
    document_.move(row, row + by);
    const QString word = document_.words().at(row + by);
    if (!commit(QStringLiteral("«%1» spostata al posto %2.").arg(word).arg(row + by + 1)))
        return;
    remember(before, QStringLiteral("sposta «%1»").arg(word));
    showWords(row + by);
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
    if (document_.words() != from)
        return {QStringLiteral("L'elenco %1 è stato cambiato da un altro programma: lo lascio com'è, per non perdere "
                               "le parole che ci sono ora. Questo cambiamento non si può più annullare né ripetere; gli "
                               "altri restano nel menu Modifica.")
                    .arg(QFileInfo(listPath()).fileName()),
                true};
    // The files follow the words from the list shown, which a rename updates only later.
    model_->setWords(from);
    document_.setWords(to);
    if (!commit(done))
        return {message_->text()};
    qsizetype changed = 0;
    while (changed < from.size() && changed < to.size() && from[changed] == to[changed])
        ++changed;
    showWords(int(changed));
    return {};
}

void WordsTab::selectWord(const QString &word)
{
    const int row = int(document_.words().indexOf(word));
    if (row >= 0) {
        view_->selectRow(row);
        view_->setFocus();
    }
}

void WordsTab::refreshFiles()
{
    showWords(currentRow());
}

} // namespace zampli::teacher
