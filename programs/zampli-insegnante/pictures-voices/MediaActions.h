// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>
#include <functional>

class QWidget;

namespace zampli::teacher {

struct TeacherServices;

// Shows a picture as the child will see it, before it is saved: true when
// the teacher takes it ("Usa questa"), false on "Annulla".
class PicturePreview {
public:
    virtual ~PicturePreview() = default;
    virtual bool use(QWidget *parent, const QImage &picture, const QString &target) = 0;
};
// The preview putPicture shows; null: the program's own dialog.
void setPicturePreview(PicturePreview *preview);

// Each returns an empty string once the file is in place, else what went
// wrong and what to do, in Italian; a picture not taken after its preview
// is not put in place.
QString putPicture(QWidget *parent, const QString &source, const QString &target);
QString putPicture(QWidget *parent, const QImage &image, const QString &target);
QString putVoice(QWidget *parent, const QString &source, const QString &target);

// The file the teacher picks, answered by tests instead of a dialog.
class FileChoice {
public:
    virtual ~FileChoice() = default;
    virtual QString choose(QWidget *parent, const QString &title) = 0;
};
// The choice the two below use; null: the desktop's own file dialog.
void setFileChoice(FileChoice *choice);

// The teacher picks a file (the folder last used is remembered); empty when
// she changed her mind.
QString choosePictureFile(QWidget *parent);
QString chooseVoiceFile(QWidget *parent);

// The recording window for `target`; `saved` runs once a voice was saved.
void openRecorder(QWidget *parent, TeacherServices &services, const QString &target, const QString &name,
                  const std::function<void()> &saved);

} // namespace zampli::teacher
