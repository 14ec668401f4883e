// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures-voices/MediaActions.h"

#include "imports/PictureImport.h"
#include "imports/VoiceImport.h"
#include "pictures-voices/RecordDialog.h"
#include "shared/Progress.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace zampli::teacher {

namespace {

QString ensureFolder(const QString &target)
{
    const QString folder = QFileInfo(target).absolutePath();
    if (QDir().mkpath(folder))
        return {};
    return QStringLiteral("Non posso creare la cartella %1: controlla di poterci scrivere.").arg(folder);
}

FileChoice *chosenFileChoice = nullptr;

QString chooseFile(QWidget *parent, const QString &title, const QString &filter, const char *key)
{
    if (chosenFileChoice)
        return chosenFileChoice->choose(parent, title);
    QSettings settings;
    const QString last = settings.value(key, QDir::homePath()).toString();
    const QString file = QFileDialog::getOpenFileName(parent, title, last, filter);
    if (!file.isEmpty())
        settings.setValue(key, QFileInfo(file).absolutePath());
    return file;
}

// The picture in a box of the child's windows' proportions, half its size.
class PreviewDialog : public PicturePreview {
public:
    bool use(QWidget *parent, const QImage &picture, const QString &target) override
    {
        QDialog dialog(parent);
        dialog.setObjectName(QStringLiteral("anteprima"));
        dialog.setWindowTitle(QStringLiteral("Immagine per %1").arg(QFileInfo(target).completeBaseName()));
        auto *layout = new QVBoxLayout(&dialog);
        auto *intro = new QLabel(QStringLiteral("Così la vedrà il bambino. La uso?"));
        intro->setWordWrap(true);
        layout->addWidget(intro);
        auto *shown = new QLabel;
        shown->setPixmap(QPixmap::fromImage(picture.scaled(picture.size() / 2, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        shown->setFrameShape(QFrame::Box);
        layout->addWidget(shown, 0, Qt::AlignCenter);
        auto *buttons = new QDialogButtonBox;
        buttons->addButton(QStringLiteral("&Usa questa"), QDialogButtonBox::AcceptRole)->setDefault(true);
        buttons->addButton(QStringLiteral("&Annulla"), QDialogButtonBox::RejectRole);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        return dialog.exec() == QDialog::Accepted;
    }
};

PicturePreview *chosenPreview = nullptr;

PicturePreview &preview()
{
    static PreviewDialog dialog;
    return chosenPreview ? *chosenPreview : dialog;
}

QString savedIfUsed(QWidget *parent, const ImportedPicture &picture, const QString &target)
{
    if (picture.image.isNull())
        return picture.error;
    if (!preview().use(parent, picture.image, target))
        return QStringLiteral("L'immagine %1 non è cambiata: scegline un'altra quando vuoi.").arg(QFileInfo(target).fileName());
    return savePicture(picture.image, target);
}

} // namespace

void setFileChoice(FileChoice *choice)
{
    chosenFileChoice = choice;
}

void setPicturePreview(PicturePreview *preview)
{
    chosenPreview = preview;
}

QString putPicture(QWidget *parent, const QString &source, const QString &target)
{
    if (QString error = ensureFolder(target); !error.isEmpty())
        return error;
    return savedIfUsed(parent, withProgress(parent, QStringLiteral("Preparo l'immagine…"), [&] { return importPicture(source); }),
                       target);
}

QString putPicture(QWidget *parent, const QImage &image, const QString &target)
{
    if (QString error = ensureFolder(target); !error.isEmpty())
        return error;
    return savedIfUsed(parent, withProgress(parent, QStringLiteral("Preparo l'immagine…"), [&] { return importPicture(image); }),
                       target);
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
