// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

struct pg_conn;
struct pg_result;

namespace zampli {

// A connection as ZAMPLI takes it from a copy or from the adult: libpq's own
// words ("host=… dbname=…" or "postgresql://…"), only the keywords below,
// and TLS (sslmode=require or stricter) to any server that is not on this
// computer's Unix socket: the answers are children's. Without an sslmode a
// remote one gets "require".
struct PgParams {
    QList<std::pair<QByteArray, QByteArray>> items;
    QByteArray value(const char *keyword) const;
    bool local() const; // over a Unix socket
    // The same with `keyword` set to `value`, or taken out when `value` is empty.
    PgParams with(const char *keyword, const QByteArray &value) const;
    // As libpq reads it back: "host=… dbname=…", values quoted where needed.
    QString text() const;
};
std::optional<PgParams> parseConnection(const QString &text, QString *error = nullptr);

// One result, freed with it.
class PgResult {
public:
    explicit PgResult(pg_result *r = nullptr) : r_(r) {}
    PgResult(PgResult &&o) noexcept : r_(std::exchange(o.r_, nullptr)) {}
    PgResult &operator=(PgResult &&o) noexcept;
    ~PgResult();
    bool ok() const; // a command or rows
    int rows() const;
    bool isNull(int row, int col) const;
    QString text(int row, int col) const;
    qint64 number(int row, int col) const;
    QByteArray sqlState() const;
    QString message() const;
    pg_result *handle() const { return r_; }

private:
    pg_result *r_;
};

// One connection to a school's server, in the thread that opened it. Every
// parameter comes from the connection given: the environment's PG variables
// count only where the caller left a keyword out on purpose (the teacher's
// own ~/.pgpass).
class PgConnection {
public:
    enum class Trouble { None, Unreachable, Password, Full, Refused };

    PgConnection() = default;
    PgConnection(const PgConnection &) = delete;
    PgConnection &operator=(const PgConnection &) = delete;
    ~PgConnection();

    // A descriptor whose readability ends any wait on the server at once,
    // the connection closed and the call failed as Unreachable: a thread that
    // must stop promptly writes to it. -1: none, every call blocks.
    void setInterrupt(int fd) { interrupt_ = fd; }

    // `password` overrides the connection's when not empty.
    bool open(const PgParams &params, const QByteArray &password = {}, int timeoutSeconds = 10);
    bool isOpen() const;
    void close();

    // `params`: text values, a null QByteArray for SQL NULL.
    PgResult exec(const char *sql, const QList<QByteArray> &params = {});
    // True when it ran; otherwise trouble() and error() say why.
    bool run(const char *sql, const QList<QByteArray> &params = {});
    bool check(const PgResult &r);

    Trouble trouble() const { return trouble_; }
    // In Italian for the adult: what went wrong, as a clause of a sentence.
    QString error() const { return error_; }
    pg_conn *handle() const { return c_; }

private:
    void failed(const QByteArray &sqlState, const QString &message);
    bool connectWatched(int timeoutSeconds);
    PgResult execWatched(const char *sql, const QList<QByteArray> &params);
    bool waitSocket(bool forWrite, int timeoutMs);

    pg_conn *c_ = nullptr;
    int interrupt_ = -1;
    Trouble trouble_ = Trouble::None;
    QString error_;
};

} // namespace zampli
