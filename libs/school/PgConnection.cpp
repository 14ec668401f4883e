// SPDX-License-Identifier: GPL-3.0-or-later
#include "school/PgConnection.h"

#include <QStringList>
#include <algorithm>
#include <libpq-fe.h>
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
    c_ = PQconnectdbParams(k.data(), v.data(), 0);
    if (PQstatus(c_) == CONNECTION_OK) {
        trouble_ = Trouble::None;
        error_.clear();
        return true;
    }
    failed({}, QString::fromUtf8(PQerrorMessage(c_)));
    close();
    return false;
}

PgResult PgConnection::exec(const char *sql, const QList<QByteArray> &params)
{
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
    failed(r.sqlState(), r.handle() ? r.message() : QString::fromUtf8(PQerrorMessage(c_)));
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
