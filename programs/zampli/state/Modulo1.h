// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/PictureLoader.h"
#include "state/ExerciseServices.h"
#include "state/Services.h"
#include "state/Speaker.h"

#include <QString>

class QWidget;

namespace zampli {

// The state every window shares and the routines behind it. The title window
// and the menu use it whole; exercise windows get only their services.
class Modulo1 final : public Speaker, public SharedCounters {
public:
    explicit Modulo1(Services s);
    Modulo1(const Modulo1 &) = delete;
    Modulo1 &operator=(const Modulo1 &) = delete;

    QString Percorso; // the voice played last

    Services services;
    PictureLoader pictures;

    ExerciseServices exerciseServices();
    // Reads ahead, on a thread of its own, the faces and letters every
    // exercise window shows, so that opening one decodes small copies.
    void preparePictures();

    void SuonoGiusto();
    void SuonoSbagliato();
    // The boxes sit over `parent`, the window that asked.
    void ConfermaUscita(QWidget *parent);
    void MostraInformazioni(QWidget *parent);

    void speak(const QString &letter) override;
    void speakWord(const QString &word) override;
    void sayAgain() override;
    void praise() override { SuonoGiusto(); }
    void wrongAnswer() override;

    // Plays a sound file by its full path, without waiting.
    void play(const QString &path);
};

// The information box's four lines.
QString informationText();

} // namespace zampli
