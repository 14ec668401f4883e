// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/MediaPaths.h"

#include <QDir>
#include <QFileInfo>

namespace zampli {

MediaPaths::MediaPaths(QString programFolder)
    : folder_(QDir::fromNativeSeparators(std::move(programFolder)))
{
    while (folder_.size() > 1 && folder_.endsWith(QLatin1Char('/')))
        folder_.chop(1);
}

QString MediaPaths::startFolder(const QString &startedAs, const QString &programFolder)
{
    // A bare name was looked up in PATH: the program file's own folder.
    if (!startedAs.contains(QLatin1Char('/')))
        return programFolder;
    // Made absolute but not resolved, so a link leads to its own folder.
    const QString folder = QFileInfo(QDir::cleanPath(QDir::current().absoluteFilePath(startedAs))).path();
    // /usr/bin holds a link to the program too, but no media.
    return QFileInfo(folder + QStringLiteral("/testi")).isDir() ? folder : programFolder;
}

QString MediaPaths::join(const char *subFolder, const QString &name) const
{
    return folder_ + QLatin1Char('/') + QLatin1String(subFolder) + QLatin1Char('/') + name;
}

QString MediaPaths::letterPicture(const QString &letter, int style) const
{
    return join("jpg", letter + QString::number(style) + QLatin1String(".jpg"));
}

QString MediaPaths::facePicture(const QString &letter) const
{
    return join("jpg", letter + QLatin1String(".jpg"));
}

QString MediaPaths::wordPicture(const QString &word) const
{
    return join("jpg", word + QLatin1String(".jpg"));
}

QString MediaPaths::voice(const QString &name) const
{
    return join("voci", name + QLatin1String(".wav"));
}

QString MediaPaths::praise(int n) const
{
    return join("suoni", QLatin1String("si") + QString::number(n) + QLatin1String(".wav"));
}

QString MediaPaths::errorSound() const
{
    return join("suoni", QStringLiteral("no.wav"));
}

QString MediaPaths::wordList(const QString &letter) const
{
    return join("testi", letter.toLower() + QLatin1String(".txt"));
}

} // namespace zampli
