// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/QtItalian.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zampli {

bool installQtItalian(QTranslator &translator)
{
    // "qt_it" gathers qtbase_it with the other modules' texts.
    if (!translator.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

} // namespace zampli
