// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/CopyTabs.h"

#include "catalog/Vowels.h"
#include "shared/EditableTab.h"
#include "tabs/check/CheckTab.h"
#include "tabs/copies/CopiesTab.h"
#include "tabs/results/ResultsTab.h"
#include "tabs/sounds/SoundsTab.h"
#include "tabs/words/WordsTab.h"

#include <QFileInfo>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zampli::teacher {

// A tab's place in the window, filled the first time it shows (its show
// comes before the tab widget tells of the change, so the focus finds the
// tab's controls) or when something asks for the tab.
class TabPage : public QWidget {
public:
    TabPage(std::function<QWidget *()> make, std::function<void(QWidget *)> made)
        : make_(std::move(make)), made_(std::move(made))
    {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    QWidget *content()
    {
        if (!content_ && make_) {
            content_ = make_();
            layout()->addWidget(content_);
            // Where the tab names the control that takes the focus, the page does too.
            if (content_->focusProxy())
                setFocusProxy(content_);
            if (isVisible())
                content_->show();
            made_(content_);
        }
        return content_;
    }
    // Going with its window: shown on the way out, it stays empty.
    void close() { make_ = nullptr; }
    // Made again from nothing: now when shown, else the next time it shows.
    void remake()
    {
        delete std::exchange(content_, nullptr);
        if (isVisible())
            content();
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        content();
        QWidget::showEvent(event);
    }

private:
    std::function<QWidget *()> make_;
    std::function<void(QWidget *)> made_;
    QWidget *content_ = nullptr;
};

CopyTabs::CopyTabs(TeacherServices &services, const QString &folder, CopyHistory &history, QTabWidget *tabs)
    : tabs_(tabs)
{
    addWordTabs(services, folder, history);
    addPage(QStringLiteral("Vocali e suoni"), [this, &services, &history, folder] {
        sounds_ = new SoundsTab(services, folder, history);
        connect(sounds_, &SoundsTab::filesChanged, this, [this] { refreshAll(sounds_); });
        return sounds_;
    });
    addPage(QStringLiteral("Controllo"), [this, &services, &history, folder] {
        check_ = new CheckTab(services, folder);
        check_->setHistory(&history);
        connect(check_, &CheckTab::filesChanged, this, [this] { refreshAll(check_); });
        connect(check_, &CheckTab::openList, this, &CopyTabs::openList);
        return check_;
    });
    copiesPage_ = addPage(QStringLiteral("Copie"), [this, folder] {
        copies_ = new CopiesTab(folder);
        // Opened later, once this tab is gone with the folder it belonged to.
        connect(copies_, &CopiesTab::openCopy, this, [this](const QString &f) {
            QMetaObject::invokeMethod(this, [this, f] { emit openCopy(f); }, Qt::QueuedConnection);
        });
        return copies_;
    });
    resultsPage_ = addPage(QStringLiteral("Risultati"), [this, folder] {
        results_ = new ResultsTab(folder);
        results_->setObjectName(QStringLiteral("risultati"));
        return results_;
    });
    // The tab shown first is made now, the others when first shown.
    static_cast<TabPage *>(tabs_->currentWidget())->content();
    connect(tabs_, &QTabWidget::currentChanged, this, &CopyTabs::shown);
}

CopyTabs::~CopyTabs()
{
    disconnect(tabs_, nullptr, this, nullptr);
    for (int i = 0; i < tabs_->count(); ++i)
        static_cast<TabPage *>(tabs_->widget(i))->close();
    while (tabs_->count() > 0) {
        QWidget *tab = tabs_->widget(0);
        tabs_->removeTab(0);
        delete tab;
    }
}

TabPage *CopyTabs::addPage(const QString &caption, std::function<QWidget *()> make)
{
    auto *page = new TabPage(std::move(make), [this](QWidget *tab) { made(tab); });
    tabs_->addTab(page, caption);
    return page;
}

// A tab just made takes the folder's state as the others have it.
void CopyTabs::made(QWidget *tab)
{
    if (auto *editable = dynamic_cast<EditableTab *>(tab))
        editable->setFolderEditable(editable_);
}

void CopyTabs::addWordTabs(TeacherServices &services, const QString &folder, CopyHistory &history)
{
    for (const QString &vowel : vowelListNames())
        words_ << addPage(QStringLiteral("Parole con %1").arg(vowel.toUpper()), [this, &services, &history, folder,
                                                                                 vowel] {
            auto *tab = new WordsTab(services, folder, vowel, &history);
            connect(tab, &WordsTab::filesChanged, this, [this, tab] { refreshAll(tab); });
            connect(tab, &WordsTab::importAsked, this, &CopyTabs::importAsked);
            wordsMade_ << tab;
            return tab;
        });
}

void CopyTabs::shown(int index)
{
    if (check_ && tabs_->widget(index) == check_->parentWidget())
        check_->runCheck();
    // The child's program may have written since: read again on each visit.
    if (results_ && tabs_->widget(index) == results_->parentWidget())
        results_->refresh();
}

void CopyTabs::renewResults()
{
    // One not made yet is made afresh when first shown.
    if (std::exchange(results_, nullptr))
        resultsPage_->remake();
}

void CopyTabs::setEditable(bool editable)
{
    editable_ = editable;
    for (int i = 0; i < tabs_->count(); ++i)
        if (auto *tab = dynamic_cast<EditableTab *>(tabs_->widget(i)->findChild<QWidget *>(
                QString(), Qt::FindDirectChildrenOnly)))
            tab->setFolderEditable(editable);
}

void CopyTabs::refreshAll(const QObject *changed)
{
    for (WordsTab *tab : std::as_const(wordsMade_))
        if (tab != changed)
            tab->refreshFiles();
    if (sounds_ && sounds_ != changed)
        sounds_->refreshFiles();
}

void CopyTabs::reloadWords()
{
    for (WordsTab *tab : std::as_const(wordsMade_))
        tab->reload();
}

CopiesTab *CopyTabs::copiesTab()
{
    copiesPage_->content();
    return copies_;
}

void CopyTabs::openList(const QString &file)
{
    const qsizetype at = vowelListNames().indexOf(QFileInfo(file).completeBaseName().toLower());
    if (at >= 0)
        tabs_->setCurrentWidget(words_.at(at));
}

} // namespace zampli::teacher
