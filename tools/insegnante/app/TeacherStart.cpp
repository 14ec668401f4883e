// SPDX-License-Identifier: GPL-3.0-or-later
#include "TeacherStart.h"

#include "ProductIdentity.h"
#include "media/Artwork.h"
#include "startup/QtItalian.h"

#include <QApplication>
#include <QIcon>

namespace zampli::teacher {

void prepareTeacherProgram(QTranslator &qtTexts)
{
    QApplication::setOrganizationName(QStringLiteral("zampli"));
    QApplication::setApplicationName(QStringLiteral("zampli-insegnante"));
    QApplication::setApplicationDisplayName(QStringLiteral("ZAMPLI per l'insegnante"));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(identity::kId) + QStringLiteral(".Insegnante"));
    QApplication::setWindowIcon(Artwork::windowIcon());
    installQtItalian(qtTexts);
}

} // namespace zampli::teacher
