#include "WordLists.h"

#include <QDir>
#include <QFile>

namespace mediagen {

QString writeWordLists(const WordTable &table, const QString &setFolder)
{
    const QString folder = setFolder + QStringLiteral("/testi");
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create %1").arg(folder);
    for (const QChar vowel : QStringLiteral("aeiou")) {
        QByteArray text;
        for (const Word &word : table.wordsFor(vowel))
            text += word.text.toLatin1() + "\r\n";
        QFile file(folder + QLatin1Char('/') + vowel + QStringLiteral(".txt"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
            return QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
    }
    return {};
}

} // namespace mediagen
