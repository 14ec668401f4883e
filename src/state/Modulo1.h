#pragma once

#include "media/PictureLoader.h"
#include "state/Counter16.h"
#include "state/Services.h"

#include <QString>
#include <array>

class QWidget;

namespace zampli {

// The state every window shares and the routines behind it. Windows read and
// write it directly; there is no other shared service.
class Modulo1 {
public:
    explicit Modulo1(Services s);
    Modulo1(const Modulo1 &) = delete;
    Modulo1 &operator=(const Modulo1 &) = delete;

    // The vowel table: slots 1 to 5 hold "A" to "U", slot 0 stays empty.
    std::array<QString, 6> Lettere;
    qint16 Vocale = 0;
    Counter16 EserciziEseguiti;
    Counter16 EserciziErrati;
    Counter16 Contatore;
    double InizioVoce = 0;
    double OraAttuale = 0;
    QString Percorso;

    Services services;
    PictureLoader pictures;

    void PreparaLettere();
    void SuonoGiusto();
    void SuonoSbagliato();
    // The boxes sit over `parent`, the window that asked.
    void ConfermaUscita(QWidget *parent);
    void MostraInformazioni(QWidget *parent);

    // Plays a sound file by its full path, without waiting.
    void play(const QString &path);
    double clock() const;
};

// The information box's four lines.
QString informationText();

} // namespace zampli
