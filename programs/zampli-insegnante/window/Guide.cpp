// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/Guide.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace zampli::teacher {

QString findGuide(const QString &programFolder)
{
    const QDir program(programFolder);
    for (const QString &candidate : {program.filePath(QStringLiteral("guida/index.html")),
                                     program.filePath(QStringLiteral("../../share/zampli/guida/index.html"))}) {
        const QFileInfo index(QDir::cleanPath(candidate));
        if (index.isFile())
            return index.absoluteFilePath();
    }
    return {};
}

void openGuide(QWidget *parent, const QString &programFolder, void (*fallback)(QWidget *))
{
    const QString index = findGuide(programFolder);
    if (index.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(index)))
        fallback(parent);
}

void showShortHelp(QWidget *parent)
{
    QMessageBox::information(parent, QStringLiteral("Come si usa"),
        QStringLiteral("In ogni scheda «Parole con …» scrivi una parola nuova e premi Invio. Poi scegli la "
                       "parola e dalle un'immagine (trascinala sulla riga, incollala con Ctrl+V o importala con "
                       "Ctrl+I) e una voce (registrala con Ctrl+R o importala con Ctrl+Maiusc+I).\n\nOgni "
                       "cambiamento è salvato subito; Ctrl+Z lo annulla e Ctrl+Maiusc+Z lo ripete (anche dal menu "
                       "Modifica), immagini e voci comprese. La barra spaziatrice fa sentire la voce della "
                       "parola scelta. Se un elenco viene cambiato fuori da ZAMPLI, lo rileggo prima di "
                       "cambiarlo e te lo dico.\n\nLa scheda «Controllo» dice "
                       "che cosa manca ancora. «Prova ZAMPLI» (F5) avvia il programma dei bambini con queste "
                       "parole."));
}

} // namespace zampli::teacher
