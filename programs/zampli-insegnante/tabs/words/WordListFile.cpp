// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/WordListFile.h"

#include "media/FileNames.h"
#include "wordlist/WordList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zampli::teacher {

namespace {

// A word renamed (or a rename taken back) takes its files along, unless the
// new name has files of its own already.
void moveFiles(const MediaPaths &paths, const QStringList &before, const QStringList &after)
{
    if (before.size() != after.size())
        return;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before[i] == after[i])
            continue;
        for (const auto &name : {&MediaPaths::wordPicture, &MediaPaths::voice}) {
            const QString from = existingFile((paths.*name)(before[i])), to = (paths.*name)(after[i]);
            if (QFileInfo(from).isFile() && !QFileInfo::exists(existingFile(to)))
                QFile::rename(from, to);
        }
    }
}

// How many words, singular or plural: "1 parola nuova", "2 parole tolte".
QString wordCount(qsizetype n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

// The words of `words` missing from `other`, quoted, at most five of them.
QString missingFrom(const QStringList &words, const QStringList &other, qsizetype &count)
{
    QStringList missing;
    for (const QString &w : words)
        if (!other.contains(w))
            missing << QStringLiteral("«%1»").arg(w);
    count = missing.size();
    if (missing.size() > 5)
        missing = missing.mid(0, 5) << QStringLiteral("…");
    return missing.join(QStringLiteral(", "));
}

} // namespace

QString outsideLine(const QString &file, const QStringList &before, const QStringList &after)
{
    qsizetype added = 0, gone = 0;
    const QString newWords = missingFrom(after, before, added), oldWords = missingFrom(before, after, gone);
    QStringList what;
    if (added)
        what << wordCount(added, "parola nuova", "parole nuove") + QStringLiteral(": ") + newWords;
    if (gone)
        what << wordCount(gone, "parola tolta", "parole tolte") + QStringLiteral(": ") + oldWords;
    const QString line = QStringLiteral("%1 è stato cambiato fuori da ZAMPLI: ho ricaricato l'elenco").arg(file);
    return what.isEmpty() ? line + u'.' : QStringLiteral("%1 (%2).").arg(line, what.join(QStringLiteral("; ")));
}

QString goneLine(const QString &file)
{
    return QStringLiteral("%1 non c'è più: è stato spostato o cancellato fuori da ZAMPLI. Le parole che vedi qui "
                          "restano come erano: rimetti il file al suo posto, oppure fai un cambiamento e ZAMPLI ti "
                          "chiederà se scrivere di nuovo l'elenco con queste parole.")
        .arg(file);
}

WordListFile::WordListFile(const MediaPaths &paths, const QString &vowel) : paths_(paths), vowel_(vowel) {}

QString WordListFile::path() const
{
    return existingFile(paths_.wordList(vowel_.toUpper()));
}

void WordListFile::read()
{
    OpenedWordList opened = openWordList(path());
    document_ = std::move(opened.document);
    document_.requireInitial(vowel_.front());
    missing_ = opened.missing;
    readOnly_ = opened.readOnly;
    stamp_ = opened.stamp;
}

bool WordListFile::changedElsewhere() const
{
    return stampOf(path()) != stamp_;
}

bool WordListFile::goneElsewhere() const
{
    return stamp_ && !stampOf(path());
}

QString WordListFile::save(const QStringList &before)
{
    const QString file = path();
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (QString error = saveWhole(file, document_.bytes(), &stamp_); !error.isEmpty())
        return error;
    moveFiles(paths_, before, document_.words());
    missing_ = false;
    return {};
}

QStringList WordListFile::notice() const
{
    QStringList lines;
    if (!readOnly_.isEmpty())
        lines << readOnly_;
    if (missing_)
        lines << QStringLiteral("L'elenco %1 non c'è ancora: aggiungi una parola e verrà creato.")
                     .arg(QFileInfo(path()).fileName());
    if (document_.mixed())
        lines << QStringLiteral("Questo elenco mescolava due codifiche di testo (le lettere accentate di alcune righe "
                                "si leggevano male): ogni riga è stata letta a parte. Al primo cambiamento "
                                "l'elenco viene salvato pulito.");
    if (!document_.refused().isEmpty())
        lines << QStringLiteral("Queste righe non sono parole che il programma può usare e non verranno salvate: %1")
                     .arg(document_.refused().join(QStringLiteral(", ")));
    if (document_.words().size() > WordList::kMaxWords)
        lines << QStringLiteral("Il programma usa solo le prime %1 parole: sposta in alto quelle che vuoi usare.")
                     .arg(WordList::kMaxWords);
    return lines;
}

} // namespace zampli::teacher
