// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/copies/FolderCommands.h"

#include "copies/Copies.h"
#include "tabs/copies/NewCopy.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

namespace zampli::teacher {

QString startProgramIn(QWidget *parent, const QString &folder)
{
    const QString program = QDir(folder).filePath(QStringLiteral("zampli"));
    // Started through the copy's own link, the program shows the copy's words.
    if (!QFileInfo(program).isExecutable()) {
        QMessageBox::warning(parent, QStringLiteral("Non posso provare ZAMPLI"),
                             QStringLiteral("In %1 non c'è il programma zampli: apri una copia di ZAMPLI con File › "
                                            "Apri, o fanne una nella scheda «Copie».").arg(folder));
        return {};
    }
    if (QProcess::startDetached(program, {}, folder))
        return QStringLiteral("ZAMPLI si sta avviando con le parole di questa cartella…");
    QMessageBox::warning(parent, QStringLiteral("Non posso provare ZAMPLI"),
                         QStringLiteral("ZAMPLI non si è avviato: prova ad aprire la cartella e a farlo partire da lì."));
    return {};
}

QString exportCopy(QWidget *parent, const QString &folder)
{
    const std::optional<copies::CopyResult> written = exportCopyAsking(parent, folder);
    if (!written)
        return {};
    if (written->ok)
        return written->message;
    QMessageBox::warning(parent, QStringLiteral("La copia non è stata esportata"), written->message);
    return {};
}

QString chooseCopyFolder(QWidget *parent, const QString &current)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, QStringLiteral("Scegli la cartella di ZAMPLI"),
                                                             current);
    if (folder.isEmpty() || QFileInfo(QDir(folder).filePath(QStringLiteral("testi"))).isDir())
        return folder;
    QMessageBox::warning(parent, QStringLiteral("Non è una cartella di ZAMPLI"),
                         QStringLiteral("In %1 non c'è la cartella «testi» con gli elenchi di parole: scegli la "
                                        "cartella di una copia di ZAMPLI, quella che contiene «testi», «jpg» e "
                                        "«voci».").arg(folder));
    return {};
}

OwnCopy makeOwnCopy(QWidget *parent, const QString &folder)
{
    const QString notMade = QStringLiteral("La copia non è stata fatta");
    QString problem;
    const QString where = copies::defaultTarget(&problem);
    if (where.isEmpty())
        return QMessageBox::warning(parent, notMade, problem), OwnCopy{};
    const std::optional<copies::CopyResult> made =
        makeCopyAsking(parent, folder, {where, copies::freeCopyName(where, QStringLiteral("Le mie parole"))});
    if (!made)
        return {};
    if (!made->ok)
        return QMessageBox::warning(parent, notMade, made->message), OwnCopy{};
    return {made->copy.folder, made->message};
}

} // namespace zampli::teacher
