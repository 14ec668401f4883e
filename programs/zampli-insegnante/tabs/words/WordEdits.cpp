// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/WordEdits.h"

#include "core/WordListDocument.h"
#include "core/WordRules.h"

namespace zampli::teacher {

Said addWord(WordListDocument &list, const QString &typed, int &at)
{
    if (const QString why = list.add(typed); !why.isEmpty())
        return {why, true};
    const QString added = list.words().constLast();
    at = int(list.words().size()) - 1;
    return {QStringLiteral("«%1» aggiunta. Ora dalle un'immagine e una voce.").arg(added), false,
            QStringLiteral("aggiungi «%1»").arg(added)};
}

// The word she saw, found by its name in the list as it is now.
Said renameWord(WordListDocument &list, const QString &old, const QString &typed, int &at)
{
    at = int(list.words().indexOf(old));
    if (at < 0)
        return {QStringLiteral("«%1» non c'è più nell'elenco, è stata tolta fuori da ZAMPLI: se vuoi «%2» come "
                               "parola nuova, premi Aggiungi.").arg(old, cleanedWord(typed)), true};
    if (const QString why = list.rename(at, typed); !why.isEmpty())
        return {why, true};
    return {QStringLiteral("«%1» ora si chiama «%2»; la sua immagine e la sua voce l'hanno seguita.")
                .arg(old, list.words().at(at)),
            false, QStringLiteral("rinomina «%1» in «%2»").arg(old, list.words().at(at))};
}

Said removeWord(WordListDocument &list, const QString &word, int &at)
{
    at = int(list.words().indexOf(word));
    if (at < 0)
        return {QStringLiteral("«%1» era già stata tolta fuori da ZAMPLI.").arg(word)};
    list.remove(at);
    return {QStringLiteral("«%1» tolta dall'elenco (la sua immagine e la sua voce restano nella cartella). "
                           "Ctrl+Z la rimette.").arg(word),
            false, QStringLiteral("togli «%1»").arg(word)};
}

Said moveWord(WordListDocument &list, const QString &word, int by, int &at)
{
    const int from = int(list.words().indexOf(word));
    if (from < 0)
        return {QStringLiteral("«%1» non c'è più nell'elenco: è stata tolta fuori da ZAMPLI.").arg(word), true};
    at = from + by;
    if (at < 0 || at >= list.words().size())
        return {QStringLiteral("«%1» è già %2.").arg(word, by < 0 ? QStringLiteral("la prima")
                                                                   : QStringLiteral("l'ultima"))};
    list.move(from, at);
    return {QStringLiteral("«%1» spostata al posto %2.").arg(word).arg(at + 1), false,
            QStringLiteral("sposta «%1»").arg(word)};
}

} // namespace zampli::teacher
