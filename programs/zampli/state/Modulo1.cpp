// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/Modulo1.h"

#include "catalog/Vowels.h"
#include "media/SoundPlayer.h"
#include "state/VowelMedia.h"
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

void Modulo1::preparePictures()
{
    QStringList paths;
    for (const QString &letter : vowelLetters()) {
        paths << vowelPicture(services.media, Pictures::Faces, letter).path;
        for (int style = 1; style <= 4; ++style)
            paths << vowelPicture(services.media, Pictures::Letters, letter, style).path;
    }
    pictures.prepare(paths);
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
