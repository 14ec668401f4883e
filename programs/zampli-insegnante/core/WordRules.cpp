// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/WordRules.h"

#include "catalog/Vowels.h"
#include "wordlist/WordList.h"

#include <QRegularExpression>

#include <algorithm>

namespace zampli::teacher {

namespace {

// Blanks and invisible marks (a byte-order mark pasted along) only.
bool showsNothing(const QString &word)
{
    return std::all_of(word.cbegin(), word.cend(),
                       [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Format; });
}

bool hasControl(const QString &word)
{
    return std::any_of(word.cbegin(), word.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

// The word's first letter without its accent, in lower case: 'e' for "Èlica".
QChar bareInitial(const QString &word)
{
    const QString decomposed = word.left(1).normalized(QString::NormalizationForm_D);
    return decomposed.isEmpty() ? QChar() : decomposed.front().toLower();
}

// What follows an article and its apostrophe ("albero" of "l'albero"); empty
// when the word does not begin with one. Articles and the prepositions joined
// to them are short: "l'", "un'", "dell'", "sull'", "quell'".
QString afterArticle(const QString &word)
{
    static const QRegularExpression article(QStringLiteral("^\\p{L}{1,5}['’](\\p{L}.*)$"));
    const QRegularExpressionMatch match = article.match(word);
    return match.hasMatch() ? match.captured(1) : QString();
}

// ".jpg" and ".wav" are added to the word, and a file name holds 255 bytes.
constexpr qsizetype kMaxNameBytes = 255 - 4;

} // namespace

QString cleanedWord(const QString &typed)
{
    return typed.trimmed();
}

QString wordRefusal(const QString &word, const QStringList &others)
{
    if (showsNothing(word))
        return QStringLiteral("La parola è vuota: scrivi almeno una lettera.");
    if (word.contains(u'/') || word.contains(u'\\'))
        return QStringLiteral("Una parola non può contenere / o \\, perché è anche il nome del file della sua "
                              "immagine e della sua voce: scrivila senza.");
    if (word.startsWith(u'.'))
        return QStringLiteral("Una parola non può cominciare con un punto: la sua immagine diventerebbe un file "
                              "nascosto. Togli il punto iniziale.");
    if (word.contains(QLatin1String("..")))
        return QStringLiteral("Una parola non può contenere due punti di seguito (..): togline uno.");
    if (hasControl(word))
        return QStringLiteral("La parola contiene un carattere invisibile (un a capo o una tabulazione, per "
                              "esempio da un copia e incolla): riscrivila a mano.");
    if (word.contains(u',') || word.contains(u'"'))
        return QStringLiteral("Una parola non può contenere la virgola o le virgolette, che nell'elenco separano "
                              "le parole: scrivila senza.");
    if (word.toUtf8().size() > kMaxNameBytes)
        return QStringLiteral("La parola è troppo lunga per essere il nome di un file: accorciala.");
    if (!isPlainWord(word))
        return QStringLiteral("Questa parola non può essere il nome di un file: scrivila con sole lettere.");
    for (qsizetype i = 0; i < others.size(); ++i)
        if (others.at(i).compare(word, Qt::CaseInsensitive) == 0)
            return QStringLiteral("«%1» c'è già nell'elenco (è la numero %2): due parole uguali avrebbero la stessa "
                                  "immagine e la stessa voce.").arg(others.at(i)).arg(i + 1);
    return {};
}

QString initialRefusal(const QString &word, QChar vowel)
{
    if (const QString rest = afterArticle(word); !rest.isEmpty())
        return QStringLiteral("«%1» comincia con l'articolo: scrivi %2, senza l'articolo.").arg(word, rest);
    const QChar own = vowel.toLower();
    const QChar initial = bareInitial(word);
    if (initial == own)
        return {};
    const QString upper = QString(own.toUpper());
    QString why = QStringLiteral("«%1» non comincia con la %2: nell'elenco della %2 vanno solo parole che "
                                 "cominciano con la %2.").arg(word, upper);
    if (vowelNumber(QString(initial.toUpper())) > 0)
        why += QStringLiteral(" Scrivila nell'elenco della %1.").arg(initial.toUpper());
    return why;
}

} // namespace zampli::teacher
