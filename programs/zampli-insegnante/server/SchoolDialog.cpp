// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/SchoolDialog.h"

#include "school/SchoolSetting.h"
#include "school/ServerSchema.h"
#include "shared/WholeTitle.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace zampli::teacher {

namespace {

QLineEdit *field(const char *name, const QString &text)
{
    auto *f = new QLineEdit(text);
    f->setObjectName(QLatin1String(name));
    return f;
}

QPushButton *button(const QString &text, const char *name)
{
    auto *b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// Why the connection failed, and what to do next, in her words.
QString connectionTrouble(const PgConnection &db, const PgParams &params)
{
    const QString role = QString::fromUtf8(params.value("user"));
    switch (db.trouble()) {
    case PgConnection::Trouble::Password:
        return QStringLiteral("Il server non accetta la password del ruolo «%1»: scrivila qui sopra come te l'ha "
                              "data il tecnico, poi riprova.").arg(role);
    case PgConnection::Trouble::Unreachable:
        return QStringLiteral("Il server «%1» non risponde: controlla l'indirizzo e la porta e che il computer sia "
                              "in rete, poi riprova.").arg(QString::fromUtf8(params.value("host")));
    case PgConnection::Trouble::Full:
        return QStringLiteral("Il server della scuola è pieno: avvisa il tecnico.");
    default:
        return QStringLiteral("Il server non lascia entrare il ruolo «%1» nel database «%2»: controlla i due nomi, "
                              "poi riprova.").arg(role, QString::fromUtf8(params.value("dbname")));
    }
}

} // namespace

SchoolDialog::SchoolDialog(const QString &copyFolder, bool canChange, QWidget *parent)
    : QDialog(parent), copyFolder_(copyFolder), canChange_(canChange)
{
    setObjectName(QStringLiteral("scuola"));
    setWindowTitle(QStringLiteral("Scuola"));
    keepTitleWhole(this);
    const SchoolPlace place = copyPlace(copyFolder).value_or(savedPlace());
    auto *intro = new QLabel(QStringLiteral(
        "Con il server della scuola vedi in Risultati le risposte di tutta la classe, da ogni computer. "
        "Il server, il database e il tuo ruolo te li dà il tecnico; la password la scrivi solo se il server la "
        "chiede, e ZAMPLI non la tiene."));
    intro->setWordWrap(true);
    host_ = field("scuolaServer", place.host);
    port_ = field("scuolaPorta", place.port);
    port_->setPlaceholderText(QStringLiteral("5432"));
    database_ = field("scuolaDatabase", place.database);
    role_ = field("scuolaRuolo", place.role);
    connect(database_, &QLineEdit::textChanged, this, [this](const QString &db) {
        role_->setPlaceholderText(SchoolRoles::of(db.trimmed()).teacher);
    });
    role_->setPlaceholderText(SchoolRoles::of(place.database).teacher);
    password_ = field("scuolaPassword", {});
    password_->setEchoMode(QLineEdit::Password);
    password_->setPlaceholderText(QStringLiteral("solo se il server la chiede"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Server:"), host_);
    form->addRow(QStringLiteral("P&orta:"), port_);
    form->addRow(QStringLiteral("&Database:"), database_);
    form->addRow(QStringLiteral("&Ruolo:"), role_);
    form->addRow(QStringLiteral("Pass&word:"), password_);

    QPushButton *tryIt = button(QStringLiteral("&Prova la connessione"), "provaConnessione");
    give_ = button(QStringLiteral("Dai il server a &questa copia"), "daiServer");
    take_ = button(QStringLiteral("&Togli il server a questa copia"), "togliServer");
    give_->setEnabled(canChange_);
    take_->setEnabled(canChange_ && hasSchoolSetting(copyFolder_));
    buttons_ = {tryIt, give_, take_};
    connect(tryIt, &QPushButton::clicked, this, &SchoolDialog::tryConnection);
    connect(give_, &QPushButton::clicked, this, &SchoolDialog::giveServer);
    connect(take_, &QPushButton::clicked, this, &SchoolDialog::takeServer);
    auto *row = new QHBoxLayout;
    for (QPushButton *b : std::as_const(buttons_))
        row->addWidget(b);

    outcome_ = new QLabel;
    outcome_->setObjectName(QStringLiteral("scuolaEsito"));
    outcome_->setWordWrap(true);
    if (!canChange_)
        outcome_->setText(QStringLiteral("Questa copia non la puoi cambiare: il server glielo dà l'amministratore "
                                         "con «zampli-copia --scuola». Puoi comunque provare la connessione."));
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close);
    close->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("chiudi"));
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addLayout(row);
    layout->addWidget(outcome_);
    layout->addWidget(close);
    resize(560, sizeHint().height());
}

SchoolDialog::~SchoolDialog()
{
    if (thread_)
        thread_->wait();
}

SchoolPlace SchoolDialog::place() const
{
    SchoolPlace p{host_->text().trimmed(), port_->text().trimmed(), database_->text().trimmed(),
                  role_->text().trimmed(), {}, {}};
    if (p.role.isEmpty())
        p.role = SchoolRoles::of(p.database).teacher;
    // The copy's own TLS settings stay when she keeps its server.
    if (const std::optional<SchoolPlace> copy = copyPlace(copyFolder_);
        copy && copy->host == p.host && copy->database == p.database)
        p.sslmode = copy->sslmode, p.sslrootcert = copy->sslrootcert;
    return p;
}

void SchoolDialog::showOutcome(const QString &text)
{
    outcome_->setText(text);
}

void SchoolDialog::runOnServer(const Job &job, const std::function<void(const Outcome &)> &done)
{
    const SchoolPlace p = place();
    if (p.host.isEmpty() || p.database.isEmpty())
        return showOutcome(QStringLiteral("Scrivi prima il server e il database che ti ha dato il tecnico."));
    QString why;
    const std::optional<PgParams> params = teacherParams(p, &why);
    if (!params)
        return showOutcome(QStringLiteral("L'indirizzo non va: %1. Correggilo e riprova.").arg(why));
    savePlace({p.host, p.port, p.database, role_->text().trimmed(), {}, {}});
    if (!password_->text().isEmpty())
        rememberPassword(p.role, password_->text().toUtf8());
    for (QPushButton *b : std::as_const(buttons_))
        b->setEnabled(false);
    showOutcome(QStringLiteral("Mi collego al server della scuola…"));
    if (thread_)
        thread_->wait();
    thread_.reset(QThread::create([this, job, done, params = *params] {
        PgConnection db;
        Outcome out;
        if (!openAsTeacher(db, params))
            out.text = connectionTrouble(db, params);
        else
            out = job(db, params);
        QMetaObject::invokeMethod(this, [this, out, done] {
            buttons_[0]->setEnabled(true);
            give_->setEnabled(canChange_);
            take_->setEnabled(canChange_ && hasSchoolSetting(copyFolder_));
            done(out);
        }, Qt::QueuedConnection);
    }));
    thread_->start();
}

void SchoolDialog::tryConnection()
{
    runOnServer([](PgConnection &db, const PgParams &params) {
        const QString database = QString::fromUtf8(params.value("dbname"));
        if (schoolSchemaVersion(db) == 0)
            return Outcome{false, QStringLiteral("Il server risponde, ma nel database «%1» non c'è la classe di "
                                                 "ZAMPLI, o il tuo ruolo non la può leggere: chiedi al tecnico di "
                                                 "controllare.").arg(database)};
        PgResult children = db.exec("SELECT count(*) FROM zampli.children WHERE erased_ms IS NULL");
        const qint64 n = db.check(children) ? children.number(0, 0) : 0;
        return Outcome{true, QStringLiteral("Il server risponde e ti riconosce: la classe del database «%1» ha %2. "
                                            "Ora puoi dare il server a questa copia.")
                                 .arg(database, n == 1 ? QStringLiteral("1 bambino")
                                                       : QStringLiteral("%1 bambini").arg(n))};
    }, [this](const Outcome &o) { showOutcome(o.text); });
}

void SchoolDialog::giveServer()
{
    runOnServer([](PgConnection &db, const PgParams &params) {
        PgResult r = db.exec("SELECT computers_role, computers_password FROM zampli.school");
        if (!db.check(r) || r.rows() != 1)
            return Outcome{false, QStringLiteral("Il tuo ruolo non legge la classe nel database «%1»: chiedi al "
                                                 "tecnico di controllare che sia preparato.")
                                      .arg(QString::fromUtf8(params.value("dbname")))};
        // The copy gets the computers' role: it hands in answers and reads nothing.
        return Outcome{true, params.with("user", r.text(0, 0).toUtf8()).with("password", r.text(0, 1).toUtf8()).text()};
    }, [this](const Outcome &o) {
        if (!o.ok)
            return showOutcome(o.text);
        SchoolSetting setting{o.text, {}};
        if (const std::optional<SchoolSetting> old = readSchoolSetting(copyFolder_))
            setting.copyId = old->copyId;
        if (setting.copyId.isEmpty())
            setting.copyId = newCopyId();
        QString why;
        if (!writeSchoolSetting(copyFolder_, setting, &why))
            return showOutcome(why);
        take_->setEnabled(true);
        showOutcome(QStringLiteral("Fatto: ogni computer con questa copia manda le risposte al server della scuola, "
                                   "e in Risultati vedi la classe intera."));
        emit copyChanged();
    });
}

void SchoolDialog::takeServer()
{
    QString why;
    if (!writeSchoolSetting(copyFolder_, {}, &why))
        return showOutcome(why);
    take_->setEnabled(false);
    showOutcome(QStringLiteral("Fatto: questa copia non manda più le risposte al server; da ora restano su ciascun "
                               "computer, e in Risultati vedi quelle di questo computer."));
    emit copyChanged();
}

} // namespace zampli::teacher
