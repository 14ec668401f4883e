// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpeechScript.h"

#include <QDir>
#include <QFile>

namespace mediagen {

namespace {

struct Utterance {
    QString text;
    QString target; // relative to the work folder
};

// Slower than the voice's default: the listeners are four to six.
constexpr const char *scriptHead =
    "(voice_lp_diphone)\n"
    "(Parameter.set 'Duration_Stretch 1.7)\n"
    "(define (say text file)\n"
    "  (utt.save.wave (utt.synth (eval (list 'Utterance 'Text text))) file 'riff))\n";

constexpr const char *speechLevel = "-16";

QList<Utterance> utterances(const WordTable &table)
{
    QList<Utterance> all;
    for (const Word &word : table.words())
        all.append({word.spoken, QStringLiteral("set/voci/%1.wav").arg(word.text)});
    const QStringList praise = {QStringLiteral("Bravo!"), QStringLiteral("Bene!"),
                                QStringLiteral("Ottimo!"), QStringLiteral("Bravissimo!")};
    for (int i = 0; i < praise.size(); ++i)
        all.append({praise.at(i), QStringLiteral("set/suoni/si%1.wav").arg(i + 1)});
    return all;
}

QString quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size())
        return true;
    *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}

} // namespace

QString writeSpeechScript(const WordTable &table, const QString &workFolder)
{
    if (!QDir().mkpath(workFolder + QStringLiteral("/raw")))
        return QStringLiteral("cannot create %1/raw").arg(workFolder);
    QByteArray script = scriptHead;
    QByteArray cleanList;
    const QList<Utterance> all = utterances(table);
    for (int i = 0; i < all.size(); ++i) {
        const QString raw = QStringLiteral("raw/s%1.wav").arg(i + 1, 3, 10, QLatin1Char('0'));
        script += "(say " + quoted(all.at(i).text).toLatin1() + " \"" + raw.toLatin1() + "\")\n";
        cleanList += raw.toUtf8() + ' ' + all.at(i).target.toUtf8() + ' ' + speechLevel + '\n';
    }
    QString error;
    if (!writeFile(workFolder + QStringLiteral("/speech.scm"), script, &error)
        || !writeFile(workFolder + QStringLiteral("/clean.list"), cleanList, &error))
        return error;
    return {};
}

} // namespace mediagen
