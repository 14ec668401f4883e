// SPDX-License-Identifier: GPL-3.0-or-later
#include "school/SchoolSetting.h"

#include "safefile/CappedFile.h"
#include "safefile/SystemError.h"
#include "safefile/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace zampli {

namespace {

constexpr qint64 kMaxBytes = 16 * 1024; // a few lines; anything larger is not ours

const QString kHeader = QStringLiteral(
    "# Il server della scuola di questa copia di ZAMPLI: vi vanno le risposte dei bambini.\n"
    "# Si cambia con «zampli-copia --scuola» o dalla scheda Scuola di ZAMPLI per l'insegnante.\n");

} // namespace

QString schoolSettingPath(const QString &copyFolder)
{
    return QDir(copyFolder).filePath(QStringLiteral("scuola.conf"));
}

bool hasSchoolSetting(const QString &copyFolder)
{
    return QFileInfo::exists(schoolSettingPath(copyFolder));
}

std::optional<SchoolSetting> readSchoolSetting(const QString &copyFolder, QString *error)
{
    const QString path = schoolSettingPath(copyFolder);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return std::nullopt;
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Il file della scuola %1 %2.").arg(QDir::toNativeSeparators(path), why);
        return std::nullopt;
    };
    CappedFile file = CappedFile::open(path, kMaxBytes);
    if (!file.isOpen())
        return fail(file.refusal());
    const std::optional<QByteArray> bytes = file.read(kMaxBytes);
    if (!bytes)
        return fail(QStringLiteral("non si legge"));
    SchoolSetting s;
    const QList<QByteArray> lines = bytes->split('\n');
    for (const QByteArray &raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (eq < 0)
            return fail(QStringLiteral("ha una riga senza «=»: «%1»").arg(line.left(40)));
        if (key == QLatin1String("connessione"))
            s.connection = value;
        else if (key == QLatin1String("copia"))
            s.copyId = value;
        else
            return fail(QStringLiteral("ha una riga che ZAMPLI non conosce: «%1»").arg(key.left(40)));
    }
    static const QRegularExpression id(QStringLiteral("^[0-9a-f]{32}$"));
    if (s.connection.isEmpty())
        return fail(QStringLiteral("non dice a quale server collegarsi"));
    if (!id.match(s.copyId).hasMatch())
        return fail(QStringLiteral("non ha il nome della copia (32 cifre esadecimali)"));
    return s;
}

bool writeSchoolSetting(const QString &copyFolder, const SchoolSetting &setting, QString *error)
{
    const QString path = schoolSettingPath(copyFolder);
    if (setting.connection.trimmed().isEmpty()) {
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return true;
        if (QFile::remove(path))
            return true;
        if (error)
            *error = QStringLiteral("Non riesco a togliere %1: controlla di poter scrivere nella cartella della copia.")
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (setting.connection.contains(QLatin1Char('\n')) || setting.copyId.contains(QLatin1Char('\n'))) {
        if (error)
            *error = QStringLiteral("La connessione va scritta su una riga sola.");
        return false;
    }
    const QByteArray bytes = (kHeader + QStringLiteral("connessione=") + setting.connection.trimmed() +
                              QStringLiteral("\ncopia=") + setting.copyId + QLatin1Char('\n'))
                                 .toUtf8();
    const WholeWrite w = writeWhole(path, bytes);
    if (w.ok()) {
        // Every account of the computer reads it: the copy may be shared.
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                        QFileDevice::ReadOther);
        return true;
    }
    if (error)
        *error = QStringLiteral("Non riesco a scrivere %1: %2.").arg(QDir::toNativeSeparators(path), w.reason);
    return false;
}

QString newCopyId()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString out;
    for (quint32 w : words)
        out += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0'));
    return out;
}

} // namespace zampli
