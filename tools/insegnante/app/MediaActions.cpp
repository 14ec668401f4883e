// SPDX-License-Identifier: GPL-3.0-or-later
#include "MediaActions.h"

#include "PictureImport.h"
#include "Progress.h"
#include "RecordDialog.h"
#include "VoiceImport.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QSettings>

namespace zampli::teacher {

namespace {

QString ensureFolder(const QString &target)
{
    const QString folder = QFileInfo(target).absolutePath();
    if (QDir().mkpath(folder))
        return {};
    return QStringLiteral("Non posso creare la cartella %1: controlla di poterci scrivere.").arg(folder);
}

QString chooseFile(QWidget *parent, const QString &title, const QString &filter, const char *key)
{
    QSettings settings;
    const QString last = settings.value(key, QDir::homePath()).toString();
    const QString file = QFileDialog::getOpenFileName(parent, title, last, filter);
    if (!file.isEmpty())
        settings.setValue(key, QFileInfo(file).absolutePath());
    return file;
}

} // namespace

QString putPicture(QWidget *parent, const QString &source, const QString &target)
{
    if (QString error = ensureFolder(target); !error.isEmpty())
        return error;
    return withProgress(parent, QStringLiteral("Preparo l'immagine…"), [&] {
        const ImportedPicture picture = importPicture(source);
        return picture.image.isNull() ? picture.error : savePicture(picture.image, target);
    });
}

QString putPicture(QWidget *parent, const QImage &image, const QString &target)
{
    if (QString error = ensureFolder(target); !error.isEmpty())
        return error;
    return withProgress(parent, QStringLiteral("Preparo l'immagine…"), [&] {
        const ImportedPicture picture = importPicture(image);
        return picture.image.isNull() ? picture.error : savePicture(picture.image, target);
    });
}

QString putVoice(QWidget *parent, const QString &source, const QString &target)
{
    if (QString error = ensureFolder(target); !error.isEmpty())
        return error;
    return withProgress(parent, QStringLiteral("Preparo la voce…"), [&] {
        const ImportedVoice voice = importVoice(source);
        return voice.samples.empty() ? voice.error : saveVoice(voice.samples, target);
    });
}

QString choosePictureFile(QWidget *parent)
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return chooseFile(parent, QStringLiteral("Scegli un'immagine"),
                      QStringLiteral("Immagini (%1);;Tutti i file (*)").arg(patterns.join(u' ')), "cartellaImmagini");
}

QString chooseVoiceFile(QWidget *parent)
{
    return chooseFile(parent, QStringLiteral("Scegli un suono"),
                      QStringLiteral("Suoni (*.wav *.flac *.ogg *.oga *.opus *.aiff *.aif *.mp3);;Tutti i file (*)"),
                      "cartellaSuoni");
}

void openRecorder(QWidget *parent, TeacherServices &services, const QString &target, const QString &name,
                  const std::function<void()> &saved)
{
    auto *dialog = new RecordDialog(services, target, name, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, parent, saved);
    dialog->open();
}

} // namespace zampli::teacher
