// SPDX-License-Identifier: GPL-3.0-or-later
// A copy's file read back: into a new copy, or into memory.
#include "copies/CopyArchive.h"

#include "copies/ArchiveFormat.h"
#include "copies/CopyMaking.h"
#include "copies/TreeCopy.h"

#include "media/MediaContent.h"
#include "media/Printable.h"
#include "safefile/WholeFile.h"
#include "wordlist/WordList.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zampli::copies {

using namespace detail;

namespace {

struct Extraction {
    zip_t *zip = nullptr;
    QString archive;
    QString work;
    qint64 total = 0; // declared bytes of all entries
    qint64 done = 0;
    Progress progress;
    std::vector<char> buffer = std::vector<char>(1 << 16);
};

// Streams one entry to `sink` (an errno, or 0), counting what really comes
// out: a declared size may lie, and only the count stops a small entry that
// inflates to gigabytes. No entry past its declared size keeps the whole
// within the limit the declared sizes were checked against.
detail::Filled streamEntry(Extraction &x, const Entry &entry, zip_file_t *in,
                           const std::function<int(const char *, qint64)> &sink)
{
    const QString path = x.work + QLatin1Char('/') + entry.name;
    qint64 written = 0;
    for (;;) {
        const zip_int64_t read = zip_fread(in, x.buffer.data(), x.buffer.size());
        if (read < 0)
            return {refusal(x.archive, entry.name, QStringLiteral("non si legge: il file è rovinato"))};
        if (read == 0)
            break;
        written += read;
        x.done += read;
        if (written > entry.size)
            return {refusal(x.archive, entry.name,
                            QStringLiteral("contiene più byte dei %1 che dichiara: il file è rovinato o fatto per "
                                           "ingannare").arg(entry.size))};
        if (const int error = sink(x.buffer.data(), read))
            return {{}, error, path};
        if (x.progress && !x.progress(x.done, x.total))
            return {QStringLiteral("L'importazione è stata fermata: non è rimasto nulla di mezzo fatto.")};
    }
    if (written != entry.size)
        return {refusal(x.archive, entry.name, QStringLiteral("è più corto di quanto dichiara: il file è rovinato"))};
    return {};
}

// The stream's end is where a wrong checksum shows.
detail::Filled closeEntry(Extraction &x, const Entry &entry, zip_file_t *in, detail::Filled done)
{
    if (zip_fclose(in) != 0 && done.message.isEmpty() && done.error == 0)
        done = {refusal(x.archive, entry.name, QStringLiteral("non si legge: il file è rovinato"))};
    return done;
}

bool isMediaEntry(const QString &name)
{
    return name.startsWith(QLatin1String("jpg/")) || name.startsWith(QLatin1String("voci/"))
           || name.startsWith(QLatin1String("suoni/"));
}

QString tooBigList()
{
    return QStringLiteral("è troppo grande per un elenco di parole (ZAMPLI ne legge al massimo 1 MB)");
}

QString refusedWord(const WordList &list)
{
    return list.refused.isEmpty()
               ? QString()
               : QStringLiteral("contiene «%1», che non può essere il nome di una parola").arg(visible(list.refused.first()));
}

// A list the child's program would not read as it is, said why; else empty.
QString listProblem(const QString &path)
{
    const WordListFile list = loadWordList(path);
    if (!list.opened)
        return QStringLiteral("non si legge come elenco di parole");
    if (list.tooBig)
        return tooBigList();
    return refusedWord(list.list);
}

QString listProblem(const QByteArray &bytes)
{
    return bytes.size() > WordListFile::kMaxFileBytes ? tooBigList() : refusedWord(readWordList(bytes));
}

detail::Filled extractEntry(Extraction &x, const Entry &entry)
{
    const QString path = x.work + QLatin1Char('/') + entry.name;
    zip_file_t *in = zip_fopen_index(x.zip, entry.index, 0);
    if (!in)
        return {refusal(x.archive, entry.name, QStringLiteral("non si legge: il file è rovinato"))};
    // O_EXCL and O_NOFOLLOW: whatever slipped past the checks never replaces or follows anything.
    const int out = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           0644);
    if (out < 0) {
        const int error = errno;
        zip_fclose(in);
        return {{}, error, path};
    }
    detail::Filled done = closeEntry(
        x, entry, in, streamEntry(x, entry, in, [out](const char *data, qint64 size) {
            return writeAll(out, data, size);
        }));
    if (::close(out) != 0 && done.message.isEmpty() && done.error == 0)
        done = {{}, errno, path};
    if (done.message.isEmpty() && done.error == 0 && entry.name.startsWith(QLatin1String("testi/")))
        if (const QString why = listProblem(path); !why.isEmpty())
            done = {refusal(x.archive, entry.name, why)};
    return done;
}

detail::Filled extractAll(Extraction &x, const Survey &found)
{
    for (const QString &folder : kFolders)
        if (::mkdir(QFile::encodeName(x.work + QLatin1Char('/') + folder).constData(), 0755) != 0)
            return {{}, errno, x.work + QLatin1Char('/') + folder};
    for (const Entry &entry : found.files) {
        if (entry.name == kManifest)
            continue;
        if (detail::Filled done = extractEntry(x, entry); !done.message.isEmpty() || done.error != 0)
            return done;
    }
    if (const int error = detail::flushFileSystem(x.work))
        return {{}, error, x.work};
    return {};
}

detail::Filled readEntry(Extraction &x, const Entry &entry, QByteArray &bytes)
{
    zip_file_t *in = zip_fopen_index(x.zip, entry.index, 0);
    if (!in)
        return {refusal(x.archive, entry.name, QStringLiteral("non si legge: il file è rovinato"))};
    bytes.reserve(entry.size);
    detail::Filled done = closeEntry(x, entry, in, streamEntry(x, entry, in, [&bytes](const char *data, qint64 size) {
        bytes.append(data, size);
        return 0;
    }));
    if (done.message.isEmpty() && entry.name.startsWith(QLatin1String("testi/")))
        if (const QString why = listProblem(bytes); !why.isEmpty())
            done = {refusal(x.archive, entry.name, why)};
    return done;
}

// Every picture and voice judged as the child's program would take it, one
// at a time in memory, before anything is written.
QString mediaProblem(Extraction &x, const Survey &found)
{
    const Progress progress = std::exchange(x.progress, Progress());
    for (const Entry &entry : found.files) {
        if (!isMediaEntry(entry.name))
            continue;
        QByteArray bytes;
        if (const detail::Filled done = readEntry(x, entry, bytes); !done.message.isEmpty())
            return done.message;
        if (const QString why = importedFileFault(entry.name, bytes); !why.isEmpty())
            return refusal(x.archive, entry.name, why);
    }
    x.done = 0;
    x.progress = progress;
    return {};
}

} // namespace

ArchiveContents readCopyFile(const QString &archive, const ArchiveLimits &limits)
{
    ZipCloser zip;
    const Survey found = openChecked(archive, limits, zip);
    if (!found.problem.isEmpty())
        return {{}, found.problem};
    Extraction x{zip.zip, archive, {}, found.bytes, 0, {}};
    ArchiveContents contents;
    for (const Entry &entry : found.files) {
        if (entry.name == kManifest)
            continue;
        QByteArray bytes;
        if (const detail::Filled done = readEntry(x, entry, bytes); !done.message.isEmpty())
            return {{}, done.message};
        contents.files.insert(entry.name, bytes);
    }
    return contents;
}

CopyResult importCopy(const QString &programFolder, const QString &archive, const QString &target,
                      const QString &displayName, const Progress &progress, const ArchiveLimits &limits)
{
    ZipCloser zip;
    const Survey found = openChecked(archive, limits, zip);
    if (!found.problem.isEmpty())
        return failure(found.problem);
    Extraction x{zip.zip, archive, {}, found.bytes, 0, progress};
    if (const QString problem = mediaProblem(x, found); !problem.isEmpty())
        return failure(problem);
    return detail::makeCopyWith(programFolder, target, displayName, found.bytes, [&x, &found](const QString &work) {
        x.work = work;
        return extractAll(x, found);
    });
}

CopyResult importCopyForEveryone(const QString &programFolder, const QString &archive, const QString &target,
                                 const QString &menuFolder, ExistingCopy existing, const Progress &progress,
                                 const ArchiveLimits &limits)
{
    ZipCloser zip;
    const Survey found = openChecked(archive, limits, zip);
    const bool update = existing == ExistingCopy::Update && isCopyFolder(absoluteClean(target));
    const auto refused = [&](const QString &why) {
        return failure(update ? QStringLiteral("%1 La copia in %2 non è stata aggiornata ed è rimasta com'era.")
                                    .arg(why, absoluteClean(target))
                              : why);
    };
    if (!found.problem.isEmpty())
        return refused(found.problem);
    Extraction x{zip.zip, archive, {}, found.bytes, 0, progress};
    if (const QString problem = mediaProblem(x, found); !problem.isEmpty())
        return refused(problem);
    const auto fill = [&x, &found](const QString &work) {
        x.work = work;
        return extractAll(x, found);
    };
    // Every folder and file made from here on readable by all, whatever the
    // administrator's own mask: only the command line calls this, on its one thread.
    const mode_t before = ::umask(022);
    CopyResult made = update ? detail::replaceCopyWith(programFolder, target, found.bytes, fill, menuFolder)
                             : detail::makeCopyWith(programFolder, target, {}, found.bytes, fill, menuFolder);
    ::umask(before);
    if (made.ok && update)
        made.message = QStringLiteral("Fatto: la copia per tutti in %1 è aggiornata con il file %2 (l'impostazione "
                                      "della scuola, se c'era, è rimasta).\nOgni utente trova nel menu del desktop "
                                      "\"%3\"; i risultati dei bambini restano di ciascun utente.")
                           .arg(made.copy.folder, archive, made.copy.name);
    else if (made.ok)
        made.message = QStringLiteral("Fatto: la copia per tutti è in %1, fatta con il file %2.\nOgni utente trova "
                                      "nel menu del desktop \"%3\"; i risultati dei bambini restano di ciascun utente.")
                           .arg(made.copy.folder, archive, made.copy.name);
    return made;
}

} // namespace zampli::copies
