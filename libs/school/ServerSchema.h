// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

class PgConnection;

// The roles a class's database gets: named after the database, so that one
// server keeps several classes apart.
struct SchoolRoles {
    QString computers; // adds sessions and answers through zampli.deliver(), reads nothing
    QString teacher;   // reads the class, adds, renames and erases children
    static SchoolRoles of(const QString &database);
};

// What preparing a database made: the passwords of its two roles, shown
// once to whoever prepared it and never stored by ZAMPLI but for the
// computers' one, which the teacher's program reads to give a copy the server.
struct PreparedSchool {
    SchoolRoles roles;
    QString computersPassword;
    QString teacherPassword;
};

// Makes the schema "zampli", its tables, functions and the two roles on an
// empty database, as the database's owner (who may create roles), in one
// transaction: all of it or nothing. False, with the reason in Italian, when
// the database already holds ZAMPLI's schema or the owner may not make roles.
bool prepareSchool(PgConnection &db, PreparedSchool &made, QString &error);

// Empty when the connection's role may hand in answers (a copy's role, or
// the owner's); else why not, in Italian, as a clause: the database is not
// prepared, is of another version, or the role is not the computers'.
QString deliveryRefused(PgConnection &db);

// The version of the schema the server holds; 0 when none.
int schoolSchemaVersion(PgConnection &db);

} // namespace zampli
