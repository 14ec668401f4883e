// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/UndoCommands.h"

#include "safefile/SystemError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace zampli::teacher {

namespace {

// errno, or 0.
int moveFile(const QString &from, const QString &to)
{
    errno = 0;
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ? 0 : errno;
}

} // namespace

CopyChange::CopyChange(Refusal &report, const QString &text, QUndoCommand *parent)
    : QUndoCommand(parent), report_(report)
{
    setText(text);
}

void CopyChange::undo()
{
    step(&CopyChange::takeBack);
}

void CopyChange::redo()
{
    step(&CopyChange::putAgain);
}

void CopyChange::step(Refusal (CopyChange::*how)())
{
    if (std::exchange(skip_, false))
        return;
    const Refusal refusal = (this->*how)();
    if (refusal.why.isEmpty())
        return;
    report_ = refusal;
    if (refusal.lasting)
        setObsolete(true);
    else
        skip_ = true;
}

QByteArray fingerprint(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    // Never opened unless a plain file: a pipe would wait for a writer.
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArrayLiteral("?");
    return hash.result();
}

FileChange::FileChange(Refusal &report, const QString &text, QString target, QString shownName, FileVersion before,
                       FileVersion after, QUndoCommand *parent)
    : CopyChange(report, text, parent), target_(std::move(target)), shownName_(std::move(shownName)),
      before_(std::move(before)), after_(std::move(after))
{
}

// The version not in place goes with the change; the one in place stays.
FileChange::~FileChange()
{
    for (const FileVersion *version : {&before_, &after_})
        if (!version->aside.isEmpty())
            QFile::remove(version->aside);
}

Refusal FileChange::swap(const FileVersion &out, const FileVersion &in)
{
    if (fingerprint(target_) != out.hash)
        return {QStringLiteral("%1 è stato cambiato da un altro programma: lo lascio com'è, per non perdere quello "
                               "che c'è ora. Questo cambiamento non si può più annullare né ripetere; gli altri "
                               "restano nel menu Modifica.").arg(shownName_),
                true};
    if (in.present() && !QFileInfo::exists(in.aside))
        return {QStringLiteral("La versione di %1 tenuta da parte nella cartella nascosta .zampli-annulla non c'è "
                               "più: questo cambiamento non si può più annullare né ripetere; gli altri restano nel "
                               "menu Modifica.")
                    .arg(shownName_),
                true};
    // The hidden folder may have gone meanwhile: the file in place can be kept all the same.
    if (out.present())
        QDir().mkpath(QFileInfo(out.aside).absolutePath());
    int error = out.present() ? moveFile(target_, out.aside) : 0;
    if (error == 0 && in.present() && (error = moveFile(in.aside, target_)) != 0 && out.present())
        moveFile(out.aside, target_);
    if (error != 0)
        return {QStringLiteral("%1 non è stato rimesso com'era (%2): controlla di poter scrivere nella sua cartella, "
                               "poi riprova.").arg(shownName_, systemErrorText(error))};
    return {};
}

WordsChange::WordsChange(Refusal &report, const QString &text, QStringList before, QStringList after, Apply apply)
    : CopyChange(report, text), before_(std::move(before)), after_(std::move(after)), apply_(std::move(apply))
{
}

Refusal WordsChange::takeBack()
{
    return apply_(after_, before_, QStringLiteral("Annullato: %1.").arg(text()));
}

Refusal WordsChange::putAgain()
{
    return apply_(before_, after_, QStringLiteral("Ripetuto: %1.").arg(text()));
}

GroupChange::GroupChange(const QString &text, std::function<void()> changed) : changed_(std::move(changed))
{
    setText(text);
}

void GroupChange::undo()
{
    QUndoCommand::undo();
    settle();
}

void GroupChange::redo()
{
    QUndoCommand::redo();
    settle();
}

void GroupChange::settle()
{
    for (int i = 0; i < childCount(); ++i)
        if (child(i)->isObsolete())
            setObsolete(true);
    if (changed_)
        changed_();
}

} // namespace zampli::teacher
