// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/SchoolSync.h"

#include "results/ResultsReader.h"
#include "school/ClassChildren.h"
#include "school/SchoolMirror.h"
#include "server/SchoolAccess.h"

#include <QDateTime>
#include <QLocale>
#include <optional>

namespace zampli::teacher {

namespace {

// What she is told when the server could not be read, with what she sees meanwhile.
QString troubleText(const MirrorPull &r, qint64 readMs)
{
    const QString meanwhile = readMs > 0
                                  ? QStringLiteral("vedi i risultati letti %1.").arg(readAtText(readMs))
                                  : QStringLiteral("i risultati della classe arrivano appena risponde.");
    switch (r.trouble) {
    case PgConnection::Trouble::Unreachable:
        return QStringLiteral("Il server della scuola non risponde: %1").arg(meanwhile);
    case PgConnection::Trouble::Password:
        return QStringLiteral("Il server della scuola non accetta la tua password: scrivila in File › Scuola…; "
                              "intanto %1").arg(meanwhile);
    case PgConnection::Trouble::Full:
        return QStringLiteral("Il server della scuola è pieno: avvisa il tecnico; intanto %1").arg(meanwhile);
    case PgConnection::Trouble::Refused:
        return QStringLiteral("Il server della scuola non lascia leggere la classe al tuo ruolo: controlla il ruolo "
                              "in File › Scuola…; intanto %1").arg(meanwhile);
    case PgConnection::Trouble::None:
        break;
    }
    return r.error.left(1).toUpper() + r.error.mid(1) + QLatin1Char('.');
}

} // namespace

QString readAtText(qint64 ms)
{
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(ms);
    const QLocale italian(QLocale::Italian);
    return QStringLiteral("il %1 alle %2").arg(italian.toString(at.date(), QStringLiteral("d MMMM")),
                                               at.time().toString(QStringLiteral("HH:mm")));
}

SchoolSync::SchoolSync(PgParams teacher, QString mirror, QString copyResults, QObject *parent)
    : QObject(parent), teacher_(std::move(teacher)), mirror_(std::move(mirror)), copyResults_(std::move(copyResults))
{
}

SchoolSync::~SchoolSync()
{
    stopping_ = true;
    if (thread_)
        thread_->wait();
}

void SchoolSync::pull()
{
    if (running_)
        again_ = true;
    else
        start();
}

void SchoolSync::change(Change change, QString doneText)
{
    changes_.append({std::move(change), std::move(doneText)});
    pull();
}

void SchoolSync::start()
{
    running_ = true;
    again_ = false;
    std::optional<std::pair<Change, QString>> change;
    if (!changes_.isEmpty())
        change = changes_.takeFirst();
    if (thread_)
        thread_->wait();
    thread_.reset(QThread::create([this, change] {
        PgConnection db;
        bool changeOk = true;
        QString changeSaid;
        MirrorPull r;
        SchoolMirror mirror(mirror_);
        if (!openAsTeacher(db, teacher_)) {
            r.trouble = db.trouble();
            r.error = db.error();
        } else {
            if (change) {
                const QString refused = change->first(db);
                changeOk = refused.isEmpty();
                changeSaid = changeOk ? change->second : refused;
            }
            r = mirror.pull(db, [this](qint64 done, qint64 total) {
                if (total > 2000) // a first pull of many answers: she sees it move
                    QMetaObject::invokeMethod(this, [this, done, total] { emit progress(done, total); },
                                              Qt::QueuedConnection);
                return !stopping_.load();
            });
        }
        QString said = r.ok ? QString() : troubleText(r, mirror.readMs());
        if (r.ok) {
            ResultsReader reader;
            QString why;
            if (reader.open(mirror_) && !copyServerChildren(copyResults_, reader.children(), why))
                said = why;
        }
        // What this computer's children answered and the server does not hold yet.
        ResultsReader own;
        if (own.open(copyResults_)) {
            const QString waiting = deliveryText(own.delivery());
            if (!waiting.isEmpty())
                said = said.isEmpty() ? waiting : said + QLatin1Char(' ') + waiting;
        }
        if (change && !db.isOpen()) {
            changeOk = false;
            changeSaid = QStringLiteral("Non è cambiato nulla. ") + said;
        }
        QMetaObject::invokeMethod(this, [this, ok = r.ok, said, wasChange = bool(change), changeOk, changeSaid] {
            finished(ok, said, wasChange, changeOk, changeSaid);
        }, Qt::QueuedConnection);
    }));
    thread_->start();
}

void SchoolSync::finished(bool ok, const QString &said, bool wasChange, bool changeOk, const QString &changeSaid)
{
    running_ = false;
    if (wasChange)
        emit changed(changeOk, changeSaid);
    emit pulled(ok, said);
    if (again_ || !changes_.isEmpty())
        start();
}

} // namespace zampli::teacher
