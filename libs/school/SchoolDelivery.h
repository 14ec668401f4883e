// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace zampli {

class PgConnection;
class SqliteDb;

// Who sent a session: with the session's uid, the key the server keeps it
// under, so that a session sent twice is kept once.
struct DeliveryKey {
    QString copy;     // the copy's id, from its setting
    QString computer; // thisComputer()
    QString account;  // thisAccount()
};

// This computer as the server tells computers apart: /etc/machine-id, which
// stays when the machine is renamed; the host name where there is none.
QString thisComputer();
// The account the program runs as.
QString thisAccount();

// How a round of delivery ended.
enum class DeliveryOutcome {
    Done,          // the server holds every answer of the file
    ServerTrouble, // `why` says what the server did; recorded in the file
    FileTrouble,   // the results file could not be read or written now
};

// Sends the server, session by session in chunks, what it does not hold of
// `local` (an open results file) and records in the file what it took, each
// chunk in a transaction of its own once the server answered: never a lock
// on the file while the network is waited for. Sessions taken in from
// elsewhere go under the key they came with. `why` is Italian.
DeliveryOutcome deliverWaiting(SqliteDb &local, PgConnection &server, const DeliveryKey &key, QString &why);

// How many answers one call to the server takes at most: a chunk the server
// adds in well under a second, far under its cap of 5000.
inline constexpr int kDeliveryChunk = 2000;

// Records in the file why answers wait (kept since the first failure), or
// that nothing does. False when the file would not take it now.
bool recordDeliveryTrouble(SqliteDb &local, const QString &why, qint64 nowMs);
bool clearDeliveryTrouble(SqliteDb &local);

// The child's program's delivery: a thread of its own that follows the
// results file and sends what the server lacks, with what the copy's setting
// says, retrying with a growing pause while the server is away. The setting
// is read again before each connection, so a corrected one counts without
// a restart. Ends within a moment when destroyed, whatever the network
// does; what is left goes at the next start.
class SchoolDelivery {
public:
    struct Timing {
        int pollMs = 250;        // how often the file is looked at for new answers: as often as the writer writes
        int firstRetryMs = 2000; // after a failure, doubling...
        int lastRetryMs = 60000; // ...up to this
        int connectSeconds = 10;
    };
    // The adult is told through `report`, once a cause.
    using Report = std::function<void(const QString &line)>;

    // `key.copy` is left empty: it is the setting's.
    SchoolDelivery(QString copyFolder, QString resultsPath, DeliveryKey key, Report report);
    SchoolDelivery(QString copyFolder, QString resultsPath, DeliveryKey key, Report report, Timing timing);
    ~SchoolDelivery();
    SchoolDelivery(const SchoolDelivery &) = delete;
    SchoolDelivery &operator=(const SchoolDelivery &) = delete;

private:
    void run();
    // True when the round should be tried again after a pause.
    bool round(SqliteDb &local, PgConnection &server, QString &connectedWith);
    bool stopping();
    void tell(const QString &line);

    const QString copyFolder_;
    const QString resultsPath_;
    DeliveryKey key_;
    const Report report_;
    const Timing timing_;
    int stopFd_ = -1;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    QString told_; // the last line told, not told again
    std::thread thread_;
};

} // namespace zampli
