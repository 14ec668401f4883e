#pragma once

#include "app/Counter16.h"
#include "app/FormId.h"
#include "app/Services.h"
#include "media/PictureLoader.h"
#include "shell/ActivationTracker.h"

#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>

namespace zampli {

class Form;

// The state every window shares and the routines behind it. Windows read and
// write it directly; there is no other shared service.
class Modulo1 {
public:
    using FormFactory = std::function<std::unique_ptr<Form>(FormId, Modulo1 &)>;

    explicit Modulo1(Services services);
    Modulo1(Services services, FormFactory factory);
    ~Modulo1();
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
    ActivationTracker activation;

    void Main();
    void PreparaLettere();
    void SuonoGiusto();
    void SuonoSbagliato();
    void ConfermaUscita();
    void MostraInformazioni();

    // The one instance of a window kind, created on first use and kept for
    // the run; null for a kind this program does not have.
    Form *form(FormId id);
    template <class F> F &form(FormId id) { return static_cast<F &>(*form(id)); }
    // The instance if it was ever created, without creating it.
    Form *existingForm(FormId id) const;

    // Plays a sound file by its full path, without waiting.
    void play(const QString &path);
    double clock() const;

private:
    FormFactory factory_;
    std::map<FormId, std::unique_ptr<Form>> forms_;
};

// The information box's four lines.
QString informationText();

// Colour of a vowel 1..5, as the windows tint their background.
QColor vowelColour(int vowel);

} // namespace zampli
