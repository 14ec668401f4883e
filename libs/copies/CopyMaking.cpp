// SPDX-License-Identifier: GPL-3.0-or-later
// A new copy, from the program's own media or from whatever fills it, and
// what the teacher is told when one cannot be made.
#include "copies/CopyMaking.h"

#include "copies/TreeCopy.h"
#include "copies/WorkFolder.h"

#include "safefile/WholeFile.h"

#include "safefile/SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zampli::copies {

namespace detail {

namespace {

// What a copy holds of its own: the media.
const QStringList kMediaFolders = {QStringLiteral("jpg"), QStringLiteral("voci"), QStringLiteral("suoni"),
                                   QStringLiteral("testi")};

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
                          "%2: libera spazio (per esempio svuotando il cestino) "
                          "o scegli una cartella su un altro disco, poi riprova.")
        .arg(where, spaceNeeded(bytes));
}

// EFBIG: the program's file-size limit, or a file system that takes no file this big.
QString fileTooBig(const QString &file, const QString &where)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return QStringLiteral("Il file %1 è più grande del limite che il sistema pone ai file scritti da questo programma "
                              "(%2 byte): la copia non è stata fatta e in %3 non è rimasto nulla. Avvia la copia "
                              "senza quel limite (chiedi a chi gestisce il computer), poi riprova.")
            .arg(file, QLocale(QLocale::Italian).toString(qulonglong(limit.rlim_cur)), where);
    return QStringLiteral("Il file %1 è troppo grande per il disco di %2 (una chiavetta FAT32, per esempio, non prende file "
                          "oltre 4 GB): la copia non è stata fatta e non è rimasto nulla. Scegli una cartella su "
                          "un altro disco, poi riprova.")
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
                              "Scegli una cartella tua, per esempio nella cartella personale.")
            .arg(where);
    return QStringLiteral("Non riesco a scrivere in %1 (%2): la copia non è stata fatta e non è rimasto nulla. "
                          "Riprova, o scegli un'altra cartella.")
        .arg(where, systemErrorText(error));
}

// The program's own file failed while it was read: the target is not to blame.
QString readProblem(const detail::CopyFailure &failure, const QString &where)
{
    if (failure.error == ENOENT)
        return QStringLiteral("Il file %1 non c'è più: è stato tolto o spostato mentre lo copiavo. La copia non è "
                              "stata fatta e in %2 non è rimasto nulla. Riprova quando nessuno cambia la cartella "
                              "del programma; se il file manca ancora, reinstalla ZAMPLI.")
            .arg(failure.path, where);
    return QStringLiteral("Non riesco a leggere il file %1 (%2): la copia non è stata fatta e in %3 non è rimasto "
                          "nulla. Riprova; se non va ancora, reinstalla ZAMPLI.")
        .arg(failure.path, systemErrorText(failure.error), where);
}

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
                              "scegli un altro nome.");
    // What the system gave as bytes that are not UTF-8: a folder made under this name would be another one.
    if (folder.contains(QChar::ReplacementCharacter))
        return QStringLiteral("Il nome %1 contiene lettere che non sono scritte in UTF-8 (qui mostrate come "
                              "\uFFFD): la copia non è stata fatta, perché la cartella avrebbe un nome diverso. "
                              "Scegli un nome con lettere comuni, o rinomina la cartella, poi riprova.")
            .arg(folder);
    const QFileInfo info(folder);
    const qint64 bytes = QFile::encodeName(info.fileName()).size();
    if (const qint64 longest = longestName(info.path()); bytes > longest)
        return QStringLiteral("Il nome della cartella \"%1\" è troppo lungo: occupa %2 byte e il disco ne accetta al "
                              "massimo %3 (una lettera accentata ne occupa due). Scegli un nome più corto.")
            .arg(info.fileName()).arg(bytes).arg(longest);
    if (info.exists() || info.isSymLink())
        return QStringLiteral("%1 c'è già: scegli un'altra cartella, questa non viene toccata.").arg(folder);
    return {};
}

QString sourceProblem(const QString &programFolder)
{
    if (!QFileInfo(programFolder + QStringLiteral("/zampli")).isExecutable())
        return QStringLiteral("Non trovo il programma ZAMPLI in %1.").arg(programFolder);
    for (const QString &media : kMediaFolders)
        if (!QFileInfo(programFolder + QLatin1Char('/') + media).isDir())
            return QStringLiteral("In %1 manca la cartella %2: reinstalla ZAMPLI, poi riprova.")
                .arg(programFolder, media);
    return {};
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

bool isCopyFolder(const QString &folder)
{
    const QFileInfo info(folder);
    const QFileInfo program(folder + QLatin1Char('/') + kProgram);
    return info.isDir() && !info.isSymLink() && (program.isFile() || program.isSymLink())
           && QFileInfo(folder + QStringLiteral("/testi")).isDir();
}

namespace {

// The copy's school setting, its one file beside the media, carried as it
// is (bytes and permissions) into the new copy; no setting, nothing to carry.
Filled keepSchoolSetting(const QString &old, const QString &work)
{
    const QString from = old + QStringLiteral("/scuola.conf");
    const QString to = work + QStringLiteral("/scuola.conf");
    struct stat st;
    if (::lstat(QFile::encodeName(from).constData(), &st) != 0)
        return errno == ENOENT ? Filled{} : Filled{{}, errno, from};
    if (!S_ISREG(st.st_mode))
        return {QStringLiteral("%1 non è un file: la copia non è stata aggiornata ed è rimasta com'era. "
                               "Toglilo, o rifai l'impostazione della scuola, poi riprova.").arg(from)};
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return {QStringLiteral("Non riesco a leggere %1 (%2): la copia non è stata aggiornata ed è rimasta com'era.")
                    .arg(from, in.errorString())};
    const QByteArray bytes = in.read(1 << 20);
    const int out = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           st.st_mode & 0777);
    if (out < 0)
        return {{}, errno, to};
    int error = writeAll(out, bytes.constData(), bytes.size());
    if (error == 0 && ::fchmod(out, st.st_mode & 0777) != 0)
        error = errno;
    if (::close(out) != 0 && error == 0)
        error = errno;
    return {{}, error, to};
}

QString notUpdated(const QString &why, const QString &folder)
{
    return QStringLiteral("%1 La copia in %2 non è stata aggiornata ed è rimasta com'era.").arg(why, folder);
}

} // namespace

CopyResult replaceCopyWith(const QString &programFolder, const QString &target, qint64 bytes, const Fill &fill,
                           const QString &menuFolder)
{
    const QString folder = absoluteClean(target);
    if (hasControlCharacters(folder))
        return failure(targetProblem(folder));
    if (!isCopyFolder(folder))
        return failure(QStringLiteral("%1 non è una copia di ZAMPLI: non la aggiorno e non la tocco. "
                                      "Scegli un'altra cartella.").arg(folder));
    if (const QString problem = sourceProblem(programFolder); !problem.isEmpty())
        return failure(problem);
    const QString parent = QFileInfo(folder).path();
    removeStaleWork(parent); // before the free space is measured: what it held counts
    const QStorageInfo storage(parent);
    if (storage.isValid() && storage.bytesAvailable() < bytes)
        return failure(notUpdated(diskFull(parent, bytes), folder));
    WorkFolder work;
    if (const int error = work.make(parent))
        return failure(notUpdated(writeProblem(error, parent, bytes), folder));
    Filled filled = fill(work.path);
    if (filled.message.isEmpty() && filled.error == 0)
        filled = keepSchoolSetting(folder, work.path);
    if (!filled.message.isEmpty())
        return failure(notUpdated(filled.message, folder));
    if (filled.error != 0)
        return failure(notUpdated(writeProblem(filled.error, parent, bytes, filled.path), folder));
    if (const int error = linkWhole(work.path + QLatin1Char('/') + kProgram, realProgram(programFolder)))
        return failure(notUpdated(writeProblem(error, parent, bytes), folder));
    if (const int error = flushFileSystem(work.path))
        return failure(notUpdated(writeProblem(error, parent, bytes), folder));
    const CopyInfo copy = entryFor(folder, {}, menuFolder);
    if (const int error = writeEntry(copy))
        return failure(notUpdated(writeProblem(error, QFileInfo(copy.desktopFile).path(), 0, copy.desktopFile), folder));
    if (const int error = renameExchange(work.path, folder))
        return failure(notUpdated(writeProblem(error, parent, bytes), folder));
    // The old copy is now in the work folder, taken away with it.
    return {true, copy, QStringLiteral("Fatto: la copia in %1 è aggiornata.").arg(folder)};
}

} // namespace detail

using namespace detail;

namespace {

CopyResult copyMedia(const QString &programFolder, const QString &target, const QString &displayName,
                     const Progress &progress, const QString &menuFolder)
{
    const detail::CopyPlan plan = detail::planCopy(programFolder, {}, kMediaFolders);
    if (!plan.notUtf8.isEmpty())
        return failure(QStringLiteral("Il nome di %1 non è scritto in UTF-8 (qui le lettere illeggibili sono mostrate "
                                      "come \uFFFD) e non lo posso copiare così com'è: la copia non è stata fatta. "
                                      "Rinominalo con lettere comuni, poi riprova.")
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

} // namespace zampli::copies
