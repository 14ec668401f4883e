// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/TeacherStart.h"

#include "ProductIdentity.h"
#include "media/Artwork.h"
#include "results/Sqlite.h"
#include "startup/QtItalian.h"

#include <QApplication>
#include <QIcon>
#include <QSettings>

namespace zampli::teacher {

namespace {

// The settings (last folder, window's place) saved under the program's
// command name are carried over once to the file of its id.
void keepEarlierSettings()
{
    QSettings now;
    if (!now.allKeys().isEmpty())
        return;
    const QSettings earlier(QApplication::organizationName(), QStringLiteral("zampli-insegnante"));
    for (const QString &key : earlier.allKeys())
        now.setValue(key, earlier.value(key));
}

} // namespace

void prepareTeacherProgram(QTranslator &qtTexts)
{
    QApplication::setOrganizationName(QStringLiteral("zampli"));
    // The id is the X window class (taken from the application's name) and
    // the Wayland app id, as the menu entry's StartupWMClass expects.
    const QString id = QString::fromUtf8(identity::kId) + QStringLiteral(".Insegnante");
    QApplication::setApplicationName(id);
    QApplication::setApplicationDisplayName(QStringLiteral("ZAMPLI per l'insegnante"));
    QGuiApplication::setDesktopFileName(id);
    keepEarlierSettings();
    // The installed theme has the teacher's own icon; a build folder only the child's.
    QApplication::setWindowIcon(QIcon::fromTheme(id, Artwork::windowIcon()));
    installQtItalian(qtTexts);
    // A reading of the results under way ends with the program: the
    // window's threads are waited for after the quit, and must not wait on it.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { stopReads(); });
}

} // namespace zampli::teacher
