// SPDX-License-Identifier: GPL-3.0-or-later
#include "copies/Copies.h"

#include "copies/CopyMaking.h"
#include "copies/DesktopEntry.h"
#include "copies/TreeCopy.h"
#include "copies/WorkFolder.h"

#include "media/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zampli::copies {

namespace {

// What a copy holds of its own: the media. The program is the installed
// one, through a link; the program files older copies carried besides it
// are taken away when such a copy is brought up to date.
const QString kProgram = QStringLiteral("zampli");
const QStringList kOldProgramFiles = {QStringLiteral("zampli-suoni.so"), QStringLiteral("zampli-verifica"),
                                      QStringLiteral("zampli-copia"), QStringLiteral("zampli-insegnante")};
const QStringList kMediaFolders = {QStringLiteral("jpg"), QStringLiteral("voci"), QStringLiteral("suoni"),
                                   QStringLiteral("testi")};

CopyResult failure(const QString &message) { return {false, {}, message}; }

QString absoluteClean(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

bool hasControlCharacters(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

// Never "0 MB": what is needed is rounded up, and a few bytes are "less than 1 MB".
QString spaceNeeded(qint64 bytes)
{
    const qint64 megabytes = (bytes + 999'999) / 1'000'000;
    if (megabytes < 1)
        return QStringLiteral("Basta meno di 1 MB libero");
    if (megabytes == 1)
        return QStringLiteral("Serve circa 1 MB libero");
    return QStringLiteral("Servono circa %1 MB liberi").arg(QLocale(QLocale::Italian).toString(megabytes));
}

QString diskFull(const QString &where, qint64 bytes)
{
    return QStringLiteral("Spazio su disco esaurito: la copia non è stata fatta e in %1 non è rimasto nulla. "
                          "%2: liberate spazio (per esempio svuotando il cestino) "
                          "o scegliete una cartella su un altro disco, poi riprovate.")
        .arg(where, spaceNeeded(bytes));
}

// EFBIG: the program's file-size limit, or a file system that takes no file this big.
QString fileTooBig(const QString &file, const QString &where)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return QStringLiteral("Il file %1 è più grande del limite che il sistema pone ai file scritti da questo programma "
                              "(%2 byte): la copia non è stata fatta e in %3 non è rimasto nulla. Avviate la copia "
                              "senza quel limite (chiedete a chi gestisce il computer), poi riprovate.")
            .arg(file, QLocale(QLocale::Italian).toString(qulonglong(limit.rlim_cur)), where);
    return QStringLiteral("Il file %1 è troppo grande per il disco di %2 (una chiavetta FAT32, per esempio, non prende file "
                          "oltre 4 GB): la copia non è stata fatta e non è rimasto nulla. Scegliete una cartella su "
                          "un altro disco, poi riprovate.")
        .arg(file, where);
}

QString writeProblem(int error, const QString &where, qint64 bytes, const QString &file = {})
{
    if (detail::isDiskFull(error))
        return diskFull(where, bytes);
    if (error == EFBIG)
        return fileTooBig(file.isEmpty() ? where : file, where);
    if (error == EACCES || error == EPERM || error == EROFS)
        return QStringLiteral("Non si può scrivere in %1: la copia non è stata fatta. "
                              "Scegliete una cartella vostra, per esempio nella cartella personale.")
            .arg(where);
    return QStringLiteral("Non riesco a scrivere in %1 (%2): la copia non è stata fatta e non è rimasto nulla. "
                          "Riprovate, o scegliete un'altra cartella.")
        .arg(where, systemErrorText(error));
}

// The program's own file failed while it was read: the target is not to blame.
QString readProblem(const detail::CopyFailure &failure, const QString &where)
{
    if (failure.error == ENOENT)
        return QStringLiteral("Il file %1 non c'è più: è stato tolto o spostato mentre lo copiavo. La copia non è "
                              "stata fatta e in %2 non è rimasto nulla. Riprovate quando nessuno cambia la cartella "
                              "del programma; se il file manca ancora, reinstallate ZAMPLI.")
            .arg(failure.path, where);
    return QStringLiteral("Non riesco a leggere il file %1 (%2): la copia non è stata fatta e in %3 non è rimasto "
                          "nulla. Riprovate; se non va ancora, reinstallate ZAMPLI.")
        .arg(failure.path, systemErrorText(failure.error), where);
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

// The longest name the file system in `parent` takes, in bytes.
qint64 longestName(const QString &parent)
{
    for (QFileInfo at(parent); !at.isRoot(); at = QFileInfo(at.path())) {
        if (!at.exists())
            continue;
        const long longest = ::pathconf(QFile::encodeName(at.filePath()).constData(), _PC_NAME_MAX);
        if (longest > 0)
            return longest;
        break;
    }
    return NAME_MAX;
}

QString targetProblem(const QString &folder)
{
    if (hasControlCharacters(folder))
        return QStringLiteral("Il nome della cartella contiene un a capo o un altro carattere di controllo: "
                              "scegliete un altro nome.");
    // What the system gave as bytes that are not UTF-8: a folder made under this name would be another one.
    if (folder.contains(QChar::ReplacementCharacter))
        return QStringLiteral("Il nome %1 contiene lettere che non sono scritte in UTF-8 (qui mostrate come "
                              "\uFFFD): la copia non è stata fatta, perché la cartella avrebbe un nome diverso. "
                              "Scegliete un nome con lettere comuni, o rinominate la cartella, poi riprovate.")
            .arg(folder);
    const QFileInfo info(folder);
    const qint64 bytes = QFile::encodeName(info.fileName()).size();
    if (const qint64 longest = longestName(info.path()); bytes > longest)
        return QStringLiteral("Il nome della cartella \"%1\" è troppo lungo: occupa %2 byte e il disco ne accetta al "
                              "massimo %3 (una lettera accentata ne occupa due). Scegliete un nome più corto.")
            .arg(info.fileName()).arg(bytes).arg(longest);
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
    const QFileInfo program(folder + QLatin1Char('/') + kProgram);
    return (program.isFile() || program.isSymLink()) && QFileInfo(folder + QStringLiteral("/testi")).isDir();
}

// The real program file a copy's link leads to, however the folder reached it.
QString realProgram(const QString &programFolder)
{
    return QFileInfo(programFolder + QLatin1Char('/') + kProgram).canonicalFilePath();
}

// Fills a work folder beside `folder`, links the program, then renames it into place.
CopyResult fillIntoPlace(const QString &program, const QString &folder, qint64 bytes, detail::WorkFolder &work,
                         const detail::Fill &fill)
{
    const QString parent = QFileInfo(folder).path();
    detail::removeStaleWork(parent); // before the free space is measured: what it held counts
    const QStorageInfo storage(parent);
    if (storage.isValid() && storage.bytesAvailable() < bytes)
        return failure(diskFull(parent, bytes));
    if (const int error = work.make(parent))
        return failure(writeProblem(error, parent, bytes));
    const detail::Filled filled = fill(work.path);
    if (!filled.message.isEmpty())
        return failure(filled.message);
    if (filled.error != 0)
        return failure(writeProblem(filled.error, parent, bytes, filled.path));
    if (const int error = detail::linkWhole(work.path + QLatin1Char('/') + kProgram, program))
        return failure(writeProblem(error, parent, bytes));
    if (const int error = detail::renameNoReplace(work.path, folder))
        return failure(error == EEXIST ? targetProblem(folder) : writeProblem(error, parent, bytes));
    work.path = folder; // the copy itself from here on: still taken away if its entry fails
    return {true, {}, {}};
}

// The program's media copied as they are.
detail::Fill copyingPlan(const detail::CopyPlan &plan, const QString &parent, const Progress &progress)
{
    return [&plan, parent, progress](const QString &work) -> detail::Filled {
        const detail::CopyFailure copied = detail::copyPlan(plan, work, progress);
        if (copied.error == ECANCELED)
            return {QStringLiteral("La copia è stata fermata: in %1 non è rimasto nulla di mezzo fatto.").arg(parent)};
        if (copied.reading)
            return {readProblem(copied, parent)};
        return {{}, copied.error, copied.path};
    };
}

} // namespace

namespace detail {

CopyResult makeCopyWith(const QString &programFolder, const QString &target, const QString &displayName,
                        qint64 bytes, const Fill &fill, const QString &menuFolder)
{
    QString problem;
    const QString applications = menuFolder.isEmpty() ? applicationsFolder(&problem) : menuFolder;
    if (applications.isEmpty())
        return failure(problem);
    const QString folder = absoluteClean(target);
    if (problem = targetProblem(folder); !problem.isEmpty())
        return failure(problem);
    if (problem = sourceProblem(programFolder); !problem.isEmpty())
        return failure(problem);
    const QString parent = QFileInfo(folder).path();
    MadeParents parents;
    if (const int error = parents.make(parent))
        return failure(writeProblem(error, parent, bytes));
    WorkFolder work;
    if (CopyResult placed = fillIntoPlace(realProgram(programFolder), folder, bytes, work, fill); !placed.ok)
        return placed;
    const CopyInfo copy = entryFor(folder, displayName, applications);
    if (const int error = writeEntry(copy))
        return failure(writeProblem(error, QFileInfo(copy.desktopFile).path(), 0, copy.desktopFile));
    work.keep = parents.keep = true;
    return {true, copy,
            QStringLiteral("Fatto: la copia è in %1.\nNel menu del desktop trovi \"%2\".").arg(folder, copy.name)};
}

} // namespace detail

namespace {

CopyResult copyMedia(const QString &programFolder, const QString &target, const QString &displayName,
                     const Progress &progress, const QString &menuFolder)
{
    const detail::CopyPlan plan = detail::planCopy(programFolder, {}, kMediaFolders);
    if (!plan.notUtf8.isEmpty())
        return failure(QStringLiteral("Il nome di %1 non è scritto in UTF-8 (qui le lettere illeggibili sono mostrate "
                                      "come \uFFFD) e non lo posso copiare così com'è: la copia non è stata fatta. "
                                      "Rinominatelo con lettere comuni, poi riprovate.")
                           .arg(plan.notUtf8.first()));
    const QString parent = QFileInfo(absoluteClean(target)).path();
    return detail::makeCopyWith(programFolder, target, displayName, plan.bytes, copyingPlan(plan, parent, progress),
                                menuFolder);
}

} // namespace

CopyResult makeCopy(const QString &programFolder, const QString &target, const QString &displayName,
                    const Progress &progress)
{
    return copyMedia(programFolder, target, displayName, progress, {});
}

CopyResult makeCopyForEveryone(const QString &programFolder, const QString &target, const QString &menuFolder,
                               const Progress &progress)
{
    // Every folder and file made from here on readable by all, whatever the
    // administrator's own mask. The mask is the process's: only the command
    // line calls this, on its one thread.
    const mode_t before = ::umask(022);
    CopyResult made = copyMedia(programFolder, target, {}, progress, menuFolder);
    ::umask(before);
    if (made.ok)
        made.message = QStringLiteral("Fatto: la copia per tutti è in %1.\nOgni utente trova nel menu del desktop "
                                      "\"%2\"; i risultati dei bambini restano di ciascun utente.")
                           .arg(made.copy.folder, made.copy.name);
    return made;
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
                           .arg(applications, systemErrorText(error)));
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
    if (folder == RemoveFolder::ToTrash && QFileInfo::exists(copy.folder)) {
        if (!looksLikeCopy(copy.folder))
            return failure(QStringLiteral("%1 non sembra una copia di ZAMPLI (manca il programma o la cartella "
                                          "testi): la cartella non viene spostata nel cestino.")
                               .arg(copy.folder));
        if (!QFile::moveToTrash(copy.folder))
            return failure(QStringLiteral("Non riesco a spostare la cartella %1 nel cestino: la copia e la sua voce "
                                          "del menu restano come sono. Controllate che la cartella sia vostra e "
                                          "che il disco non sia pieno, poi riprovate; oppure togliete solo la voce "
                                          "del menu.")
                               .arg(copy.folder));
    }
    if (!QFile::remove(copy.desktopFile))
        return failure(QStringLiteral("Non riesco a togliere la voce del menu %1: controllate i permessi della "
                                      "cartella, poi riprovate.").arg(copy.desktopFile));
    return {true, copy,
            folder == RemoveFolder::ToTrash
                ? QStringLiteral("Tolta dal menu la voce \"%1\"; la cartella %2 è nel cestino, da dove potete "
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
        return failure(QStringLiteral("Non trovo il programma ZAMPLI in %1: reinstallate ZAMPLI, poi riprovate.")
                           .arg(programFolder));
    if (!looksLikeCopy(folder))
        return failure(QStringLiteral("%1 non sembra una copia di ZAMPLI (manca il programma o la cartella testi): "
                                      "non viene toccata.").arg(folder));
    if (const int error = detail::linkWhole(folder + QLatin1Char('/') + kProgram, program))
        return failure(QStringLiteral("Non riesco a cambiare il programma della copia %1 (%2): la copia resta "
                                      "com'era e funziona ancora. Controllate che la cartella sia vostra, poi "
                                      "riprovate.").arg(folder, systemErrorText(error)));
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
