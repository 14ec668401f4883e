// SPDX-License-Identifier: GPL-3.0-or-later
#include "CopyTabs.h"

#include "CheckTab.h"
#include "CopiesTab.h"
#include "EditableTab.h"
#include "ResultsTab.h"
#include "SoundsTab.h"
#include "WordsTab.h"
#include "catalog/Vowels.h"

#include <QFileInfo>
#include <QTabWidget>

namespace zampli::teacher {

CopyTabs::CopyTabs(TeacherServices &services, const QString &folder, CopyHistory &history, QTabWidget *tabs)
    : folder_(folder), tabs_(tabs)
{
    addWordTabs(services, folder, history);
    sounds_ = new SoundsTab(services, folder, history);
    connect(sounds_, &SoundsTab::filesChanged, this, [this] { refreshAll(sounds_); });
    tabs_->addTab(sounds_, QStringLiteral("Vocali e suoni"));
    check_ = new CheckTab(services, folder);
    check_->setHistory(&history);
    connect(check_, &CheckTab::filesChanged, this, [this] { refreshAll(check_); });
    connect(check_, &CheckTab::openList, this, &CopyTabs::openList);
    tabs_->addTab(check_, QStringLiteral("Controllo"));
    copies_ = new CopiesTab(folder);
    // Opened later, once this tab is gone with the folder it belonged to.
    connect(copies_, &CopiesTab::openCopy, this, [this](const QString &f) {
        QMetaObject::invokeMethod(this, [this, f] { emit openCopy(f); }, Qt::QueuedConnection);
    });
    tabs_->addTab(copies_, QStringLiteral("Copie"));
    results_ = new ResultsTab(folder);
    results_->setObjectName(QStringLiteral("risultati"));
    tabs_->addTab(results_, QStringLiteral("Risultati"));
    connect(tabs_, &QTabWidget::currentChanged, this, &CopyTabs::shown);
}

CopyTabs::~CopyTabs()
{
    while (tabs_->count() > 0) {
        QWidget *tab = tabs_->widget(0);
        tabs_->removeTab(0);
        delete tab;
    }
}

void CopyTabs::addWordTabs(TeacherServices &services, const QString &folder, CopyHistory &history)
{
    for (const QString &vowel : vowelListNames()) {
        auto *tab = new WordsTab(services, folder, vowel, &history);
        connect(tab, &WordsTab::filesChanged, this, [this, tab] { refreshAll(tab); });
        connect(tab, &WordsTab::importAsked, this, &CopyTabs::importAsked);
        tabs_->addTab(tab, QStringLiteral("Parole con %1").arg(vowel.toUpper()));
        words_ << tab;
    }
}

void CopyTabs::shown(int index)
{
    if (tabs_->widget(index) == check_)
        check_->runCheck();
    // The child's program may have written since: read again on each visit.
    if (tabs_->widget(index) == results_)
        results_->refresh();
}

void CopyTabs::renewResults()
{
    const int at = tabs_->indexOf(results_);
    const bool current = tabs_->currentIndex() == at;
    auto *fresh = new ResultsTab(folder_);
    fresh->setObjectName(QStringLiteral("risultati"));
    tabs_->insertTab(at, fresh, QStringLiteral("Risultati"));
    tabs_->removeTab(at + 1);
    delete std::exchange(results_, fresh);
    if (current)
        tabs_->setCurrentIndex(at);
}

void CopyTabs::setEditable(bool editable)
{
    for (int i = 0; i < tabs_->count(); ++i)
        if (auto *tab = dynamic_cast<EditableTab *>(tabs_->widget(i)))
            tab->setFolderEditable(editable);
}

void CopyTabs::refreshAll(const QObject *changed)
{
    for (WordsTab *tab : std::as_const(words_))
        if (tab != changed)
            tab->refreshFiles();
    if (sounds_ != changed)
        sounds_->refreshFiles();
}

void CopyTabs::reloadWords()
{
    for (WordsTab *tab : std::as_const(words_))
        tab->reload();
}

void CopyTabs::openList(const QString &file)
{
    const qsizetype at = vowelListNames().indexOf(QFileInfo(file).completeBaseName().toLower());
    if (at >= 0)
        tabs_->setCurrentWidget(words_.at(at));
}

} // namespace zampli::teacher
