// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/WordsTab.h"

#include "history/CopyHistory.h"
#include "pictures-voices/MediaActions.h"
#include "shared/TeacherServices.h"
#include "tabs/words/WordListEditor.h"
#include "tabs/words/WordMediaPanel.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace zampli::teacher {

WordsTab::WordsTab(TeacherServices &services, const QString &folder, const QString &vowel, CopyHistory *history,
                   QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("parole_%1").arg(vowel));
    const MediaPaths paths(folder);
    CopyHistory &copy = historyFor(folder, history);
    editor_ = new WordListEditor(services.player, paths, vowel, copy);
    media_ = new WordMediaPanel(services, paths, copy, editor_->table());
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("messaggio"));
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(editor_, 1);
    layout->addWidget(media_);
    layout->addWidget(message_);
    // Each command's keys work wherever the focus is in the tab.
    addActions(editor_->actions());
    addActions(media_->actions());
    connect(editor_, &WordListEditor::told, this, &WordsTab::say);
    connect(media_, &WordMediaPanel::told, this, &WordsTab::say);
    connect(editor_, &WordListEditor::editableChanged, media_, &WordMediaPanel::setEditable);
    connect(editor_, &WordListEditor::filesChanged, this, &WordsTab::filesChanged);
    connect(media_, &WordMediaPanel::filesChanged, this, &WordsTab::filesChanged);
    connect(editor_, &WordListEditor::importAsked, this, &WordsTab::importAsked);
    media_->setEditable(readOnlyReason().isEmpty());
    setFocusProxy(editor_);
}

WordsTab::~WordsTab() = default;

// A tab of its own keeps its own history, its Annulla and Ripeti on the tab.
CopyHistory &WordsTab::historyFor(const QString &folder, CopyHistory *history)
{
    if (history)
        return *history;
    history = new CopyHistory(folder, this);
    history->attachTo(this);
    connect(history, &CopyHistory::refused, this, [this](const QString &why) { say(why, true); });
    connect(history, &CopyHistory::stepped, this, [this](const QString &said) {
        refreshFiles();
        say(said);
    });
    return *history;
}

// Shown for the first time, the words rather than the field for a new one
// (the first control) take the focus.
bool WordsTab::event(QEvent *event)
{
    if (event->type() == QEvent::Show && !focusWidget())
        editor_->setFocus();
    return QWidget::event(event);
}

void WordsTab::setFolderEditable(bool editable)
{
    editor_->setFolderEditable(editable);
}

void WordsTab::reload()
{
    editor_->reload();
}

const QString &WordsTab::readOnlyReason() const
{
    return editor_->readOnlyReason();
}

void WordsTab::refreshFiles()
{
    editor_->refreshFiles();
}

void WordsTab::say(const QString &text, bool problem)
{
    message_->setText(text);
    message_->setStyleSheet(problem ? QStringLiteral("QLabel { color: #b00020; font-weight: bold; }") : QString());
}

} // namespace zampli::teacher
