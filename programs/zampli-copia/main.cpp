// SPDX-License-Identifier: GPL-3.0-or-later
// zampli-copia [CARTELLA]: a program folder of the teacher's own, where the
// word lists, pictures and voices can be changed without being root, with its
// own menu entry. The copy's link starts the installed program, which reads
// the media of the folder it was started from. --esporta and --importa carry
// a copy to another computer as one file.

#include "copies/Copies.h"
#include "copies/CopyArchive.h"
#include "ProductIdentity.h"
#include "copies/StopSignals.h"
#include "SchoolCommands.h"
#include "Terminal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

using zampli::copytool::print;

const char *kHelp =
    "Uso: zampli-copia [CARTELLA]\n"
    "     zampli-copia --esporta COPIA FILE\n"
    "     zampli-copia --importa FILE CARTELLA\n"
    "     zampli-copia --per-tutti CARTELLA\n"
    "     zampli-copia --per-tutti CARTELLA --da FILE\n"
    "     zampli-copia --scuola-prepara CONNESSIONE\n"
    "     zampli-copia --scuola CONNESSIONE COPIA\n"
    "     zampli-copia --version\n"
    "\n"
    "Copia le immagini, le voci, i suoni e gli elenchi di parole di ZAMPLI in una\n"
    "cartella tua (senza: ~/ZAMPLI) e aggiunge al menu del desktop una voce che\n"
    "avvia la copia, con il nome della cartella: per esempio \"ZAMPLI – Classe 2ª B\"\n"
    "per la cartella \"Classe 2ª B\". Ogni copia ha la sua voce. La copia non ha un\n"
    "programma suo: il collegamento CARTELLA/zampli avvia ZAMPLI installato, che\n"
    "mostra le parole della copia; così gli aggiornamenti raggiungono anche lei.\n"
    "\n"
    "Poi puoi cambiare gli elenchi in CARTELLA/testi (a.txt ... u.txt, una parola\n"
    "per riga) e aggiungere in CARTELLA/jpg e CARTELLA/voci l'immagine (.jpg) e la\n"
    "voce (.wav) di ogni parola nuova. zampli-verifica CARTELLA dice che cosa manca.\n"
    "\n"
    "Una cartella che c'è già non viene toccata. Se la copia non riesce (per esempio\n"
    "perché il disco è pieno) o viene fermata (Ctrl-C, terminale chiuso) non resta\n"
    "nessuna copia a metà; una copia rimasta a metà perché il programma è stato\n"
    "ucciso viene tolta alla copia seguente nella stessa cartella.\n"
    "\n"
    "--esporta COPIA FILE scrive gli elenchi, le immagini, le voci e i suoni della\n"
    "copia nella cartella COPIA in un solo file (di solito FILE finisce con .zampli),\n"
    "da portare su un altro computer. Un FILE che c'è già non viene toccato.\n"
    "--importa FILE CARTELLA fa da quel file una copia nuova in CARTELLA, con la sua\n"
    "voce nel menu, come sopra. Un file che contiene altro (nomi che escono dalla\n"
    "cartella, collegamenti, file che una copia non usa, nomi non in UTF-8 o con\n"
    "segni nascosti, file che condividono i dati, un file di più di 50 MB o\n"
    "compresso più di 100 volte, più di 500 MB o di 5.000 file) viene rifiutato,\n"
    "dicendo quale parte e perché, e non viene scritto nulla.\n"
    "\n"
    "--per-tutti CARTELLA, per l'amministratore, fa una copia che vedono tutti gli\n"
    "utenti del computer: un nome semplice va in /usr/local/share/zampli/, la voce\n"
    "del menu in /usr/local/share/applications. Chi non può cambiarla la apre in\n"
    "sola lettura nel programma dell'insegnante; i risultati restano di ciascuno.\n"
    "--per-tutti CARTELLA --da FILE fa la copia per tutti da un file esportato o,\n"
    "se la copia c'è già, la aggiorna: la copia nuova si prepara intera accanto a\n"
    "quella vecchia, tiene la sua impostazione della scuola (scuola.conf) e prende\n"
    "il suo posto in un colpo solo; se qualcosa non va (un file rovinato, il disco\n"
    "pieno) la copia vecchia resta intera com'era. --importa avviato\n"
    "dall'amministratore fa anch'esso una copia per tutti, con la voce del menu in\n"
    "/usr/local/share/applications.\n"
    "\n"
    "--scuola-prepara CONNESSIONE, per il tecnico, prepara per una classe un\n"
    "database vuoto del server PostgreSQL della scuola, collegandosi come suo\n"
    "proprietario (la password da ~/.pgpass, da PGPASSWORD o scritta nella\n"
    "connessione), e scrive i due ruoli fatti, la password dell'insegnante (da\n"
    "darle: ZAMPLI non la tiene) e il comando che dà il server alle copie.\n"
    "CONNESSIONE si scrive come in libpq, per esempio\n"
    "\"host=server.scuola.it dbname=classe_2b user=postgres\".\n"
    "--scuola CONNESSIONE COPIA controlla che il server risponda e sia preparato,\n"
    "poi scrive COPIA/scuola.conf: da allora ogni computer consegna al server le\n"
    "risposte date con quella copia. --scuola \"\" COPIA toglie il server alla copia.\n"
    "Un server su un altro computer si raggiunge solo in modo cifrato (TLS).\n"
    "\n"
    "--version scrive la versione del programma, --help questo aiuto.\n"
    "\n"
    "Esce con 0 se tutto è andato bene, 1 se la copia non è stata fatta, 2 se le\n"
    "opzioni sono sbagliate.\n";

} // namespace

namespace {

using Operation = std::function<zampli::copies::CopyResult(const zampli::copies::Progress &)>;

// Runs one operation, telling the terminal how it went; the exit status.
int run(const zampli::copies::StopSignals &stop, const Operation &operation, bool hintCheck)
{
    const zampli::copies::CopyResult result = operation(stop.stopping());
    if (!result.ok && stop.received() != 0) {
        print(stderr, QStringLiteral("%1. %2 Per avere la copia, avvia di nuovo zampli-copia.")
                          .arg(zampli::copies::StopSignals::reason(stop.received()), result.message));
        return 128 + stop.received(); // as a shell reports a program ended by that signal
    }
    if (!result.ok) {
        print(stderr, result.message);
        return 1;
    }
    print(stdout, result.message);
    if (hintCheck)
        print(stdout, QStringLiteral("Per controllare immagini e voci delle parole nuove: zampli-verifica \"%1\"")
                          .arg(result.copy.folder));
    return 0;
}

int exportTo(const zampli::copies::StopSignals &stop, const QString &copy, const QString &file)
{
    // A terminal asks no question before replacing: a file there stays.
    if (QFileInfo::exists(file) || QFileInfo(file).isSymLink()) {
        print(stderr, QStringLiteral("%1 c'è già: scegli un altro nome per il file, questo non viene toccato.")
                          .arg(file));
        return 1;
    }
    return run(stop, [&](const auto &progress) { return zampli::copies::exportCopy(copy, file, progress); }, false);
}

// A plain name goes where shared copies live; a path is taken as it is.
// With a file, the copy is made from it, or brought up to date when it is there.
int forEveryone(const zampli::copies::StopSignals &stop, const QString &folder, const QString &file = {})
{
    if (::geteuid() != 0) {
        const QString from = file.isEmpty() ? QString() : QStringLiteral(" --da \"%1\"").arg(file);
        print(stderr, QStringLiteral("Solo l'amministratore può fare una copia per tutti gli utenti: avvia "
                                     "\"sudo zampli-copia --per-tutti %1%2\" (senza sudo: su -c '...'), oppure "
                                     "fai una copia tua con \"zampli-copia %1\".").arg(folder, from));
        return 1;
    }
    const QString target = folder.contains(QLatin1Char('/'))
                               ? folder
                               : QLatin1String(zampli::copies::kSharedCopies) + QLatin1Char('/') + folder;
    const QString menu = QLatin1String(zampli::copies::kSharedMenu);
    if (!file.isEmpty())
        return run(stop, [&](const auto &progress) {
            return zampli::copies::importCopyForEveryone(QCoreApplication::applicationDirPath(), file, target, menu,
                                                         zampli::copies::ExistingCopy::Update, progress);
        }, true);
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        print(stderr, QStringLiteral("%1 c'è già e non viene toccata. Per aggiornarla con le parole di un'altra "
                                     "copia, esporta quella copia in un file .zampli e avvia "
                                     "\"zampli-copia --per-tutti %2 --da FILE.zampli\".").arg(target, folder));
        return 1;
    }
    return run(stop, [&](const auto &progress) {
        return zampli::copies::makeCopyForEveryone(QCoreApplication::applicationDirPath(), target, menu, progress);
    }, true);
}

// As root, a new copy from a file is a copy for everyone, its entry in every account's menu.
int importFrom(const zampli::copies::StopSignals &stop, const QString &file, const QString &target)
{
    const QString program = QCoreApplication::applicationDirPath();
    if (::geteuid() == 0)
        return run(stop, [&](const auto &progress) {
            return zampli::copies::importCopyForEveryone(program, file, target,
                                                         QLatin1String(zampli::copies::kSharedMenu),
                                                         zampli::copies::ExistingCopy::Refuse, progress);
        }, true);
    return run(stop, [&](const auto &progress) {
        return zampli::copies::importCopy(program, file, target, {}, progress);
    }, true);
}

} // namespace

int main(int argc, char *argv[])
{
    const zampli::copies::StopSignals stop;
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args[0] == QLatin1String("-h") || args[0] == QLatin1String("--help"))) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args.size() == 1 && (args[0] == QLatin1String("-V") || args[0] == QLatin1String("--version"))) {
        std::printf("zampli-copia %s\n", zampli::identity::kVersion);
        return 0;
    }
    const QString program = QCoreApplication::applicationDirPath();
    if (args.size() == 3 && args[0] == QLatin1String("--esporta"))
        return exportTo(stop, args[1], args[2]);
    if (args.size() == 3 && args[0] == QLatin1String("--importa"))
        return importFrom(stop, args[1], args[2]);
    if (args.size() == 2 && args[0] == QLatin1String("--per-tutti"))
        return forEveryone(stop, args[1]);
    if (args.size() == 4 && args[0] == QLatin1String("--per-tutti") && args[2] == QLatin1String("--da"))
        return forEveryone(stop, args[1], args[3]);
    if (args.size() == 2 && args[0] == QLatin1String("--scuola-prepara"))
        return zampli::copytool::prepareSchoolDatabase(args[1]);
    if (args.size() == 3 && args[0] == QLatin1String("--scuola"))
        return zampli::copytool::setCopySchool(args[1], args[2]);
    if (args.size() > 1 || (!args.isEmpty() && args[0].startsWith(QLatin1Char('-')))) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    QString problem;
    const QString target = args.isEmpty() ? zampli::copies::defaultTarget(&problem) : args[0];
    if (target.isEmpty()) {
        print(stderr, problem.isEmpty() ? QStringLiteral("Indica la cartella in cui fare la copia.") : problem);
        return 1;
    }
    return run(stop, [&](const auto &progress) { return zampli::copies::makeCopy(program, target, {}, progress); },
               true);
}
