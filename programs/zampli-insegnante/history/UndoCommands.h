// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUndoCommand>

#include <functional>

namespace zampli::teacher {

// Why an undo or redo could not be done, for the teacher; empty when it was.
// A lasting one (the file changed meanwhile) can never be done, so the change
// leaves the history; any other (a full disk) may be tried again.
struct Refusal {
    QString why;
    bool lasting = false;
};

// One change of the teacher's, already done when it is pushed. A refused
// undo or redo changes nothing and tells `report` why, so that the history
// can put the change back where it was.
class CopyChange : public QUndoCommand {
public:
    CopyChange(Refusal &report, const QString &text, QUndoCommand *parent = nullptr);
    void undo() final;
    void redo() final;

protected:
    virtual Refusal takeBack() = 0;
    virtual Refusal putAgain() = 0;

private:
    void step(Refusal (CopyChange::*how)());

    Refusal &report_;
    // The next step is not carried out: the change is done when pushed, and a
    // refused step is answered by the opposite one, which must not move anything.
    bool skip_ = true;
};

// A file's content at one moment: absent (no hash), or kept aside under
// `aside` while another content is in the file's place.
struct FileVersion {
    QString aside;
    QByteArray hash;
    bool present() const { return !hash.isEmpty(); }
};

// What identifies a file's content; empty when there is no file.
QByteArray fingerprint(const QString &path);

// A picture, voice or sound added, replaced or removed. Each step moves the
// file in place aside and the other version into its place, both by rename,
// after checking that the file in place is the one this change left there.
class FileChange : public CopyChange {
public:
    FileChange(Refusal &report, const QString &text, QString target, QString shownName, FileVersion before,
               FileVersion after, QUndoCommand *parent = nullptr);
    ~FileChange() override;

protected:
    Refusal takeBack() override { return swap(after_, before_); }
    Refusal putAgain() override { return swap(before_, after_); }

private:
    Refusal swap(const FileVersion &out, const FileVersion &in);

    QString target_;
    QString shownName_;
    FileVersion before_;
    FileVersion after_;
};

// A change of a word list: the words before and after. `apply` puts the list
// from one to the other, saved, or says why not.
class WordsChange : public CopyChange {
public:
    using Apply = std::function<Refusal(const QStringList &from, const QStringList &to, const QString &done)>;
    WordsChange(Refusal &report, const QString &text, QStringList before, QStringList after, Apply apply);

protected:
    Refusal takeBack() override;
    Refusal putAgain() override;

private:
    QStringList before_;
    QStringList after_;
    Apply apply_;
};

// Many changes taken back and done again as one ("importa 7 parole"), its
// own changes in order; `changed` runs after each step, so that what shows
// the files reads them again. A part that can never be done again takes the
// whole out of the history.
class GroupChange : public QUndoCommand {
public:
    GroupChange(const QString &text, std::function<void()> changed);
    void undo() override;
    void redo() override;

private:
    void settle();

    std::function<void()> changed_;
};

} // namespace zampli::teacher
