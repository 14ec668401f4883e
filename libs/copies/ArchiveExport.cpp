// SPDX-License-Identifier: GPL-3.0-or-later
// A copy's media written into one file to carry elsewhere.
#include "copies/CopyArchive.h"

#include "copies/ArchiveFormat.h"
#include "copies/TreeCopy.h"
#include "copies/WorkFolder.h"

#include "safefile/SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace zampli::copies {

using namespace detail;

namespace {

struct ExportState {
    Progress progress;
    qint64 total = 0;
    double part = 0; // of the work done, as libzip tells it
    bool stopped = false;
};

QString writeProblem(const QString &archive, const QString &why)
{
    return QStringLiteral("Non riesco a scrivere %1 (%2): il file non è stato fatto. Controlla che la cartella sia "
                          "tua e che i file della copia si leggano, poi riprova.")
        .arg(archive, why);
}

QString exportProblem(zip_t *zip, const QString &archive, bool stopped)
{
    if (stopped)
        return QStringLiteral("L'esportazione è stata fermata: %1 non è stato scritto.").arg(archive);
    zip_error_t *error = zip_get_error(zip);
    const int system = zip_error_code_system(error);
    if (zip_error_system_type(error) == ZIP_ET_SYS && detail::isDiskFull(system))
        return QStringLiteral("Spazio su disco esaurito: %1 non è stato scritto. Libera spazio o scegli un altro "
                              "disco, poi riprova.").arg(archive);
    const QString why = zip_error_system_type(error) == ZIP_ET_SYS ? systemErrorText(system)
                                                                    : QStringLiteral("errore dell'archivio");
    return writeProblem(archive, why);
}

// Pictures are compressed already: stored, they cost no time for nothing.
bool addFile(zip_t *zip, const detail::FileToCopy &file)
{
    zip_source_t *source = zip_source_file(zip, QFile::encodeName(file.source).constData(), 0, -1);
    if (!source)
        return false;
    const zip_int64_t index = zip_file_add(zip, file.relative.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    const bool picture = file.relative.startsWith(QLatin1String("jpg/"));
    return zip_set_file_compression(zip, zip_uint64_t(index), picture ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) == 0
           && zip_file_set_external_attributes(zip, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                               zip_uint32_t(S_IFREG | 0644) << 16) == 0;
}

bool addManifest(zip_t *zip)
{
    zip_source_t *source = zip_source_buffer(zip, kManifestText.constData(), zip_uint64_t(kManifestText.size()), 0);
    if (source && zip_file_add(zip, kManifest.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) >= 0)
        return true;
    zip_source_free(source);
    return false;
}

// Two files whose names differ only in case: the program would take either.
QString caseTwins(const QList<detail::FileToCopy> &files, const QString &folder)
{
    QHash<QString, QString> seen;
    for (const detail::FileToCopy &file : files) {
        if (!isMediaName(file.relative))
            continue;
        const QString key = file.relative.toCaseFolded();
        if (const auto twin = seen.constFind(key); twin != seen.constEnd())
            return QStringLiteral("In %1 ci sono %2 e %3, che ZAMPLI non distingue (contano uguali le maiuscole e le "
                                  "minuscole): la copia non è stata esportata. Togli o rinomina uno dei due, poi "
                                  "riprova.").arg(folder, *twin, file.relative);
        seen.insert(key, file.relative);
    }
    return {};
}

} // namespace

CopyResult exportCopy(const QString &folder, const QString &archive, const Progress &progress)
{
    if (!QFileInfo(folder + QStringLiteral("/testi")).isDir())
        return failure(QStringLiteral("%1 non è una copia di ZAMPLI (manca la cartella testi): non c'è nulla da "
                                      "esportare.").arg(folder));
    if (QFileInfo(archive).isDir())
        return failure(QStringLiteral("%1 è una cartella: scegli il nome del file da scrivere.").arg(archive));
    const detail::CopyPlan plan = detail::planCopy(folder, {}, kFolders);
    if (!plan.notUtf8.isEmpty())
        return failure(QStringLiteral("Il nome di %1 non è scritto in UTF-8 (qui le lettere illeggibili sono mostrate "
                                      "come \uFFFD): la copia non è stata esportata. Rinominalo con lettere comuni, "
                                      "poi riprova.").arg(plan.notUtf8.first()));
    if (const QString twins = caseTwins(plan.files, folder); !twins.isEmpty())
        return failure(twins);
    // The file grows in a hidden work folder beside it, locked while this
    // program runs: a killed export leaves nothing in sight, and the next
    // one in the folder (or a copy made there) takes what it left away.
    const QString parent = QFileInfo(archive).absolutePath();
    removeStaleWork(parent);
    WorkFolder work;
    if (const int error = work.make(parent))
        return failure(writeProblem(archive, systemErrorText(error)));
    // A short name: the archive's own may be as long as the file system takes.
    const QString partial = work.path + QStringLiteral("/copia.zampli");
    int error = 0;
    ZipCloser zip{zip_open(QFile::encodeName(partial).constData(), ZIP_CREATE | ZIP_EXCL, &error)};
    if (!zip.zip)
        return failure(QStringLiteral("Non riesco a scrivere %1: scegli una cartella tua, poi riprova.").arg(archive));
    ExportState state{progress, plan.bytes};
    zip_register_progress_callback_with_state(
        zip.zip, 0.001, [](zip_t *, double part, void *data) { static_cast<ExportState *>(data)->part = part; },
        nullptr, &state);
    zip_register_cancel_callback_with_state(
        zip.zip,
        [](zip_t *, void *data) {
            auto *s = static_cast<ExportState *>(data);
            s->stopped = s->stopped || (s->progress && !s->progress(qint64(s->part * double(s->total)), s->total));
            return s->stopped ? 1 : 0;
        },
        nullptr, &state);
    bool added = addManifest(zip.zip);
    for (const detail::FileToCopy &file : plan.files)
        added = added && (!isMediaName(file.relative) || addFile(zip.zip, file));
    if (!added || zip_close(zip.zip) != 0)
        return failure(exportProblem(zip.zip, archive, state.stopped));
    zip.zip = nullptr;
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(archive).constData()) != 0)
        return failure(writeProblem(archive, systemErrorText(errno)));
    return {true, {folder, {}, {}}, QStringLiteral("Fatto: la copia è nel file %1.").arg(archive)};
}

} // namespace zampli::copies
