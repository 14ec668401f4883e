// SPDX-License-Identifier: GPL-3.0-or-later
// zampli-verifica [CARTELLA]: the adult's check of a program folder's media,
// never shown to the child. One line a problem, a summary, exit 0 only when
// the program can use every file it may name.

#include "MediaCheck.h"
#include "media/Printable.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

void print(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
}

const char *kHelp =
    "Uso: zampli-verifica [CARTELLA]\n"
    "\n"
    "Controlla le immagini (jpg), le voci (voci), i suoni (suoni) e gli elenchi di\n"
    "parole (testi) che ZAMPLI legge dalla sua cartella, comprese le immagini e le\n"
    "voci di ogni parola degli elenchi. Scrive una riga per ogni file che manca o\n"
    "che il programma non può usare, poi un riassunto.\n"
    "\n"
    "CARTELLA  la cartella del programma (senza: quella di questo programma)\n"
    "\n"
    "Esce con 0 se tutti i file ci sono e si possono usare, con 1 altrimenti.\n";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args.size() > 1) {
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
    return report.problemCount == 0 ? 0 : 1;
}
