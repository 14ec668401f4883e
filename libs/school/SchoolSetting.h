// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace zampli {

// What a copy says about its school's server. It lies in the copy's folder,
// so a copy shared by every account of a computer carries it to all of them.
// The connection holds the computers' password: that role may only add
// answers, so whoever reads the file can open nothing with it.
struct SchoolSetting {
    QString connection; // as libpq reads it: "host=… dbname=… user=… password=…"
    QString copyId;     // made once when the copy is given a server; part of every session's key
};

// The file's name in a copy's folder.
QString schoolSettingPath(const QString &copyFolder);

// True when the copy has a server: what the child's program asks before it
// loads anything of the client library.
bool hasSchoolSetting(const QString &copyFolder);

// The copy's setting; none without a file. A file that cannot be read or is
// not ours gives none too, with the reason in `error`.
std::optional<SchoolSetting> readSchoolSetting(const QString &copyFolder, QString *error = nullptr);

// Writes the setting whole, readable by every account; an empty connection
// removes the file. False, with the reason, when the folder takes no file.
bool writeSchoolSetting(const QString &copyFolder, const SchoolSetting &setting, QString *error = nullptr);

// A new random copy id: 32 hexadecimal digits.
QString newCopyId();

} // namespace zampli
