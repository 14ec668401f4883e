// SPDX-License-Identifier: GPL-3.0-or-later
// What a copy's file holds, and the checks every entry of a stranger's one
// passes before anything is read out of it: shared by the import and the
// export, never by the programs.
#pragma once

#include "copies/CopyArchive.h"
#include "copies/CopyMaking.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <zip.h>

namespace zampli::copies::detail {

inline const QString kManifest = QStringLiteral("zampli.txt");
// Raised when a copy's file holds something an older program could not use.
inline constexpr int kFormat = 1;
inline const QByteArray kManifestText =
    QByteArrayLiteral("ZAMPLI: una copia\nformato=") + QByteArray::number(kFormat) + '\n';
inline constexpr qint64 kManifestMaxBytes = 4096;

inline const QStringList kFolders = {QStringLiteral("testi"), QStringLiteral("jpg"), QStringLiteral("voci"),
                                     QStringLiteral("suoni")};

// The files a copy uses: each media folder's own kind, directly inside it.
// The extension's case is forgiven, as the program forgives it.
bool isMediaName(const QString &name);

// Why `archive` is not imported: its `entry`, made visible (a name from a
// stranger's file may hold control characters), and what is wrong with it.
QString refusal(const QString &archive, const QString &entry, const QString &why);

struct ZipCloser {
    zip_t *zip = nullptr;
    ~ZipCloser()
    {
        if (zip)
            zip_discard(zip);
    }
};

// One entry that passed every check.
struct Entry {
    zip_uint64_t index = 0;
    QString name;
    qint64 size = 0; // declared
};

struct Survey {
    QList<Entry> files;
    qint64 bytes = 0;
    QString problem;
};

// Opens `archive` into `zip` and checks every entry (its name, its kind, its
// size and where its data lies) and the format: the entries to take, or the problem.
Survey openChecked(const QString &archive, const ArchiveLimits &limits, ZipCloser &zip);

} // namespace zampli::copies::detail
