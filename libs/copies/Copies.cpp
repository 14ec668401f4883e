// SPDX-License-Identifier: GPL-3.0-or-later
// Copies that exist: their menu entries, their program, their removal.
#include "copies/Copies.h"

#include "copies/CopyMaking.h"
#include "copies/DesktopEntry.h"
#include "copies/TreeCopy.h"
#include "copies/WorkFolder.h"

#include "safefile/SystemError.h"
#include "safefile/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace zampli::copies {

using namespace detail;

namespace {

// Program files older copies carried beside their link, taken away when
// such a copy is brought up to date.
const QStringList kOldProgramFiles = {QStringLiteral("zampli-suoni.so"), QStringLiteral("zampli-verifica"),
                                      QStringLiteral("zampli-copia"), QStringLiteral("zampli-insegnante")};

bool looksLikeCopy(const QString &folder)
{
    const QFileInfo program(folder + QLatin1Char('/') + kProgram);
    return (program.isFile() || program.isSymLink()) && QFileInfo(folder + QStringLiteral("/testi")).isDir();
}

} // namespace

namespace detail {

QString absoluteClean(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

bool hasControlCharacters(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString realProgram(const QString &programFolder)
{
    return QFileInfo(programFolder + QLatin1Char('/') + kProgram).canonicalFilePath();
}

CopyInfo entryFor(const QString &folder, const QString &displayName, const QString &applications)
{
    return {folder, menuName(folder, displayName),
            applications + QLatin1Char('/') + desktopFileId(folder) + QStringLiteral(".desktop")};
}

int writeEntry(const CopyInfo &copy)
{
    MadeParents applications;
    applications.keep = true; // the menu's own folder, wanted whatever happens
    if (const int error = applications.make(QFileInfo(copy.desktopFile).path()))
        return error;
    return writeWhole(copy.desktopFile, detail::entryText(copy.folder, copy.name)).error;
}

} // namespace detail

QList<CopyInfo> knownCopies()
{
    QList<CopyInfo> copies;
    const QString applications = applicationsFolder();
    if (applications.isEmpty())
        return copies;
    const QDir dir(applications);
    const QStringList names = dir.entryList({detail::entryPrefix() + QStringLiteral("*.desktop")}, QDir::Files);
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const detail::ReadEntry entry = detail::readEntry(file.read(64 * 1024));
        if (!entry.folder.isEmpty())
            copies << CopyInfo{entry.folder, entry.name, file.fileName()};
    }
    std::sort(copies.begin(), copies.end(),
              [](const CopyInfo &a, const CopyInfo &b) { return a.name.localeAwareCompare(b.name) < 0; });
    return copies;
}

CopyResult removeCopy(const CopyInfo &copy, RemoveFolder folder)
{
    const QFileInfo entry(copy.desktopFile);
    QFile file(copy.desktopFile);
    const bool ours = entry.fileName().startsWith(detail::entryPrefix()) && file.open(QIODevice::ReadOnly)
                      && detail::readEntry(file.read(64 * 1024)).folder == copy.folder;
    if (!ours || entry.path() != absoluteClean(applicationsFolder()))
        return failure(QStringLiteral("%1 non è la voce del menu di una copia di ZAMPLI: non viene toccata.")
                           .arg(copy.desktopFile));
    if (folder == RemoveFolder::ToTrash && QFileInfo::exists(copy.folder)) {
        if (!looksLikeCopy(copy.folder))
            return failure(QStringLiteral("%1 non sembra una copia di ZAMPLI (manca il programma o la cartella "
                                          "testi): la cartella non viene spostata nel cestino.")
                               .arg(copy.folder));
        if (!QFile::moveToTrash(copy.folder))
            return failure(QStringLiteral("Non riesco a spostare la cartella %1 nel cestino: la copia e la sua voce "
                                          "del menu restano come sono. Controlla che la cartella sia tua e "
                                          "che il disco non sia pieno, poi riprova; oppure togli solo la voce "
                                          "del menu.")
                               .arg(copy.folder));
    }
    if (!QFile::remove(copy.desktopFile))
        return failure(QStringLiteral("Non riesco a togliere la voce del menu %1: controlla i permessi della "
                                      "cartella, poi riprova.").arg(copy.desktopFile));
    return {true, copy,
            folder == RemoveFolder::ToTrash
                ? QStringLiteral("Tolta dal menu la voce \"%1\"; la cartella %2 è nel cestino, da dove puoi "
                                 "riprenderla.").arg(copy.name, copy.folder)
                : QStringLiteral("Tolta dal menu la voce \"%1\"; la cartella %2 resta.").arg(copy.name, copy.folder)};
}

bool holdsOwnProgram(const QString &folder)
{
    const QFileInfo program(folder + QLatin1Char('/') + kProgram);
    return program.isFile() && !program.isSymLink();
}

CopyResult useInstalledProgram(const QString &folder, const QString &programFolder)
{
    const QString program = realProgram(programFolder);
    if (program.isEmpty())
        return failure(QStringLiteral("Non trovo il programma ZAMPLI in %1: reinstalla ZAMPLI, poi riprova.")
                           .arg(programFolder));
    if (!looksLikeCopy(folder))
        return failure(QStringLiteral("%1 non sembra una copia di ZAMPLI (manca il programma o la cartella testi): "
                                      "non viene toccata.").arg(folder));
    if (const int error = detail::linkWhole(folder + QLatin1Char('/') + kProgram, program))
        return failure(QStringLiteral("Non riesco a cambiare il programma della copia %1 (%2): la copia resta "
                                      "com'era e funziona ancora. Controlla che la cartella sia tua, poi "
                                      "riprova.").arg(folder, systemErrorText(error)));
    for (const QString &name : kOldProgramFiles)
        if (const QFileInfo old(folder + QLatin1Char('/') + name); old.isFile() && !old.isSymLink())
            QFile::remove(old.filePath());
    return {true, {folder, {}, {}},
            QStringLiteral("La copia %1 ora avvia ZAMPLI installato: gli aggiornamenti la raggiungono.").arg(folder)};
}

bool sameFolder(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

std::optional<CopyInfo> copyNamed(const QString &name, const QString &folder)
{
    const QString self = absoluteClean(folder);
    for (const CopyInfo &copy : knownCopies())
        if (copy.name.trimmed() == name.trimmed() && absoluteClean(copy.folder) != self)
            return copy;
    return std::nullopt;
}

QString freeCopyName(const QString &where, const QString &base)
{
    const auto taken = [&where](const QString &name) {
        const QString path = QDir(where).filePath(name);
        return QFileInfo::exists(path) || QFileInfo(path).isSymLink() || copyNamed(menuName(path), path).has_value();
    };
    QString name = base;
    for (int n = 2; taken(name); ++n)
        name = QStringLiteral("%1 (%2)").arg(base).arg(n);
    return name;
}

QString defaultTarget(QString *error)
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/ZAMPLI"));
    if (error)
        *error = QStringLiteral("Non so qual è la tua cartella personale (la variabile HOME non è impostata): "
                                "indica la cartella in cui fare la copia.");
    return {};
}

QString applicationsFolder(QString *error)
{
    // Qt would take "/" for a home it does not know, and put the entry where no menu looks.
    if (!QDir::isAbsolutePath(qEnvironmentVariable("HOME")) && !QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME"))) {
        if (error)
            *error = QStringLiteral("Non so dove mettere la voce del menu: la cartella personale non è indicata "
                                    "(la variabile HOME non è impostata). Nulla è stato fatto: avvia il "
                                    "programma dalla tua sessione del desktop.");
        return {};
    }
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
}

} // namespace zampli::copies
