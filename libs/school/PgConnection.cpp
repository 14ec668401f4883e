// SPDX-License-Identifier: GPL-3.0-or-later
#include "school/PgConnection.h"

#include <QDeadlineTimer>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <libpq-fe.h>
#include <poll.h>
#include <vector>

namespace zampli {

namespace {

// What a copy or the adult may say; the rest (service files, options that
// reach the server's settings, a command run for the password) opens doors
// a copy shared by a whole computer has no business opening.
const char *const kKeywords[] = {"host", "hostaddr", "port", "dbname", "user", "password",
                                 "sslmode", "sslrootcert", "connect_timeout"};

bool socketHost(const QByteArray &host)
{
    return host.isEmpty() || host.startsWith('/') || host.startsWith('@');
}

} // namespace

QByteArray PgParams::value(const char *keyword) const
{
    for (const auto &[k, v] : items)
        if (k == keyword)
            return v;
    return {};
}

bool PgParams::local() const
{
    if (!value("hostaddr").isEmpty())
        return false;
    const QList<QByteArray> hosts = value("host").split(',');
    for (const QByteArray &h : hosts)
        if (!socketHost(h.trimmed()))
            return false;
    return true;
}

PgParams PgParams::with(const char *keyword, const QByteArray &value) const
{
    PgParams out;
    for (const auto &item : items)
        if (item.first != keyword)
            out.items.append(item);
    if (!value.isEmpty())
        out.items.append(std::make_pair(QByteArray(keyword), value));
    return out;
}

QString PgParams::text() const
{
    QStringList parts;
    for (const auto &[k, v] : items) {
        QByteArray quoted = v;
        // libpq's rules: a value with a blank or a quote goes in single quotes, backslash escaping.
        if (v.isEmpty() || v.contains(' ') || v.contains('\'') || v.contains('\\') || v.contains('\t'))
            quoted = '\'' + QByteArray(v).replace('\\', "\\\\").replace('\'', "\\'") + '\'';
        parts << QString::fromUtf8(k + '=' + quoted);
    }
    return parts.join(QLatin1Char(' '));
}

std::optional<PgParams> parseConnection(const QString &text, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    char *message = nullptr;
    PQconninfoOption *options = PQconninfoParse(text.trimmed().toUtf8().constData(), &message);
    if (!options) {
        const QString why = message ? QString::fromUtf8(message).trimmed() : QString();
        PQfreemem(message);
        return fail(QStringLiteral("la connessione non si legge (%1)").arg(why));
    }
    PgParams p;
    QString unknown;
    for (PQconninfoOption *o = options; o->keyword; ++o) {
        if (!o->val || !*o->val)
            continue;
        const QByteArray key(o->keyword);
        if (std::none_of(std::begin(kKeywords), std::end(kKeywords), [&key](const char *k) { return key == k; }))
            unknown = QString::fromLatin1(key);
        else
            p.items.append(std::make_pair(key, QByteArray(o->val)));
    }
    PQconninfoFree(options);
    if (!unknown.isEmpty())
        return fail(QStringLiteral("la connessione contiene «%1», che ZAMPLI non usa").arg(unknown));
    if (p.value("dbname").isEmpty())
        return fail(QStringLiteral("la connessione non dice il database (dbname=…)"));
    const QByteArray ssl = p.value("sslmode");
    if (!p.local()) {
        if (ssl.isEmpty())
            p.items.append(std::make_pair(QByteArray("sslmode"), QByteArray("require")));
        else if (ssl != "require" && ssl != "verify-ca" && ssl != "verify-full")
            return fail(QStringLiteral("un server su un altro computer va raggiunto in modo cifrato: "
                                       "togli «sslmode=%1» o scrivi «sslmode=require»")
                            .arg(QString::fromLatin1(ssl)));
    }
    return p;
}

PgResult &PgResult::operator=(PgResult &&o) noexcept
{
    if (this != &o) {
        PQclear(r_);
        r_ = std::exchange(o.r_, nullptr);
    }
    return *this;
}

PgResult::~PgResult()
{
    PQclear(r_);
}

bool PgResult::ok() const
{
    const ExecStatusType s = r_ ? PQresultStatus(r_) : PGRES_FATAL_ERROR;
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

int PgResult::rows() const
{
    return r_ ? PQntuples(r_) : 0;
}

bool PgResult::isNull(int row, int col) const
{
    return PQgetisnull(r_, row, col) != 0;
}

QString PgResult::text(int row, int col) const
{
    return isNull(row, col) ? QString() : QString::fromUtf8(PQgetvalue(r_, row, col));
}

qint64 PgResult::number(int row, int col) const
{
    return QByteArray(PQgetvalue(r_, row, col)).toLongLong();
}

QByteArray PgResult::sqlState() const
{
    const char *s = r_ ? PQresultErrorField(r_, PG_DIAG_SQLSTATE) : nullptr;
    return s ? QByteArray(s) : QByteArray();
}

QString PgResult::message() const
{
    const char *s = r_ ? PQresultErrorField(r_, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    return s ? QString::fromUtf8(s) : QString();
}

PgConnection::~PgConnection()
{
    close();
}

void PgConnection::close()
{
    if (c_)
        PQfinish(c_);
    c_ = nullptr;
}

bool PgConnection::isOpen() const
{
    return c_ && PQstatus(c_) == CONNECTION_OK;
}

bool PgConnection::open(const PgParams &params, const QByteArray &password, int timeoutSeconds)
{
    close();
    std::vector<QByteArray> keys, values;
    for (const auto &[k, v] : params.items)
        if (k != "password" || password.isEmpty())
            keys.push_back(k), values.push_back(v);
    if (!password.isEmpty())
        keys.push_back("password"), values.push_back(password);
    if (params.value("connect_timeout").isEmpty())
        keys.push_back("connect_timeout"), values.push_back(QByteArray::number(timeoutSeconds));
    keys.push_back("application_name"), values.push_back("zampli");
    // Never a client encoding of the environment's: names are UTF-8.
    keys.push_back("client_encoding"), values.push_back("UTF8");
    std::vector<const char *> k, v;
    for (std::size_t i = 0; i < keys.size(); ++i)
        k.push_back(keys[i].constData()), v.push_back(values[i].constData());
    k.push_back(nullptr), v.push_back(nullptr);
    if (interrupt_ < 0) {
        c_ = PQconnectdbParams(k.data(), v.data(), 0);
    } else {
        c_ = PQconnectStartParams(k.data(), v.data(), 0);
        const int seconds = params.value("connect_timeout").toInt();
        if (!connectWatched(seconds > 0 ? seconds : timeoutSeconds))
            return false;
    }
    if (PQstatus(c_) == CONNECTION_OK) {
        trouble_ = Trouble::None;
        error_.clear();
        return true;
    }
    failed({}, QString::fromUtf8(PQerrorMessage(c_)));
    close();
    return false;
}

// libpq's own connect_timeout is not kept by the polling calls: the deadline here is.
bool PgConnection::connectWatched(int timeoutSeconds)
{
    QDeadlineTimer deadline(qint64(timeoutSeconds) * 1000);
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (c_ && PQstatus(c_) != CONNECTION_BAD && state != PGRES_POLLING_OK && state != PGRES_POLLING_FAILED) {
        if (!waitSocket(state == PGRES_POLLING_WRITING, int(deadline.remainingTime()))) {
            failed({}, QStringLiteral("nessuna risposta in %1 secondi").arg(timeoutSeconds));
            close();
            return false;
        }
        state = PQconnectPoll(c_);
    }
    return true;
}

bool PgConnection::waitSocket(bool forWrite, int timeoutMs)
{
    pollfd fds[2] = {{PQsocket(c_), short(forWrite ? POLLOUT : POLLIN), 0}, {interrupt_, POLLIN, 0}};
    int n;
    do
        n = poll(fds, 2, timeoutMs);
    while (n < 0 && errno == EINTR);
    return n > 0 && fds[1].revents == 0;
}

// A query whose every wait also watches the interrupt. A query left half
// way is the server's to roll back.
PgResult PgConnection::execWatched(const char *sql, const QList<QByteArray> &params)
{
    // Over any delivery a server that answers at all takes, under a
    // connection that stopped answering.
    constexpr int kAnswerMs = 60000;
    std::vector<const char *> values;
    for (const QByteArray &p : params)
        values.push_back(p.isNull() ? nullptr : p.constData());
    const int sent = params.isEmpty() ? PQsendQuery(c_, sql)
                                      : PQsendQueryParams(c_, sql, int(values.size()), nullptr, values.data(),
                                                          nullptr, nullptr, 0);
    auto abandon = [this] {
        close();
        return PgResult();
    };
    if (!sent)
        return PgResult();
    int flushed;
    while ((flushed = PQflush(c_)) == 1)
        if (!waitSocket(true, kAnswerMs))
            return abandon();
    if (flushed < 0)
        return PgResult();
    PgResult kept;
    for (;;) {
        while (PQisBusy(c_)) {
            if (!waitSocket(false, kAnswerMs))
                return abandon();
            if (!PQconsumeInput(c_))
                return PgResult();
        }
        pg_result *r = PQgetResult(c_);
        if (!r)
            break;
        // As PQexec: the first failure, else the last result.
        if (!kept.handle() || kept.ok())
            kept = PgResult(r);
        else
            PQclear(r);
    }
    return kept;
}

PgResult PgConnection::exec(const char *sql, const QList<QByteArray> &params)
{
    if (!c_)
        return PgResult();
    if (interrupt_ >= 0)
        return execWatched(sql, params);
    if (params.isEmpty()) // several statements at once, as a schema is made
        return PgResult(PQexec(c_, sql));
    std::vector<const char *> values;
    for (const QByteArray &p : params)
        values.push_back(p.isNull() ? nullptr : p.constData());
    return PgResult(PQexecParams(c_, sql, int(values.size()), nullptr, values.data(), nullptr, nullptr, 0));
}

bool PgConnection::run(const char *sql, const QList<QByteArray> &params)
{
    return check(exec(sql, params));
}

bool PgConnection::check(const PgResult &r)
{
    if (r.ok()) {
        trouble_ = Trouble::None;
        error_.clear();
        return true;
    }
    failed(r.sqlState(), r.handle() ? r.message()
                       : c_ ? QString::fromUtf8(PQerrorMessage(c_))
                            : QStringLiteral("collegamento interrotto"));
    return false;
}

void PgConnection::failed(const QByteArray &state, const QString &message)
{
    const QString m = message.trimmed();
    if (state.startsWith("28") || m.contains(QLatin1String("password authentication failed")) ||
        m.contains(QLatin1String("no password supplied"))) {
        trouble_ = Trouble::Password;
        error_ = QStringLiteral("il server della scuola non accetta la password");
    } else if (state.startsWith("53")) {
        trouble_ = Trouble::Full;
        error_ = QStringLiteral("il server della scuola è pieno (disco o memoria): avvisa il tecnico");
    } else if (state.startsWith("08") || state.startsWith("57P") || !isOpen()) {
        trouble_ = Trouble::Unreachable;
        error_ = QStringLiteral("il server della scuola non risponde (%1)").arg(m.section(QLatin1Char('\n'), 0, 0));
    } else {
        trouble_ = Trouble::Refused;
        error_ = QStringLiteral("il server della scuola rifiuta: %1").arg(m.section(QLatin1Char('\n'), 0, 0));
    }
}

} // namespace zampli
