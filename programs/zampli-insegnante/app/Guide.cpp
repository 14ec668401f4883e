// SPDX-License-Identifier: GPL-3.0-or-later
#include "Guide.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace zampli::teacher {

QString findGuide(const QString &programFolder)
{
    const QDir program(programFolder);
    for (const QString &candidate : {program.filePath(QStringLiteral("guida/index.html")),
                                     program.filePath(QStringLiteral("../../share/doc/zampli/guida/index.html"))}) {
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

} // namespace zampli::teacher
