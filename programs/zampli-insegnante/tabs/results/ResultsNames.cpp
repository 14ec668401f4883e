// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsNames.h"

#include "catalog/Vowels.h"

#include <QDateTime>
#include <QLocale>

namespace zampli::teacher {

QString styleName(int style)
{
    // As the letters are drawn: styles 1 and 3 upper case, 3 and 4 cursive.
    switch (style) {
    case 1: return QStringLiteral("stampato maiuscolo");
    case 2: return QStringLiteral("stampato minuscolo");
    case 3: return QStringLiteral("corsivo maiuscolo");
    case 4: return QStringLiteral("corsivo minuscolo");
    }
    return QStringLiteral("stile %1").arg(style);
}

namespace {

QString askedText(const QuestionKind &k)
{
    if (k.askedAs == QLatin1String("voce"))
        return QStringLiteral("sente la vocale");
    if (k.askedAs == QLatin1String("faccia"))
        return QStringLiteral("vede la bocca");
    if (k.askedAs == QLatin1String("lettera"))
        return QStringLiteral("vede la lettera in %1").arg(styleName(k.style));
    if (k.askedAs == QLatin1String("parola"))
        return QStringLiteral("vede la parola");
    if (k.askedAs == QLatin1String("tessera"))
        return QStringLiteral("vede la tessera colorata");
    return k.askedAs;
}

QString chosenText(const QuestionKind &k)
{
    if (k.chosenAs == QLatin1String("faccia"))
        return QStringLiteral("sceglie la bocca");
    if (k.chosenAs == QLatin1String("lettera"))
        return k.askedAs == QLatin1String("lettera") ? QStringLiteral("sceglie la stessa in un altro stile")
                                                     : QStringLiteral("sceglie la lettera in %1").arg(styleName(k.style));
    if (k.chosenAs == QLatin1String("tessera"))
        return k.askedAs == QLatin1String("parola") ? QStringLiteral("sceglie la vocale con cui inizia")
                                                     : QStringLiteral("sceglie la tessera colorata");
    if (k.chosenAs == QLatin1String("voce"))
        return QStringLiteral("sceglie il suono");
    return k.chosenAs;
}

} // namespace

QString kindName(const QuestionKind &kind)
{
    QString text = askedText(kind) + QStringLiteral(", ") + chosenText(kind);
    text[0] = text[0].toUpper();
    return text;
}

QString kindKey(const QuestionKind &k)
{
    return QStringLiteral("%1|%2|%3").arg(k.askedAs, k.chosenAs).arg(k.style);
}

std::optional<QuestionKind> kindOfKey(const QString &key)
{
    const QStringList parts = key.split(QLatin1Char('|'));
    if (parts.size() != 3)
        return std::nullopt;
    return QuestionKind{parts[0], parts[1], parts[2].toInt()};
}

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("dd/MM/yyyy"));
}

QString dayText(qint64 ms)
{
    return dayText(QDateTime::fromMSecsSinceEpoch(ms).date());
}

QString timeText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm"));
}

QString missedText(const MissedWord &w)
{
    return QStringLiteral("%1: %2 su %3")
        .arg(w.word, countText(w.wrong, "sbagliata", "sbagliate"), QLocale(QLocale::Italian).toString(w.asked));
}

QString vowelText(int vowel)
{
    return vowelLetter(vowel + 1);
}

QColor vowelColor(int vowel)
{
    return QColor::fromRgb(vowelArgb(vowel + 1));
}

} // namespace zampli::teacher
