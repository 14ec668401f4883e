// SPDX-License-Identifier: GPL-3.0-or-later
#include "copies/ArchiveFormat.h"
#include "copies/ZipDirectory.h"

#include "media/Printable.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zampli::copies::detail {

bool isMediaName(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(testi/[^/]+\\.[tT][xX][tT]|jpg/[^/]+\\.[jJ][pP][gG]|(voci|suoni)/[^/]+\\.[wW][aA][vV])$"));
    return pattern.match(name).hasMatch();
}

namespace {

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

} // namespace

QString refusal(const QString &archive, const QString &entry, const QString &why)
{
    return QStringLiteral("Non importo %1: «%2» %3. Non è stato scritto nulla. Usa un file fatto con «Esporta la "
                          "copia…» di ZAMPLI; se viene da qualcuno che conosci, chiedigli di esportare di nuovo la "
                          "copia.")
        .arg(archive, visible(entry), why);
}

namespace {

QString notACopyFile(const QString &archive, const QString &why)
{
    return QStringLiteral("%1 non è un file di copia di ZAMPLI (%2): non è stato scritto nulla. Scegli un file "
                          "fatto con «Esporta la copia…», che finisce con %3.")
        .arg(archive, why, QLatin1String(kCopyFileSuffix));
}

QString megabytes(qint64 bytes)
{
    return QStringLiteral("%1 MB").arg(QLocale(QLocale::Italian).toString(bytes / 1'000'000));
}

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

// Stored pictures keep their size, and voices and lists deflate to a half or
// a third; only runs of one byte reach deflate's 1,000:1. Up to a megabyte
// passes whatever its ratio: a short silence compresses that well, and a
// megabyte fills no disk.
constexpr quint64 kMaxRatio = 100;
constexpr quint64 kRatioAllowance = 1'000'000;

bool inflatesTooMuch(quint64 size, quint64 compressed)
{
    return size > kRatioAllowance && (size - kRatioAllowance) / kMaxRatio > compressed;
}

QString bytesText(quint64 bytes)
{
    return QLocale(QLocale::Italian).toString(bytes);
}

// The entry's name into `name`, and why it cannot be trusted. Bytes past
// ASCII are letters only where the entry says its name is UTF-8 and it is:
// without the flag ZIP takes them for an old DOS code page, and each program
// would read another name.
QString decodeName(const ZipPlace &place, QString &name)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    name = utf8.decode(place.name);
    if (utf8.hasError())
        return QStringLiteral("ha un nome che non è scritto in UTF-8 (qui le lettere illeggibili sono mostrate come "
                              "\uFFFD)");
    if (!place.utf8 && std::any_of(place.name.begin(), place.name.end(), [](char c) { return uchar(c) >= 0x80; }))
        return QStringLiteral("ha nel nome lettere accentate che il file non dichiara scritte in UTF-8, e altri "
                              "programmi le leggerebbero diverse");
    return {};
}

// One name for the program whatever its case or the way its accents are
// written (à as one character or as a followed by a combining accent).
QString sameNameKey(const QString &name)
{
    return name.normalized(QString::NormalizationForm_D).toCaseFolded().normalized(QString::NormalizationForm_C);
}

// The checks of one entry's name, kind and size, in the order a stranger's
// file is most likely to fail them. `seen` holds the names before it.
QString entryProblem(zip_t *zip, zip_uint64_t index, const zip_stat_t &stat, const QString &name,
                     QSet<QString> &seen)
{
    // What would not show as itself in a message: a control character, a line
    // separator, or a mark that turns the direction of writing.
    if (visible(name) != name)
        return QStringLiteral("ha nel nome un a capo, un altro carattere di controllo o un segno che cambia la "
                              "direzione della scrittura");
    if (climbsOut(name))
        return QStringLiteral("porterebbe fuori dalla cartella della copia");
    const bool folder = name.endsWith(QLatin1Char('/'));
    if (const QString type = typeProblem(zip, index, folder); !type.isEmpty())
        return type;
    const QString key = sameNameKey(folder ? name.chopped(1) : name);
    if (seen.contains(key))
        return QStringLiteral("c'è due volte (contando uguali le maiuscole e le minuscole, e le lettere accentate "
                              "scritte in due modi)");
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

// Where the entry's data lies, from the file's own bytes: shared with
// another entry or reaching into the index, a few kilobytes could write gigabytes.
QString placeProblem(const ZipDirectory &directory, qsizetype index)
{
    if (index != directory.entry)
        return {};
    if (directory.fault == ZipDirectory::Fault::Overlap) {
        QString other;
        decodeName(directory.entries[directory.other], other);
        return QStringLiteral("ha i dati in comune con «%1»: il file è rovinato o fatto per ingannare")
            .arg(visible(other));
    }
    return QStringLiteral("ha i dati sopra l'indice dell'archivio: il file è rovinato o fatto per ingannare");
}

// What the entry would write, against the limits, from its declared sizes.
QString sizeProblem(const ZipPlace &place, const ArchiveLimits &limits)
{
    if (place.size > quint64(limits.fileBytes))
        return QStringLiteral("è più grande dei %1 che un'immagine, una voce o un elenco può avere")
            .arg(megabytes(limits.fileBytes));
    if (inflatesTooMuch(place.size, place.compressed))
        return QStringLiteral("occupa %1 byte nel file ma ne scriverebbe %2, più di %3 volte tanto: nessuna "
                              "immagine, voce o elenco vero si comprime così")
            .arg(bytesText(place.compressed), bytesText(place.size), bytesText(kMaxRatio));
    return {};
}

Survey survey(zip_t *zip, int fd, const QString &archive, const ArchiveLimits &limits)
{
    Survey found;
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    if (count > limits.entries) {
        found.problem = QStringLiteral("Non importo %1: contiene %2 file, più dei %3 che una copia può avere. Non è "
                                       "stato scritto nulla. Usa un file fatto con «Esporta la copia…» di ZAMPLI.")
                            .arg(archive, QLocale(QLocale::Italian).toString(count),
                                 QLocale(QLocale::Italian).toString(limits.entries));
        return found;
    }
    const ZipDirectory directory = readZipDirectory(fd);
    if (directory.fault == ZipDirectory::Fault::Inconsistent || directory.entries.size() != count) {
        found.problem = notACopyFile(archive, QStringLiteral("il suo indice non corrisponde al contenuto, o è "
                                                             "rovinato"));
        return found;
    }
    QSet<QString> seen;
    quint64 compressed = 0;
    for (zip_uint64_t index = 0; index < zip_uint64_t(count); ++index) {
        const ZipPlace &place = directory.entries[qsizetype(index)];
        QString name;
        const QString encoding = decodeName(place, name);
        zip_stat_t stat;
        // libzip must read the entry the directory describes: a second name
        // in an extra field, or other sizes, would put another file under it.
        const char *raw = zip_get_name(zip, index, ZIP_FL_ENC_RAW);
        QString why;
        if (!raw || QByteArray(raw) != place.name || zip_stat_index(zip, index, ZIP_FL_ENC_RAW, &stat) != 0
            || stat.size != place.size || stat.comp_size != place.compressed)
            why = QStringLiteral("non si legge: il file è rovinato");
        else if (!encoding.isEmpty())
            why = encoding;
        else
            why = entryProblem(zip, index, stat, name, seen);
        if (why.isEmpty())
            why = placeProblem(directory, qsizetype(index));
        if (why.isEmpty() && !name.endsWith(QLatin1Char('/')))
            why = sizeProblem(place, limits);
        if (!why.isEmpty()) {
            found.problem = refusal(archive, name, why);
            return found;
        }
        if (name.endsWith(QLatin1Char('/')))
            continue;
        // Each entry is within the file cap here, so the sums cannot overflow.
        found.bytes += qint64(place.size);
        compressed += place.compressed;
        if (found.bytes > limits.bytes) {
            found.problem = refusal(archive, name, QStringLiteral("porta il contenuto oltre %1, più di quanto una "
                                                                  "copia possa occupare").arg(megabytes(limits.bytes)));
            return found;
        }
        // Many small entries each under the allowance would add up to the same flood.
        if (inflatesTooMuch(quint64(found.bytes), compressed)) {
            found.problem = refusal(archive, name, QStringLiteral("porta il contenuto a più di %1 volte i byte che "
                                                                  "occupa nel file: nessuna copia vera si comprime "
                                                                  "così").arg(bytesText(kMaxRatio)));
            return found;
        }
        found.files << Entry{index, name, qint64(place.size)};
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
                              "Aggiorna ZAMPLI, poi importalo di nuovo.")
            .arg(archive);
    return {};
}

QString openProblem(const QString &archive, int error)
{
    if (error == ZIP_ER_NOZIP || error == ZIP_ER_INCONS)
        return notACopyFile(archive, QStringLiteral("non è un archivio ZIP, o è rovinato"));
    return QStringLiteral("Non riesco a leggere %1: non è stato scritto nulla. Controlla che il file sia tuo e "
                          "intero (per esempio copiandolo di nuovo dalla chiavetta), poi riprova.")
        .arg(archive);
}

struct FileCloser {
    int fd = -1;
    ~FileCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

Survey openChecked(const QString &archive, const ArchiveLimits &limits, ZipCloser &zip)
{
    Survey found;
    // Never a pipe, which would hang the reading, nor through a link.
    FileCloser file{::open(QFile::encodeName(archive).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    struct stat info;
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        found.problem = file.fd < 0 && errno != ENOENT && errno != ELOOP && errno != ENOTDIR
                            ? openProblem(archive, ZIP_ER_OPEN)
                            : QStringLiteral("%1 non c'è o non è un file: scegli il file della copia (finisce con "
                                             "%2).").arg(archive, QLatin1String(kCopyFileSuffix));
        return found;
    }
    // libzip reads the very file whose directory is checked here, through its own descriptor.
    const int own = ::fcntl(file.fd, F_DUPFD_CLOEXEC, 0);
    int error = 0;
    zip.zip = own < 0 ? nullptr : zip_fdopen(own, 0, &error);
    if (!zip.zip) {
        if (own >= 0)
            ::close(own);
        found.problem = openProblem(archive, error);
        return found;
    }
    found = survey(zip.zip, file.fd, archive, limits);
    if (found.problem.isEmpty())
        found.problem = formatProblem(zip.zip, found, archive);
    return found;
}

} // namespace zampli::copies::detail
