// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "school/PgConnection.h"

#include <QString>
#include <optional>

namespace zampli::teacher {

// The school's server as the teacher reaches it: the copy's server, the
// database and role she wrote in Scuola (the role by default <db>_insegnante),
// her password from ~/.pgpass, or as she typed it in this run: kept in
// memory only, never written anywhere.
struct SchoolPlace {
    QString host;
    QString port;
    QString database;
    QString role;
    QString sslmode;
    QString sslrootcert;
};

// What she wrote last in Scuola, kept in the program's settings; a copy's
// server fills in what she never wrote.
SchoolPlace savedPlace();
void savePlace(const SchoolPlace &place);

// The place of a copy's server, from its scuola.conf, with her role; none
// when the copy has no server or its file cannot be read (the reason in `why`).
std::optional<SchoolPlace> copyPlace(const QString &copyFolder, QString *why = nullptr);

// The connection for her role at `place`, without any password: libpq's own
// ways (~/.pgpass) or the one she typed fill it in.
std::optional<PgParams> teacherParams(const SchoolPlace &place, QString *why = nullptr);

// The password she typed in this run for `role`; empty when none.
QByteArray typedPassword(const QString &role);
void rememberPassword(const QString &role, const QByteArray &password);

// Opens her connection; false with trouble() and error() set on `db`.
bool openAsTeacher(PgConnection &db, const PgParams &params, int timeoutSeconds = 5);

} // namespace zampli::teacher
