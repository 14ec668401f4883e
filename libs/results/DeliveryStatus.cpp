// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/DeliveryStatus.h"

#include "results/Sqlite.h"

#include <QDateTime>
#include <sqlite3.h>

namespace zampli {

DeliveryStatus deliveryStatus(SqliteDb &db)
{
    DeliveryStatus status;
    // Per session, so that answers the adult erased after they went do not
    // hide others still waiting.
    Statement count(db.handle(), "SELECT coalesce(sum(max(0, a.n - coalesce(d.answers, 0))), 0)"
                                 " FROM (SELECT session_id, count(*) AS n FROM answers GROUP BY session_id) AS a"
                                 " LEFT JOIN delivered AS d ON d.session_id = a.session_id");
    if (count.step() != SQLITE_ROW) {
        status.ok = false;
        return status;
    }
    status.waiting = count.integer(0);
    Statement why(db.handle(), "SELECT waiting_since_ms, tried_ms, reason FROM delivery WHERE one = 1");
    const int rc = why.step();
    if (rc == SQLITE_ROW) {
        status.waitingSinceMs = why.integer(0);
        status.triedMs = why.integer(1);
        status.reason = why.text(2);
    } else if (rc != SQLITE_DONE) {
        status.ok = false;
    }
    return status;
}

QString deliveryText(const DeliveryStatus &s)
{
    if (s.waiting == 0)
        return {};
    const QString count = s.waiting == 1 ? QStringLiteral("1 risposta aspetta")
                                         : QStringLiteral("%1 risposte aspettano").arg(s.waiting);
    if (s.waitingSinceMs == 0)
        return count + QStringLiteral(" di andare al server della scuola: ZAMPLI le manda da solo mentre è aperto.");
    const QString since = QDateTime::fromMSecsSinceEpoch(s.waitingSinceMs).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    return count + QStringLiteral(" dal %1 di andare al server della scuola, perché %2. Restano al sicuro su questo "
                                  "computer e ZAMPLI le manda da solo appena il problema è risolto.")
                       .arg(since, s.reason);
}

} // namespace zampli
