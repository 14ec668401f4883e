// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/WriteReason.h"

#include <QDir>
#include <QFileInfo>

namespace zampli::teacher {

QString copyWriteReason(const QString &path, const WholeWrite &write)
{
    if (write.ok())
        return {};
    const QString name = QFileInfo(path).fileName();
    if (write.creating)
        return QStringLiteral("Non posso scrivere nella cartella di %1 (%2): controlla di poterci scrivere, "
                              "o fai una copia tua di ZAMPLI.").arg(name, write.reason);
    return QStringLiteral("%1 non è stato salvato, il file di prima è rimasto com'era (%2). Libera un po' di "
                          "spazio sul disco e riprova.").arg(name, write.reason);
}

QString chosenWriteReason(const QString &path, const WholeWrite &write)
{
    if (write.ok())
        return {};
    const QFileInfo info(path);
    if (write.creating)
        return QStringLiteral("Non posso scrivere %1 nella cartella %2 (%3): scegli un'altra cartella.")
            .arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()), write.reason);
    return QStringLiteral("%1 non è stato scritto (%2); un file di prima con questo nome è rimasto com'era. Libera un "
                          "po' di spazio sul disco o scegli un'altra cartella, e riprova.").arg(info.fileName(), write.reason);
}

} // namespace zampli::teacher
