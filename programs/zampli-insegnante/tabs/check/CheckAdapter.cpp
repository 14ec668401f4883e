// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/check/CheckAdapter.h"

#include "mediacheck/MediaCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <limits>

namespace zampli::teacher {

namespace {

// A sound can always be recorded or taken from another file; converted
// only when there is something in it to convert.
QList<Fix> soundFixes(const QString &folder, const QString &file)
{
    const QFileInfo info(QDir(folder).filePath(file));
    if (info.isFile() && info.size() > 0)
        return {Fix::RecordVoice, Fix::ImportVoice, Fix::ConvertVoice};
    return {Fix::RecordVoice, Fix::ImportVoice};
}

Finding finding(const QString &folder, const QString &line, bool problem)
{
    Finding f;
    f.problem = problem;
    const qsizetype colon = line.indexOf(QStringLiteral(": "));
    f.file = colon < 0 ? QString() : line.left(colon);
    f.what = colon < 0 ? line : line.mid(colon + 2);
    static const QRegularExpression caseNote(QStringLiteral("^trovato come (.+) \\(maiuscole e minuscole diverse\\)$"));
    if (const QRegularExpressionMatch m = caseNote.match(f.what); m.hasMatch()) {
        f.fixes = {Fix::RenameCase};
        f.foundAs = m.captured(1);
    } else if (f.file.startsWith(QLatin1String("jpg/"))
               && f.what.contains(QLatin1String("piccola per uno schermo grande"))) {
        f.fixes = {Fix::PutInstalled, Fix::ImportPicture};
    } else if (f.file.startsWith(QLatin1String("jpg/"))) {
        f.fixes = {Fix::ImportPicture};
    } else if (f.file.startsWith(QLatin1String("voci/")) || f.file.startsWith(QLatin1String("suoni/"))) {
        f.fixes = soundFixes(folder, f.file);
    } else if (f.file.startsWith(QLatin1String("testi/"))) {
        f.fixes = {Fix::OpenList};
    }
    return f;
}

} // namespace

QList<Finding> checkFolder(const QString &folder)
{
    // Every finding, none summed up as "… e altri N": each needs its own button.
    const MediaReport report = checkMedia(folder, std::numeric_limits<int>::max());
    QList<Finding> findings;
    for (const QString &line : report.problems)
        findings << finding(folder, line, true);
    for (const QString &line : report.notes)
        findings << finding(folder, line, false);
    return findings;
}

} // namespace zampli::teacher
