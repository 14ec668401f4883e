// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli::copytool {

// --scuola-prepara: makes the class's tables and roles on an empty database,
// as its owner; prints the roles, the teacher's password and the line that
// gives copies the server. The exit status.
int prepareSchoolDatabase(const QString &connection);

// --scuola: gives the copy in `copyFolder` the server (an empty connection
// takes it away), once the server was found ready for it. The exit status.
int setCopySchool(const QString &connection, const QString &copyFolder);

} // namespace zampli::copytool
