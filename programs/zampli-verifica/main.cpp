// SPDX-License-Identifier: GPL-3.0-or-later
// zampli-verifica [CARTELLA]: the adult's check of a program folder's media,
// never shown to the child. One line a problem, a summary, exit 0 only when
// the program can use every file it may name.

#include "mediacheck/MediaCheck.h"
#include "ProductIdentity.h"
#include "media/Printable.h"
#include "results/ResultsReader.h"
#include "school/SchoolSetting.h"
#include "results/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {

void print(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
}

const char *kHelp =
    "Uso: zampli-verifica [CARTELLA]\n"
    "     zampli-verifica --version\n"
    "\n"
    "Controlla le immagini (jpg), le voci (voci), i suoni (suoni) e gli elenchi di\n"
    "parole (testi) che ZAMPLI legge dalla sua cartella, comprese le immagini e le\n"
    "voci di ogni parola degli elenchi. Scrive una riga per ogni file che manca o\n"
    "che il programma non può usare, poi un riassunto.\n"
    "\n"
    "CARTELLA  la cartella del programma (senza: quella di questo programma)\n"
    "\n"
    "Poi elenca i problemi dei risultati di quella cartella non ancora letti nel\n"
    "programma dell'insegnante (un file guasto, risposte rimaste in attesa o perse)\n"
    "e, per una copia collegata al server della scuola, quante risposte aspettano\n"
    "ancora di arrivarci, da quando e perché.\n"
    "\n"
    "Esce con 0 se tutti i file ci sono e si possono usare, con 1 altrimenti.\n"
    "\n"
    "-h, --help     mostra questo aiuto\n"
    "-V, --version  scrive la versione del programma\n";

// The results' troubles the adult has not read yet; nothing when the
// children have not played here yet.
void printResultProblems(const QString &folder)
{
    const QString path = zampli::resultsDatabasePath(zampli::resultsFolder(), folder);
    if (!QFileInfo::exists(path))
        return;
    zampli::ResultsReader reader;
    if (!reader.open(path)) {
        print(zampli::visible(QStringLiteral("Risultati: %1").arg(reader.error())));
        return;
    }
    const QList<zampli::ProblemEntry> problems = reader.problems(true);
    if (problems.isEmpty())
        return;
    print(problems.size() == 1 ? QStringLiteral("Risultati: un problema da leggere.")
                               : QStringLiteral("Risultati: %1 problemi da leggere.").arg(problems.size()));
    for (const zampli::ProblemEntry &p : problems)
        print(zampli::visible(zampli::problemText(p)));
}

// For a copy with a school's server: how many answers the server does not
// hold yet, since when and why.
void printDelivery(const QString &folder)
{
    if (!zampli::hasSchoolSetting(folder))
        return;
    QString error;
    if (!zampli::readSchoolSetting(folder, &error))
        print(zampli::visible(QStringLiteral("Scuola: %1 Fai collegare di nuovo la copia alla scuola dal programma "
                                             "dell'insegnante.")
                                  .arg(error)));
    const QString path = zampli::resultsDatabasePath(zampli::resultsFolder(), folder);
    zampli::ResultsReader reader;
    if (!QFileInfo::exists(path) || !reader.open(path))
        return; // no answers yet, or the file's trouble is told above
    const zampli::DeliveryStatus status = reader.delivery();
    if (!status.ok)
        return;
    const QString text = zampli::deliveryText(status);
    print(zampli::visible(QStringLiteral("Scuola: ") +
                          (text.isEmpty() ? QStringLiteral("il server della scuola ha tutte le risposte.") : text)));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args.contains(QStringLiteral("--version")) || args.contains(QStringLiteral("-V"))) {
        std::printf("zampli-verifica %s\n", zampli::identity::kVersion);
        return 0;
    }
    // A folder whose name starts with a dash is given as ./-name.
    if (args.size() > 1 || (!args.isEmpty() && args.first().startsWith(QLatin1Char('-')))) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    const QString folder = args.isEmpty() ? QCoreApplication::applicationDirPath() : args.first();
    if (!QDir(folder).exists()) {
        print(zampli::visible(QStringLiteral("La cartella %1 non esiste.").arg(folder)));
        return 2;
    }
    const zampli::MediaReport report = zampli::checkMedia(QDir(folder).absolutePath());
    for (const QString &line : zampli::reportLines(report, QDir(folder).absolutePath()))
        print(line);
    printResultProblems(QDir(folder).absolutePath());
    printDelivery(QDir(folder).absolutePath());
    return report.problemCount == 0 ? 0 : 1;
}
