// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

#include <QList>
#include <QString>

namespace zampli {

// The server's children (ids of the server) copied into a copy's own
// results file, each with her server_id: "Ora gioca" on this computer
// chooses from them, and the child's program's sessions carry the server's
// child, with the server away too. A child of the file with the same name
// and no server id yet becomes the server's. One the server no longer has
// (erased there) is erased here with her answers. False, with the reason
// in Italian, when the file cannot be written.
bool copyServerChildren(const QString &resultsFile, const QList<ChildEntry> &serverChildren, QString &error);

// The child of the results file that is the server's `serverId`; 0 when none.
qint64 localChildOf(const QString &resultsFile, qint64 serverId);
// The server's id of the child who plays now in the results file; 0 when nobody or none.
qint64 playingServerChild(const QString &resultsFile);

} // namespace zampli
