// SPDX-License-Identifier: GPL-3.0-or-later
#include "copies/ArchiveFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <sys/stat.h>

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

namespace {

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

QString openProblem(const QString &archive, int error)
{
    if (error == ZIP_ER_NOZIP || error == ZIP_ER_INCONS)
        return notACopyFile(archive, QStringLiteral("non è un archivio ZIP, o è rovinato"));
    return QStringLiteral("Non riesco a leggere %1: non è stato scritto nulla. Controllate che il file sia "
                          "vostro e intero (per esempio copiandolo di nuovo dalla chiavetta), poi riprovate.")
        .arg(archive);
}

} // namespace

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

} // namespace zampli::copies::detail
