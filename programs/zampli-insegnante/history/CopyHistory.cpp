// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/CopyHistory.h"

#include "safefile/SystemError.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QWidget>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <unistd.h>
#include <utility>

namespace zampli::teacher {

namespace {

// A second name for the file's content, which the save about to come leaves
// alone (it renames a new file into place); a copy where links cannot be made.
bool keepCopy(const QString &target, const QString &aside)
{
    return ::link(QFile::encodeName(target).constData(), QFile::encodeName(aside).constData()) == 0
           || QFile::copy(target, aside);
}

QString escapedMnemonic(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

} // namespace

PendingChange::~PendingChange()
{
    if (!before.aside.isEmpty())
        QFile::remove(before.aside);
}

CopyHistory::CopyHistory(const QString &folder, QObject *parent) : QObject(parent), folder_(folder)
{
    own_ = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(QRandomGenerator::system()->generate(), 8,
                                                                                 16, QLatin1Char('0'));
    removeLeftovers();
    undo_ = new QAction(this);
    undo_->setObjectName(QStringLiteral("annulla"));
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = new QAction(this);
    redo_->setObjectName(QStringLiteral("ripeti"));
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(undo_, &QAction::triggered, this, &CopyHistory::undo);
    connect(redo_, &QAction::triggered, this, &CopyHistory::redo);
    connect(&stack_, &QUndoStack::indexChanged, this, &CopyHistory::showActions);
    showActions();
}

CopyHistory::~CopyHistory()
{
    delete group_;
    clear();
}

// Qt's text fields take these keys first (they accept the shortcut's
// override), so the teacher's typing is taken back there, never the list.
void CopyHistory::attachTo(QWidget *window)
{
    window->addAction(undo_);
    window->addAction(redo_);
}

void CopyHistory::showActions()
{
    const auto show = [](QAction *action, bool can, const QString &verb, const QString &what) {
        action->setEnabled(can);
        action->setText(can ? QStringLiteral("%1: %2").arg(verb, escapedMnemonic(what)) : verb);
        action->setIconText(verb);
        action->setToolTip(QStringLiteral("%1 (%2)").arg(can ? QStringLiteral("%1: %2").arg(verb, what) : verb,
                                                         action->shortcut().toString(QKeySequence::NativeText)));
    };
    show(undo_, stack_.canUndo(), QStringLiteral("Annulla"), stack_.undoText());
    show(redo_, stack_.canRedo(), QStringLiteral("Ripeti"), stack_.redoText());
}

void CopyHistory::dropGroup()
{
    const std::unique_ptr<GroupChange> group(std::exchange(group_, nullptr));
    if (!group)
        return;
    // Its parts are done already: this first step only readies each one's undo.
    group->redo();
    group->undo();
}

void CopyHistory::undo()
{
    step(true);
}

void CopyHistory::redo()
{
    step(false);
}

void CopyHistory::step(bool back)
{
    if (!(back ? stack_.canUndo() : stack_.canRedo()))
        return;
    const QString text = back ? stack_.undoText() : stack_.redoText();
    refusal_ = {};
    back ? stack_.undo() : stack_.redo();
    if (refusal_.why.isEmpty()) {
        emit stepped(QStringLiteral("%1: %2.").arg(back ? QStringLiteral("Annullato") : QStringLiteral("Ripetuto"), text));
        return;
    }
    // The change goes back where it was, to be tried again; one that can
    // never be done again has left the history.
    if (!refusal_.lasting)
        back ? stack_.redo() : stack_.undo();
    showActions();
    emit refused(refusal_.why);
}

QString CopyHistory::write(const QString &target, const QString &what, const std::function<QString()> &write)
{
    QString problem;
    const std::shared_ptr<PendingChange> pending = begin(target, what, &problem);
    if (!pending)
        return problem;
    const QString error = write();
    if (error.isEmpty())
        finish(pending);
    return error;
}

std::shared_ptr<PendingChange> CopyHistory::begin(const QString &target, const QString &what, QString *problem)
{
    auto pending = std::make_shared<PendingChange>();
    pending->target = target;
    pending->what = what;
    const QByteArray hash = fingerprint(target);
    if (hash.isEmpty())
        return pending; // a new file: nothing to keep
    pending->before = {asideName(target), hash};
    if (keepCopy(target, pending->before.aside))
        return pending;
    pending->before = {};
    *problem = QStringLiteral("%1 non è cambiato: non ho potuto tenerne da parte la versione di adesso, per poterla "
                              "rimettere con Annulla. Libera un po' di spazio sul disco e riprova.")
                   .arg(shownName(target));
    return {};
}

void CopyHistory::finish(const std::shared_ptr<PendingChange> &pending)
{
    FileVersion after{{}, fingerprint(pending->target)};
    if (after.hash == pending->before.hash)
        return; // the same bytes again: nothing to take back
    if (after.present())
        after.aside = asideName(pending->target);
    const QString verb = !after.present()            ? QStringLiteral("togli")
                         : pending->before.present() ? QStringLiteral("sostituisci")
                                                     : QStringLiteral("aggiungi");
    auto *change = new FileChange(refusal_, verb + u' ' + pending->what, pending->target, shownName(pending->target),
                                  std::exchange(pending->before, {}), after, group_);
    if (!group_)
        stack_.push(change);
}

void CopyHistory::beginGroup(const QString &text, const std::function<void()> &changed)
{
    endGroup();
    group_ = new GroupChange(text, changed);
}

void CopyHistory::endGroup()
{
    if (!group_)
        return;
    GroupChange *group = std::exchange(group_, nullptr);
    if (group->childCount() == 0)
        delete group;
    else
        stack_.push(group);
}

QString CopyHistory::remove(const QString &target, const QString &what)
{
    const FileVersion before{asideName(target), fingerprint(target)};
    if (!before.present())
        return {};
    errno = 0;
    if (std::rename(QFile::encodeName(target).constData(), QFile::encodeName(before.aside).constData()) != 0)
        return QStringLiteral("%1 non è stato tolto (%2): controlla di poter scrivere nella sua cartella, poi riprova.")
            .arg(shownName(target), systemErrorText(errno));
    stack_.push(new FileChange(refusal_, QStringLiteral("togli ") + what, target, shownName(target), before, {}));
    return {};
}

void CopyHistory::pushWords(const QString &text, const QStringList &before, const QStringList &after,
                            const WordsChange::Apply &apply)
{
    stack_.push(new WordsChange(refusal_, text, before, after, apply));
}

void CopyHistory::clear()
{
    stack_.clear();
    removeAsideFolder();
}

QString CopyHistory::asideName(const QString &target)
{
    return QStringLiteral("%1/%2-%3").arg(ownAsideFolder()).arg(++kept_).arg(QFileInfo(target).fileName());
}

// The lock before the folder: a start never sees this window's folder without it.
QString CopyHistory::ownAsideFolder()
{
    const QDir all(QDir(folder_).filePath(kAsideFolder));
    if (!lock_ || !lock_->isLocked()) {
        QDir().mkpath(all.path());
        lock_ = std::make_unique<QLockFile>(all.filePath(own_ + QStringLiteral(".lock")));
        lock_->setStaleLockTime(0); // only a window gone leaves a stale lock, never its age
        lock_->tryLock(0); // unlocked, its files last only until the next start
    }
    const QString mine = all.filePath(own_);
    QDir().mkpath(mine);
    return mine;
}

QString CopyHistory::shownName(const QString &target) const
{
    return QDir(folder_).relativeFilePath(target);
}

// What a window gone left: no change of it can be taken back now. A folder
// whose lock can be taken is one; a link in the place of any is removed,
// never followed.
void CopyHistory::removeLeftovers()
{
    if (folder_.isEmpty())
        return;
    const QString path = QDir(folder_).filePath(kAsideFolder);
    const QFileInfo info(path);
    if (info.isSymLink())
        QFile::remove(path);
    if (info.isSymLink() || !info.isDir())
        return;
    const QDir all(path);
    const QString lockEnd = QStringLiteral(".lock");
    for (const QFileInfo &entry :
         all.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString name = entry.fileName();
        const bool isLock = name.endsWith(lockEnd);
        if (isLock && all.exists(name.chopped(lockEnd.size())))
            continue; // taken with its folder
        QLockFile owner(isLock ? entry.filePath() : all.filePath(name + lockEnd));
        owner.setStaleLockTime(0);
        if (!owner.tryLock(0))
            continue; // a window still open keeps its files
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else if (!isLock)
            QFile::remove(entry.filePath());
    } // each lock taken goes as `owner` does
    all.rmdir(path); // only when empty
}

void CopyHistory::removeAsideFolder()
{
    if (!lock_)
        return;
    const QDir all(QDir(folder_).filePath(kAsideFolder));
    const QFileInfo mine(all.filePath(own_));
    if (mine.isSymLink())
        QFile::remove(mine.filePath());
    else if (mine.isDir())
        QDir(mine.filePath()).removeRecursively();
    lock_.reset(); // unlocks, and removes the lock
    all.rmdir(all.path());
}

} // namespace zampli::teacher
