// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures-voices/MediaState.h"

#include "media/FileNames.h"
#include "sound/SoundWav.h"

#include <QFileInfo>
#include <QImageReader>

namespace zampli::teacher {

FileState pictureState(const QString &path)
{
    const QString file = existingFile(path);
    if (!QFileInfo(file).isFile())
        return FileState::Missing;
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    return reader.canRead() ? FileState::Ready : FileState::Unreadable;
}

FileState voiceState(const QString &path)
{
    const QString file = existingFile(path);
    if (!QFileInfo(file).isFile())
        return FileState::Missing;
    // The same reader the program plays through: what it refuses, the child would not hear.
    return probeWav(file).sound ? FileState::Ready : FileState::Unreadable;
}

QString stateText(FileState picture, FileState voice, bool beyondLimit)
{
    if (beyondLimit)
        return QStringLiteral("oltre le 50 che il programma usa");
    if (picture == FileState::Missing && voice == FileState::Missing)
        return QStringLiteral("mancano l'immagine e la voce");
    if (picture == FileState::Missing)
        return QStringLiteral("manca l'immagine");
    if (voice == FileState::Missing)
        return QStringLiteral("manca la voce");
    if (picture == FileState::Unreadable)
        return QStringLiteral("immagine illeggibile: importala di nuovo");
    if (voice == FileState::Unreadable)
        return QStringLiteral("voce illeggibile: convertila o registrala di nuovo");
    return QStringLiteral("pronta");
}

QString voiceStateText(FileState voice)
{
    switch (voice) {
    case FileState::Ready:
        return QStringLiteral("pronta");
    case FileState::Missing:
        return QStringLiteral("manca la voce");
    case FileState::Unreadable:
        return QStringLiteral("voce illeggibile: convertila o registrala di nuovo");
    }
    return {};
}

} // namespace zampli::teacher
