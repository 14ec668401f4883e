// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/Modulo1.h"

#include "media/SoundPlayer.h"
#include "state/Clock.h"
#include "state/MessageBoxes.h"
#include "rules/Random.h"

#include "ProductIdentity.h"

namespace zampli {

Modulo1::Modulo1(Services s) : services(std::move(s)), pictures(services.problems) {}

ExerciseServices Modulo1::exerciseServices()
{
    return {*this, *this, services.random, services.clock, services.media, pictures, services.boxes, services.problems,
            services.answers};
}

void Modulo1::SuonoGiusto()
{
    play(services.media.praise(services.random.drawNumber(4)));
}

void Modulo1::SuonoSbagliato()
{
    play(services.media.errorSound());
}

void Modulo1::ConfermaUscita(QWidget *parent)
{
    if (services.boxes.askYesNo(QStringLiteral("Vuoi uscire dal programma?"), parent))
        services.endProgram();
}

QString informationText()
{
    return QStringLiteral("%1  \r\n"
                          " ----------------------- \r\n"
                          "%2\r\n"
                          "mail: %3")
        .arg(QString::fromUtf8(identity::kTeam), QString::fromUtf8(identity::kWebsite),
             QString::fromUtf8(identity::kMail));
}

void Modulo1::MostraInformazioni(QWidget *parent)
{
    services.boxes.inform(informationText(), parent);
}

void Modulo1::speak(const QString &letter)
{
    Percorso = services.media.voice(letter);
    play(Percorso);
}

void Modulo1::speakWord(const QString &word)
{
    speak(word); // words and vowels share the voice folder and its naming
}

void Modulo1::sayAgain()
{
    play(Percorso);
}

void Modulo1::wrongAnswer()
{
    ++EserciziErrati;
    SuonoSbagliato();
}

void Modulo1::play(const QString &path)
{
    services.sound.play(path);
}

} // namespace zampli
