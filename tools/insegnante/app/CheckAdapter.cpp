// SPDX-License-Identifier: GPL-3.0-or-later
#include "CheckAdapter.h"

#include "MediaCheck.h"

#include <QRegularExpression>

namespace zampli::teacher {

namespace {

Finding finding(const QString &line, bool problem)
{
    Finding f;
    f.problem = problem;
    const qsizetype colon = line.indexOf(QStringLiteral(": "));
    f.file = colon < 0 ? QString() : line.left(colon);
    f.what = colon < 0 ? line : line.mid(colon + 2);
    const bool picture = f.file.startsWith(QLatin1String("jpg/"));
    const bool sound = f.file.startsWith(QLatin1String("voci/")) || f.file.startsWith(QLatin1String("suoni/"));
    static const QRegularExpression caseNote(QStringLiteral("^trovato come (.+) \\(maiuscole e minuscole diverse\\)$"));
    if (const QRegularExpressionMatch m = caseNote.match(f.what); m.hasMatch()) {
        f.fix = Fix::RenameCase;
        f.foundAs = m.captured(1);
    } else if (picture) {
        f.fix = Fix::ImportPicture;
    } else if (sound) {
        f.fix = f.what == QLatin1String("manca") ? Fix::RecordVoice : Fix::ConvertVoice;
    } else if (f.file.startsWith(QLatin1String("testi/"))) {
        f.fix = Fix::OpenList;
    }
    return f;
}

} // namespace

QList<Finding> checkFolder(const QString &folder)
{
    const MediaReport report = checkMedia(folder);
    QList<Finding> findings;
    for (const QString &line : report.problems)
        findings << finding(line, true);
    for (const QString &line : report.notes)
        findings << finding(line, false);
    return findings;
}

} // namespace zampli::teacher
