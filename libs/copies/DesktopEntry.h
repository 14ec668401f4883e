// SPDX-License-Identifier: GPL-3.0-or-later
// A copy's menu entry as text: written for any folder name, read back for
// the list of copies.
#pragma once

#include <QString>

namespace zampli::copies::detail {

// The file names of copies' entries start with this: "<product id>.Copia_".
QString entryPrefix();

// The whole .desktop file that starts `folder`/zampli from `folder`.
QByteArray entryText(const QString &folder, const QString &name);

struct ReadEntry {
    QString name;
    QString folder; // empty when the text is no copy's entry
};
ReadEntry readEntry(const QByteArray &text);

} // namespace zampli::copies::detail
