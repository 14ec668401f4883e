// SPDX-License-Identifier: GPL-3.0-or-later
#include "SchoolCommands.h"

#include "Terminal.h"
#include "school/PgConnection.h"
#include "school/SchoolSetting.h"
#include "school/ServerSchema.h"

#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace zampli::copytool {

namespace {

QString sentence(const QString &clause)
{
    return clause.isEmpty() ? clause : clause.left(1).toUpper() + clause.mid(1);
}

// What to do next after a connection that failed, by what failed.
QString nextStep(const PgConnection &db, const PgParams &params, bool owner)
{
    switch (db.trouble()) {
    case PgConnection::Trouble::Password:
        return owner ? QStringLiteral("Controlla la password di «%1»: scrivila in ~/.pgpass o in PGPASSWORD, "
                                      "oppure aggiungi «password=…» alla connessione, poi riprova.")
                           .arg(QString::fromUtf8(params.value("user")))
                     : QStringLiteral("Copia di nuovo la connessione che «zampli-copia --scuola-prepara» ha "
                                      "scritto, con la password del ruolo dei computer, poi riprova.");
    case PgConnection::Trouble::Unreachable:
        return QStringLiteral("Controlla l'indirizzo del server (host=…) e la porta, che il server sia acceso "
                              "e che questo computer sia in rete, poi riprova.");
    case PgConnection::Trouble::Full:
        return QStringLiteral("Libera spazio sul server, poi riprova.");
    default:
        return QStringLiteral("Controlla la connessione, poi riprova.");
    }
}

std::optional<PgParams> parsed(const QString &connection)
{
    QString why;
    std::optional<PgParams> params = parseConnection(connection, &why);
    if (!params)
        print(stderr, QStringLiteral("%1. Scrivila come «host=server.scuola.it dbname=classe user=…», tra "
                                     "virgolette, poi riprova.")
                          .arg(sentence(why)));
    return params;
}

} // namespace

int prepareSchoolDatabase(const QString &connection)
{
    const std::optional<PgParams> params = parsed(connection);
    if (!params)
        return 1;
    PgConnection db;
    if (!db.open(*params)) {
        print(stderr, sentence(db.error()) + QStringLiteral(". ") + nextStep(db, *params, true));
        return 1;
    }
    PreparedSchool made;
    QString why;
    if (!prepareSchool(db, made, why)) {
        print(stderr, QStringLiteral("Il database non è stato preparato: %1.").arg(why));
        return 1;
    }
    const QString database = QString::fromUtf8(params->value("dbname"));
    const PgParams copies = params->with("user", made.roles.computers.toUtf8())
                                .with("password", made.computersPassword.toUtf8());
    const QString host = params->local() ? QStringLiteral("questo computer") : QString::fromUtf8(params->value("host"));
    print(stdout, QStringLiteral(
        "Il database «%1» è pronto per ZAMPLI.\n"
        "\n"
        "Ruolo dei computer: %2. Consegna le risposte dei bambini e non legge nulla.\n"
        "Ruolo dell'insegnante: %3. Legge i risultati della classe e aggiunge, rinomina e cancella i bambini.\n"
        "\n"
        "Password dell'insegnante: %4\n"
        "Dalla all'insegnante: ZAMPLI non la tiene da nessuna parte e non la scrive più. Nel suo programma, "
        "in Scuola, lei scrive il server «%5», il database «%1» e il ruolo «%3».\n"
        "\n"
        "Per dare il server a una copia (per una copia per tutti, come amministratore, con sudo):\n"
        "  zampli-copia --scuola \"%6\" COPIA\n"
        "dove COPIA è la cartella della copia.")
        .arg(database, made.roles.computers, made.roles.teacher, made.teacherPassword, host, copies.text()));
    return 0;
}

int setCopySchool(const QString &connection, const QString &copyFolder)
{
    const QFileInfo folder(copyFolder);
    if (!folder.isDir()) {
        print(stderr, QStringLiteral("%1 non è una cartella: indica la cartella della copia, per esempio ~/ZAMPLI.")
                          .arg(copyFolder));
        return 1;
    }
    if (!QFileInfo(QDir(copyFolder).filePath(QStringLiteral("testi"))).isDir()) {
        print(stderr, QStringLiteral("%1 non è una copia di ZAMPLI (non ha la cartella testi): indica la cartella "
                                     "della copia, per esempio ~/ZAMPLI.").arg(copyFolder));
        return 1;
    }
    if (!folder.isWritable()) {
        print(stderr, ::geteuid() == 0
                          ? QStringLiteral("Non si può scrivere nella copia %1: controlla che il disco non sia in "
                                           "sola lettura, poi riprova.").arg(copyFolder)
                          : QStringLiteral("Non puoi cambiare la copia %1: è di un altro utente, o è una copia per "
                                           "tutti. Chiedi all'amministratore di avviare lo stesso comando con sudo "
                                           "davanti.").arg(copyFolder));
        return 1;
    }
    QString why;
    if (connection.trimmed().isEmpty()) {
        const bool had = hasSchoolSetting(copyFolder);
        if (!writeSchoolSetting(copyFolder, {}, &why)) {
            print(stderr, why);
            return 1;
        }
        print(stdout, had ? QStringLiteral("La copia %1 non manda più le risposte al server della scuola: da ora "
                                           "restano su ciascun computer.").arg(copyFolder)
                          : QStringLiteral("La copia %1 non aveva un server della scuola: non è cambiato nulla.")
                                .arg(copyFolder));
        return 0;
    }
    const std::optional<PgParams> params = parsed(connection);
    if (!params)
        return 1;
    // The computers have no password file of theirs: one the technician's
    // own ~/.pgpass supplies here would leave every copy refused.
    if (params->value("password").isEmpty()) {
        print(stderr, QStringLiteral("La connessione non ha la password del ruolo dei computer (password=…): "
                                     "la copia non è stata cambiata. Usa la connessione che «zampli-copia "
                                     "--scuola-prepara» ha scritto, con la sua password."));
        return 1;
    }
    PgConnection db;
    if (!db.open(*params)) {
        print(stderr, sentence(db.error()) + QStringLiteral(". La copia non è stata cambiata. ") +
                          nextStep(db, *params, false));
        return 1;
    }
    why = deliveryRefused(db);
    if (!why.isEmpty()) {
        print(stderr, QStringLiteral("%1. La copia non è stata cambiata. Prepara il database con «zampli-copia "
                                     "--scuola-prepara» e usa la connessione che scrive, con il ruolo dei "
                                     "computer.").arg(sentence(why)));
        return 1;
    }
    // A copy keeps its id: its sessions already on the server stay its own.
    SchoolSetting setting{connection.trimmed(), {}};
    if (const std::optional<SchoolSetting> old = readSchoolSetting(copyFolder))
        setting.copyId = old->copyId;
    if (setting.copyId.isEmpty())
        setting.copyId = newCopyId();
    if (!writeSchoolSetting(copyFolder, setting, &why)) {
        print(stderr, why);
        return 1;
    }
    print(stdout, QStringLiteral("La copia %1 manda le risposte dei bambini al database «%2»: ogni computer le "
                                 "consegna appena può, e le tiene finché il server non le ha.")
                      .arg(copyFolder, QString::fromUtf8(params->value("dbname"))));
    return 0;
}

} // namespace zampli::copytool
