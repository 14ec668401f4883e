// SPDX-License-Identifier: GPL-3.0-or-later
// A class's database on the tests' own PostgreSQL server, prepared as
// "zampli-copia --scuola-prepara" prepares it, and answers as the child's
// program delivers them.
#pragma once

#include "PgServer.h"

#include "school/PgConnection.h"
#include "school/ServerSchema.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zampli::test {

// Answers `from`..`to` of one session, as zampli.deliver() takes them: the
// vowel E heard, a face chosen, every odd one right.
inline QByteArray heardAnswers(int from, int to)
{
    QJsonArray list;
    for (int seq = from; seq <= to; ++seq)
        list.append(QJsonObject{{"seq", seq}, {"at_ms", 1765000000000LL + seq * 1000}, {"window", "FormZampli3"},
                                {"turn", seq}, {"asked", "E"}, {"asked_as", "voce"}, {"asked_style", 0},
                                {"chosen", seq % 2 ? "E" : "I"}, {"chosen_as", "faccia"}, {"chosen_style", 0},
                                {"right", seq % 2}, {"answer_ms", 900}});
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

// A connection to the class's database as `role`, the server's owner when none is given.
inline PgParams classAs(const PgServer &server, const QString &role = {}, const QString &password = {})
{
    const auto p = parseConnection(
        server.connection(QStringLiteral("classe"), role.isEmpty() ? server.superuser() : role, password));
    if (!p)
        qFatal("the test's own connection does not parse");
    return *p;
}

// Starts `server` and prepares its database "classe", as its owner, in the
// school's time zone `zone` when one is given. Empty once done, else why.
inline QString prepareClass(PgServer &server, PreparedSchool &made, const QString &zone = {})
{
    QString why = server.start();
    if (!why.isEmpty())
        return why;
    bool ok = false;
    server.sql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE classe"), &ok);
    if (!ok)
        return QStringLiteral("cannot create the database: ") + server.log();
    PgConnection db;
    if (!db.open(classAs(server)))
        return QStringLiteral("the owner does not get in: ") + db.error();
    if (!zone.isEmpty() && !db.run(QStringLiteral("SET TimeZone = '%1'").arg(zone).toUtf8().constData()))
        return db.error();
    return prepareSchool(db, made, why) ? QString() : why;
}

} // namespace zampli::test
