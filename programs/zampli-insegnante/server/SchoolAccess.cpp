// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/SchoolAccess.h"

#include "school/SchoolSetting.h"
#include "school/ServerSchema.h"

#include <QHash>
#include <QMutex>
#include <QSettings>

namespace zampli::teacher {

namespace {

// Read by the pulling thread too.
QMutex passwordsMutex;
QHash<QString, QByteArray> &passwords()
{
    static QHash<QString, QByteArray> typed;
    return typed;
}

} // namespace

SchoolPlace savedPlace()
{
    QSettings s;
    return {s.value("scuola/server").toString(), s.value("scuola/porta").toString(),
            s.value("scuola/database").toString(), s.value("scuola/ruolo").toString(), {}, {}};
}

void savePlace(const SchoolPlace &place)
{
    QSettings s;
    s.setValue("scuola/server", place.host);
    s.setValue("scuola/porta", place.port);
    s.setValue("scuola/database", place.database);
    s.setValue("scuola/ruolo", place.role);
}

std::optional<SchoolPlace> copyPlace(const QString &copyFolder, QString *why)
{
    const std::optional<SchoolSetting> setting = readSchoolSetting(copyFolder, why);
    if (!setting)
        return std::nullopt;
    const std::optional<PgParams> params = parseConnection(setting->connection, why);
    if (!params)
        return std::nullopt;
    SchoolPlace place{QString::fromUtf8(params->value("host")),        QString::fromUtf8(params->value("port")),
                      QString::fromUtf8(params->value("dbname")),      {},
                      QString::fromUtf8(params->value("sslmode")),     QString::fromUtf8(params->value("sslrootcert"))};
    if (place.host.isEmpty())
        place.host = QString::fromUtf8(params->value("hostaddr"));
    // Her role, when she named one for this database; else the one preparing made.
    const SchoolPlace saved = savedPlace();
    place.role = saved.database == place.database && !saved.role.isEmpty() ? saved.role
                                                                            : SchoolRoles::of(place.database).teacher;
    return place;
}

std::optional<PgParams> teacherParams(const SchoolPlace &place, QString *why)
{
    QStringList parts;
    auto add = [&parts](const char *key, const QString &value) {
        if (!value.trimmed().isEmpty())
            parts << QStringLiteral("%1='%2'").arg(QLatin1String(key),
                                                   QString(value.trimmed())
                                                       .replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
                                                       .replace(QLatin1Char('\''), QStringLiteral("\\'")));
    };
    add("host", place.host);
    add("port", place.port);
    add("dbname", place.database);
    add("user", place.role.isEmpty() ? SchoolRoles::of(place.database).teacher : place.role);
    add("sslmode", place.sslmode);
    add("sslrootcert", place.sslrootcert);
    return parseConnection(parts.join(QLatin1Char(' ')), why);
}

QByteArray typedPassword(const QString &role)
{
    QMutexLocker lock(&passwordsMutex);
    return passwords().value(role);
}

void rememberPassword(const QString &role, const QByteArray &password)
{
    QMutexLocker lock(&passwordsMutex);
    passwords().insert(role, password);
}

bool openAsTeacher(PgConnection &db, const PgParams &params, int timeoutSeconds)
{
    return db.open(params, typedPassword(QString::fromUtf8(params.value("user"))), timeoutSeconds);
}

} // namespace zampli::teacher
