// SPDX-License-Identifier: GPL-3.0-or-later
#include "Copies.h"

#include "DesktopEntry.h"
#include "TreeCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace zampli::copies {

namespace {

// What a copy needs to start and to be looked after from itself: the program,
// the sound module it loads from beside itself, the adult's programs, the media.
const QStringList kProgramFiles = {QStringLiteral("zampli"), QStringLiteral("zampli-suoni.so"),
                                   QStringLiteral("zampli-verifica"), QStringLiteral("zampli-copia"),
                                   QStringLiteral("zampli-insegnante")};
const QStringList kMediaFolders = {QStringLiteral("jpg"), QStringLiteral("voci"), QStringLiteral("suoni"),
                                   QStringLiteral("testi")};

CopyResult failure(const QString &message) { return {false, {}, message}; }

QString absoluteClean(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

bool hasControlCharacters(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString megabytes(qint64 bytes) { return QString::number((bytes + 999'999) / 1'000'000); }

QString diskFull(const QString &where, qint64 bytes)
{
    return QStringLiteral("Spazio su disco esaurito: la copia non è stata fatta e in %1 non è rimasto nulla. "
                          "Servono circa %2 MB liberi: liberate spazio (per esempio svuotando il cestino) "
                          "o scegliete una cartella su un altro disco, poi riprovate.")
        .arg(where, megabytes(bytes));
}

QString writeProblem(int error, const QString &where, qint64 bytes)
{
    if (detail::isDiskFull(error))
        return diskFull(where, bytes);
    if (error == EACCES || error == EPERM || error == EROFS)
        return QStringLiteral("Non si può scrivere in %1: la copia non è stata fatta. "
                              "Scegliete una cartella vostra, per esempio nella cartella personale.")
            .arg(where);
    return QStringLiteral("Non riesco a scrivere in %1 (%2): la copia non è stata fatta e non è rimasto nulla. "
                          "Riprovate, o scegliete un'altra cartella.")
        .arg(where, QString::fromLocal8Bit(std::strerror(error)));
}

// Folders made on the way to the copy's parent, taken away again if the copy fails.
struct MadeParents {
    QStringList made;
    bool keep = false;
    int make(const QString &folder)
    {
        QStringList missing;
        for (QFileInfo at(folder); !at.exists() && !at.isSymLink() && !at.isRoot(); at = QFileInfo(at.path()))
            missing.prepend(at.filePath());
        for (const QString &path : std::as_const(missing)) {
            if (::mkdir(QFile::encodeName(path).constData(), 0755) != 0)
                return errno;
            made.prepend(path);
        }
        return 0;
    }
    ~MadeParents()
    {
        for (const QString &path : std::as_const(made))
            if (!keep)
                ::rmdir(QFile::encodeName(path).constData());
    }
};

// The hidden folder beside the target the copy grows in; removed with all it
// holds unless kept. Made with the user's usual permissions, unlike mkdtemp's.
struct WorkFolder {
    QString path;
    bool keep = false;
    int make(const QString &parent, const QString &name)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString candidate = parent + QStringLiteral("/.") + name + QStringLiteral(".copia-in-corso-")
                                      + QString::number(QRandomGenerator::global()->generate(), 36);
            if (::mkdir(QFile::encodeName(candidate).constData(), 0755) == 0) {
                path = candidate;
                return 0;
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }
    ~WorkFolder()
    {
        if (!keep && !path.isEmpty())
            QDir(path).removeRecursively();
    }
};

QString targetProblem(const QString &folder)
{
    if (hasControlCharacters(folder))
        return QStringLiteral("Il nome della cartella contiene un a capo o un altro carattere di controllo: "
                              "scegliete un altro nome.");
    const QFileInfo info(folder);
    if (info.exists() || info.isSymLink())
        return QStringLiteral("%1 c'è già: scegliete un'altra cartella, questa non viene toccata.").arg(folder);
    return {};
}

QString sourceProblem(const QString &programFolder)
{
    if (!QFileInfo(programFolder + QStringLiteral("/zampli")).isExecutable())
        return QStringLiteral("Non trovo il programma ZAMPLI in %1.").arg(programFolder);
    for (const QString &media : kMediaFolders)
        if (!QFileInfo(programFolder + QLatin1Char('/') + media).isDir())
            return QStringLiteral("In %1 manca la cartella %2: reinstallate ZAMPLI, poi riprovate.")
                .arg(programFolder, media);
    return {};
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
    return detail::writeWhole(copy.desktopFile, detail::entryText(copy.folder, copy.name));
}

bool looksLikeCopy(const QString &folder)
{
    return QFileInfo(folder + QStringLiteral("/zampli")).isFile() && QFileInfo(folder + QStringLiteral("/testi")).isDir();
}

// Copies the plan into a work folder beside `folder`, then renames it into place.
CopyResult copyIntoPlace(const detail::CopyPlan &plan, const QString &folder, WorkFolder &work, const Progress &progress)
{
    const QString parent = QFileInfo(folder).path();
    const QStorageInfo storage(parent);
    if (storage.isValid() && storage.bytesAvailable() < plan.bytes)
        return failure(diskFull(parent, plan.bytes));
    if (const int error = work.make(parent, QFileInfo(folder).fileName()))
        return failure(writeProblem(error, parent, plan.bytes));
    const detail::CopyFailure copied = detail::copyPlan(plan, work.path, progress);
    if (copied.error == ECANCELED)
        return failure(QStringLiteral("Copia interrotta: in %1 non è rimasto nulla.").arg(parent));
    if (copied.error != 0)
        return failure(writeProblem(copied.error, parent, plan.bytes));
    if (const int error = detail::renameNoReplace(work.path, folder))
        return failure(error == EEXIST ? targetProblem(folder) : writeProblem(error, parent, plan.bytes));
    work.path = folder; // the copy itself from here on: still taken away if its entry fails
    return {true, {}, {}};
}

} // namespace

CopyResult makeCopy(const QString &programFolder, const QString &target, const QString &displayName,
                    const Progress &progress)
{
    QString problem;
    const QString applications = applicationsFolder(&problem);
    if (applications.isEmpty())
        return failure(problem);
    const QString folder = absoluteClean(target);
    if (problem = targetProblem(folder); !problem.isEmpty())
        return failure(problem);
    if (problem = sourceProblem(programFolder); !problem.isEmpty())
        return failure(problem);
    const detail::CopyPlan plan = detail::planCopy(programFolder, kProgramFiles, kMediaFolders);
    const QString parent = QFileInfo(folder).path();
    MadeParents parents;
    if (const int error = parents.make(parent))
        return failure(writeProblem(error, parent, plan.bytes));
    WorkFolder work;
    if (CopyResult placed = copyIntoPlace(plan, folder, work, progress); !placed.ok)
        return placed;
    const CopyInfo copy = entryFor(folder, displayName, applications);
    if (const int error = writeEntry(copy))
        return failure(writeProblem(error, QFileInfo(copy.desktopFile).path(), 0));
    work.keep = parents.keep = true;
    return {true, copy,
            QStringLiteral("Fatto: ZAMPLI è in %1.\nNel menu del desktop trovi \"%2\".").arg(folder, copy.name)};
}

CopyResult writeMenuEntry(const QString &folder, const QString &displayName)
{
    QString problem;
    const QString applications = applicationsFolder(&problem);
    if (applications.isEmpty())
        return failure(problem);
    const QString path = absoluteClean(folder);
    if (hasControlCharacters(path) || !QFileInfo(path + QStringLiteral("/zampli")).isExecutable())
        return failure(QStringLiteral("In %1 non c'è una copia di ZAMPLI che si possa avviare.").arg(path));
    const CopyInfo copy = entryFor(path, displayName, applications);
    if (const int error = writeEntry(copy)) {
        return failure(QStringLiteral("La voce del menu non è stata scritta in %1 (%2): liberate spazio o "
                                      "controllate i permessi della cartella, poi riprovate.")
                           .arg(applications, QString::fromLocal8Bit(std::strerror(error))));
    }
    return {true, copy, QStringLiteral("Nel menu del desktop trovi \"%1\".").arg(copy.name)};
}

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
    if (folder == RemoveFolder::Yes && QFileInfo::exists(copy.folder)) {
        if (!looksLikeCopy(copy.folder))
            return failure(QStringLiteral("%1 non sembra una copia di ZAMPLI (manca il programma o la cartella "
                                          "testi): la cartella non viene cancellata.")
                               .arg(copy.folder));
        if (!QDir(copy.folder).removeRecursively())
            return failure(QStringLiteral("Non sono riuscito a cancellare tutta la cartella %1: la voce del menu "
                                          "resta. Chiudete i programmi che la usano e riprovate.")
                               .arg(copy.folder));
    }
    if (!QFile::remove(copy.desktopFile))
        return failure(QStringLiteral("Non riesco a togliere la voce del menu %1.").arg(copy.desktopFile));
    return {true, copy,
            folder == RemoveFolder::Yes
                ? QStringLiteral("Tolta dal menu la voce \"%1\" e cancellata la cartella %2.").arg(copy.name, copy.folder)
                : QStringLiteral("Tolta dal menu la voce \"%1\"; la cartella %2 resta.").arg(copy.name, copy.folder)};
}

QString defaultTarget(QString *error)
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/ZAMPLI"));
    if (error)
        *error = QStringLiteral("Non so qual è la vostra cartella personale (la variabile HOME non è impostata): "
                                "indicate la cartella in cui fare la copia.");
    return {};
}

QString applicationsFolder(QString *error)
{
    // Qt would take "/" for a home it does not know, and put the entry where no menu looks.
    if (!QDir::isAbsolutePath(qEnvironmentVariable("HOME")) && !QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME"))) {
        if (error)
            *error = QStringLiteral("Non so dove mettere la voce del menu: la cartella personale non è indicata "
                                    "(la variabile HOME non è impostata). Nulla è stato fatto: avviate il "
                                    "programma dalla vostra sessione del desktop.");
        return {};
    }
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
}

} // namespace zampli::copies
