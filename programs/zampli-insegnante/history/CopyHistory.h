// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/UndoCommands.h"

#include <QLockFile>
#include <QObject>
#include <QUndoStack>

#include <memory>

class QAction;
class QWidget;

namespace zampli::teacher {

// A picture, voice or sound about to be written: the file it replaces is
// kept aside meanwhile; dropped without a change, the kept file goes.
struct PendingChange {
    QString target;
    QString what;
    FileVersion before;
    ~PendingChange();
};

// The teacher's changes to one copy, in her order across the tabs: Annulla
// (Ctrl+Z) takes back the last one, Ripeti (Ctrl+Maiusc+Z, Ctrl+Y) does it
// again. A file replaced or removed is kept in the copy's hidden folder
// .zampli-annulla, on the same disk so that putting it back is a rename,
// until the program ends or another copy is opened; the child's program and
// zampli-verifica read only jpg/, voci/, suoni/ and testi/. Each window keeps
// its files in a folder of its own there, beside a lock it holds while it
// runs: a start removes only the folders whose window is gone, never those of
// a window open on the copy from another account or computer.
class CopyHistory : public QObject {
    Q_OBJECT
public:
    static inline const QString kAsideFolder = QStringLiteral(".zampli-annulla");

    explicit CopyHistory(const QString &folder, QObject *parent = nullptr);
    ~CopyHistory() override;

    QAction *undoAction() const { return undo_; }
    QAction *redoAction() const { return redo_; }
    // Gives `window` the keys of both actions.
    void attachTo(QWidget *window);

    // Writes `target` through `write` (empty, or what went wrong), as the change
    // "aggiungi/sostituisci `what`".
    QString write(const QString &target, const QString &what, const std::function<QString()> &write);
    // The same in two halves, for a file written later (a recording): null
    // and `problem` set when the file there could not be kept.
    std::shared_ptr<PendingChange> begin(const QString &target, const QString &what, QString *problem);
    void finish(const std::shared_ptr<PendingChange> &pending);
    // Moves `target` aside, as the change "togli `what`".
    QString remove(const QString &target, const QString &what);
    // A word list changed from `before` to `after`, already saved.
    void pushWords(const QString &text, const QStringList &before, const QStringList &after,
                   const WordsChange::Apply &apply);

    // The files written between these two are one change, `text`, taken back
    // and done again whole; `changed` runs after each of its steps. Nothing
    // written, no change.
    void beginGroup(const QString &text, const std::function<void()> &changed);
    void endGroup();
    // Takes back what was written since beginGroup and forgets it: half a change is none.
    void dropGroup();

    void undo();
    void redo();
    // Forgets every change and removes the kept files.
    void clear();

signals:
    // An undo or redo could not be done: why, for the teacher.
    void refused(const QString &why);
    // An undo or redo was done: "Annullato: …".
    void stepped(const QString &said);

private:
    void showActions();
    void step(bool back);
    QString asideName(const QString &target);
    QString ownAsideFolder();
    QString shownName(const QString &target) const;
    void removeLeftovers();
    void removeAsideFolder();

    QString folder_;
    QString own_; // this window's folder in kAsideFolder, and its lock's name
    std::unique_ptr<QLockFile> lock_; // made with the folder, only when a file is first kept
    QUndoStack stack_;
    Refusal refusal_;
    QAction *undo_ = nullptr;
    QAction *redo_ = nullptr;
    int kept_ = 0;
    GroupChange *group_ = nullptr; // between beginGroup and endGroup
};

} // namespace zampli::teacher
