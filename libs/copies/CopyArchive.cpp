// SPDX-License-Identifier: GPL-3.0-or-later
#include "copies/CopyArchive.h"

#include "copies/CopyMaking.h"
#include "copies/TreeCopy.h"

#include "media/SystemError.h"
#include "wordlist/WordList.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <zip.h>

#include <algorithm>
#include <functional>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zampli::copies {

namespace {

const QString kManifest = QStringLiteral("zampli.txt");
// Raised when a copy's file holds something an older program could not use.
constexpr int kFormat = 1;
const QByteArray kManifestText = QByteArrayLiteral("ZAMPLI: una copia\nformato=") + QByteArray::number(kFormat) + '\n';
constexpr qint64 kManifestMaxBytes = 4096;

const QStringList kFolders = {QStringLiteral("testi"), QStringLiteral("jpg"), QStringLiteral("voci"),
                              QStringLiteral("suoni")};

CopyResult failure(const QString &message) { return {false, {}, message}; }

// The files a copy uses: each media folder's own kind, directly inside it.
// The extension's case is forgiven, as the program forgives it.
bool isMediaName(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(testi/[^/]+\\.[tT][xX][tT]|jpg/[^/]+\\.[jJ][pP][gG]|(voci|suoni)/[^/]+\\.[wW][aA][vV])$"));
    return pattern.match(name).hasMatch();
}

// What would land outside the new folder, on Linux or on Windows.
bool climbsOut(const QString &name)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || drive.match(name).hasMatch())
        return true;
    const QStringList parts = name.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i)
        // A trailing slash marks a folder; an empty part anywhere else is "//".
        if (parts[i] == QLatin1String("..") || parts[i] == QLatin1String(".")
            || (parts[i].isEmpty() && i + 1 < parts.size()))
            return true;
    return false;
}

// Names come from a stranger's file: a control character would act on the terminal.
QString shown(const QString &name)
{
    QString out;
    for (const QChar c : name)
        out += c.category() == QChar::Other_Control ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                                                    : QString(c);
    return out;
}

QString refusal(const QString &archive, const QString &entry, const QString &why)
{
    return QStringLiteral("Non importo %1: «%2» %3. Non è stato scritto nulla. Usate un file fatto con «Esporta la "
                          "copia…» di ZAMPLI; se viene da qualcuno che conoscete, chiedetegli di esportare di nuovo "
                          "la copia.")
        .arg(archive, shown(entry), why);
}

QString notACopyFile(const QString &archive, const QString &why)
{
    return QStringLiteral("%1 non è un file di copia di ZAMPLI (%2): non è stato scritto nulla. Scegliete un file "
                          "fatto con «Esporta la copia…», che finisce con %3.")
        .arg(archive, why, QLatin1String(kCopyFileSuffix));
}

QString megabytes(qint64 bytes)
{
    return QStringLiteral("%1 MB").arg(QLocale(QLocale::Italian).toString(bytes / 1'000'000));
}

struct ZipCloser {
    zip_t *zip = nullptr;
    ~ZipCloser()
    {
        if (zip)
            zip_discard(zip);
    }
};

// One entry that passed every check.
struct Entry {
    zip_uint64_t index = 0;
    QString name;
    qint64 size = 0; // declared
};

struct Survey {
    QList<Entry> files;
    qint64 bytes = 0;
    QString problem;
};

// Why the entry is not a plain file or one of the media folders, or empty.
QString typeProblem(zip_t *zip, zip_uint64_t index, bool folder)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(zip, index, 0, &system, &attributes) != 0 || system != ZIP_OPSYS_UNIX)
        return {};
    const mode_t type = (attributes >> 16) & S_IFMT;
    if (type == S_IFLNK)
        return QStringLiteral("è un collegamento simbolico, non un file");
    if (type != 0 && type != (folder ? S_IFDIR : S_IFREG))
        return QStringLiteral("non è un file comune");
    return {};
}

// The checks of one entry's name, kind and size, in the order a stranger's
// file is most likely to fail them. `seen` holds the names before it.
QString entryProblem(zip_t *zip, zip_uint64_t index, const zip_stat_t &stat, const QString &name,
                     QSet<QString> &seen)
{
    if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return QStringLiteral("ha nel nome un a capo o un altro carattere di controllo");
    if (climbsOut(name))
        return QStringLiteral("porterebbe fuori dalla cartella della copia");
    const bool folder = name.endsWith(QLatin1Char('/'));
    if (const QString type = typeProblem(zip, index, folder); !type.isEmpty())
        return type;
    const QString key = (folder ? name.chopped(1) : name).toCaseFolded();
    if (seen.contains(key))
        return QStringLiteral("c'è due volte (anche contando uguali le maiuscole e le minuscole)");
    seen.insert(key);
    if (folder ? !kFolders.contains(name.chopped(1)) : !(isMediaName(name) || name == kManifest))
        return QStringLiteral("non è un file che una copia usa (solo testi/*.txt, jpg/*.jpg, voci/*.wav e "
                              "suoni/*.wav)");
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        return QStringLiteral("è protetto da una password");
    if (!folder && (!(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_COMP_METHOD)
                    || (stat.comp_method != ZIP_CM_STORE && stat.comp_method != ZIP_CM_DEFLATE)))
        return QStringLiteral("è compresso in un modo che ZAMPLI non legge");
    return {};
}

Survey survey(zip_t *zip, const QString &archive, const ArchiveLimits &limits)
{
    Survey found;
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    if (count > limits.entries) {
        found.problem = QStringLiteral("Non importo %1: contiene %2 file, più dei %3 che una copia può avere. Non è "
                                       "stato scritto nulla. Usate un file fatto con «Esporta la copia…» di ZAMPLI.")
                            .arg(archive, QLocale(QLocale::Italian).toString(count),
                                 QLocale(QLocale::Italian).toString(limits.entries));
        return found;
    }
    QSet<QString> seen;
    for (zip_uint64_t index = 0; index < zip_uint64_t(count); ++index) {
        const char *raw = zip_get_name(zip, index, ZIP_FL_ENC_GUESS);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        zip_stat_t stat;
        const QString why = zip_stat_index(zip, index, 0, &stat) != 0
                                ? QStringLiteral("non si legge: il file è rovinato")
                                : entryProblem(zip, index, stat, name, seen);
        if (!why.isEmpty()) {
            found.problem = refusal(archive, name, why);
            return found;
        }
        if (name.endsWith(QLatin1Char('/')))
            continue;
        found.bytes += qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(limits.bytes) + 1));
        if (found.bytes > limits.bytes) {
            found.problem = refusal(archive, name, QStringLiteral("porta il contenuto oltre %1, più di quanto una "
                                                                  "copia possa occupare").arg(megabytes(limits.bytes)));
            return found;
        }
        found.files << Entry{index, name, qint64(stat.size)};
    }
    return found;
}

QString formatProblem(zip_t *zip, const Survey &found, const QString &archive)
{
    const auto manifest = std::find_if(found.files.begin(), found.files.end(),
                                       [](const Entry &e) { return e.name == kManifest; });
    if (manifest == found.files.end())
        return notACopyFile(archive, QStringLiteral("manca %1").arg(kManifest));
    if (manifest->size > kManifestMaxBytes)
        return refusal(archive, kManifest, QStringLiteral("è troppo grande per essere la descrizione di una copia"));
    zip_file_t *file = zip_fopen_index(zip, manifest->index, 0);
    QByteArray text(kManifestMaxBytes + 1, '\0');
    const zip_int64_t read = file ? zip_fread(file, text.data(), zip_uint64_t(text.size())) : -1;
    if (file)
        zip_fclose(file);
    if (read < 0 || read > kManifestMaxBytes)
        return refusal(archive, kManifest, QStringLiteral("non si legge: il file è rovinato"));
    static const QRegularExpression format(QStringLiteral("^formato=([0-9]{1,4})$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = format.match(QString::fromUtf8(text.left(read)));
    if (!match.hasMatch())
        return notACopyFile(archive, QStringLiteral("%1 non dice quale formato ha").arg(kManifest));
    if (match.captured(1).toInt() > kFormat)
        return QStringLiteral("%1 è stato fatto da una versione più nuova di ZAMPLI: non è stato scritto nulla. "
                              "Aggiornate ZAMPLI, poi importatelo di nuovo.")
            .arg(archive);
    return {};
}

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

QString tooBigList()
{
    return QStringLiteral("è troppo grande per un elenco di parole (ZAMPLI ne legge al massimo 1 MB)");
}

QString refusedWord(const WordList &list)
{
    return list.refused.isEmpty()
               ? QString()
               : QStringLiteral("contiene «%1», che non può essere il nome di una parola").arg(shown(list.refused.first()));
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
            return detail::writeAll(out, data, size);
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

QString openProblem(const QString &archive, int error)
{
    if (error == ZIP_ER_NOZIP || error == ZIP_ER_INCONS)
        return notACopyFile(archive, QStringLiteral("non è un archivio ZIP, o è rovinato"));
    return QStringLiteral("Non riesco a leggere %1: non è stato scritto nulla. Controllate che il file sia "
                          "vostro e intero (per esempio copiandolo di nuovo dalla chiavetta), poi riprovate.")
        .arg(archive);
}

// Opens `archive` into `zip` and checks every entry and the format: the
// entries to take, or the problem.
Survey openChecked(const QString &archive, const ArchiveLimits &limits, ZipCloser &zip)
{
    Survey found;
    if (!QFileInfo(archive).isFile()) {
        found.problem = QStringLiteral("%1 non c'è o non è un file: scegliete il file della copia (finisce con %2).")
                            .arg(archive, QLatin1String(kCopyFileSuffix));
        return found;
    }
    int error = 0;
    zip.zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &error);
    if (!zip.zip) {
        found.problem = openProblem(archive, error);
        return found;
    }
    found = survey(zip.zip, archive, limits);
    if (found.problem.isEmpty())
        found.problem = formatProblem(zip.zip, found, archive);
    return found;
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
    return detail::makeCopyWith(programFolder, target, displayName, found.bytes, [&x, &found](const QString &work) {
        x.work = work;
        return extractAll(x, found);
    });
}

namespace {

struct ExportState {
    Progress progress;
    qint64 total = 0;
    double part = 0; // of the work done, as libzip tells it
    bool stopped = false;
};

QString exportProblem(zip_t *zip, const QString &archive, bool stopped)
{
    if (stopped)
        return QStringLiteral("L'esportazione è stata fermata: %1 non è stato scritto.").arg(archive);
    zip_error_t *error = zip_get_error(zip);
    const int system = zip_error_code_system(error);
    if (zip_error_system_type(error) == ZIP_ET_SYS && detail::isDiskFull(system))
        return QStringLiteral("Spazio su disco esaurito: %1 non è stato scritto. Liberate spazio o scegliete un "
                              "altro disco, poi riprovate.").arg(archive);
    const QString why = zip_error_system_type(error) == ZIP_ET_SYS ? systemErrorText(system)
                                                                    : QStringLiteral("errore dell'archivio");
    return QStringLiteral("Non riesco a scrivere %1 (%2): il file non è stato fatto. Controllate che la cartella "
                          "sia vostra e che i file della copia si leggano, poi riprovate.")
        .arg(archive, why);
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
                                  "minuscole): la copia non è stata esportata. Togliete o rinominate uno dei due, "
                                  "poi riprovate.").arg(folder, *twin, file.relative);
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
        return failure(QStringLiteral("%1 è una cartella: scegliete il nome del file da scrivere.").arg(archive));
    const detail::CopyPlan plan = detail::planCopy(folder, {}, kFolders);
    if (!plan.notUtf8.isEmpty())
        return failure(QStringLiteral("Il nome di %1 non è scritto in UTF-8 (qui le lettere illeggibili sono mostrate "
                                      "come \uFFFD): la copia non è stata esportata. Rinominatelo con lettere comuni, "
                                      "poi riprovate.").arg(plan.notUtf8.first()));
    if (const QString twins = caseTwins(plan.files, folder); !twins.isEmpty())
        return failure(twins);
    int error = 0;
    // libzip writes to a temporary file beside the archive and renames it into place at zip_close.
    ZipCloser zip{zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error)};
    if (!zip.zip)
        return failure(QStringLiteral("Non riesco a scrivere %1: scegliete una cartella vostra, poi riprovate.")
                           .arg(archive));
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
    return {true, {folder, {}, {}}, QStringLiteral("Fatto: la copia è nel file %1.").arg(archive)};
}

} // namespace zampli::copies
