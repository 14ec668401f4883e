// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Programma.h"

#include "exercises/initial/InitialVowel.h"
#include "exercises/listening/FivePictureListening.h"
#include "exercises/listening/SinglePictureListening.h"
#include "exercises/matching/CharacterClickMatching.h"
#include "exercises/matching/CharacterDragMatching.h"
#include "exercises/matching/PositionMatching.h"
#include "exercises/recognition/PictureRecognition.h"
#include "shell/FormAvvio.h"
#include "shell/FormMenu.h"
#include "rules/Random.h"
#include "state/AnswerLog.h"

namespace zampli {

std::unique_ptr<Form> createForm(FormId id, Windows &windows)
{
    switch (id) {
    case FormId::Avvio: return std::make_unique<FormAvvio>(windows);
    case FormId::Menu: return std::make_unique<FormMenu>(windows);
    case FormId::Posizioni1:
    case FormId::Zampli1: return std::make_unique<SinglePictureListening>(windows, id);
    case FormId::Posizioni2:
    case FormId::Zampli2: return std::make_unique<FivePictureListening>(windows, id);
    case FormId::Posizioni3:
    case FormId::Zampli3:
    case FormId::Posizioni4:
    case FormId::Zampli4: return std::make_unique<PictureRecognition>(windows, id);
    case FormId::Posizioni5: return std::make_unique<PositionMatching>(windows);
    case FormId::Caratteri1: return std::make_unique<CharacterClickMatching>(windows);
    case FormId::Caratteri2: return std::make_unique<CharacterDragMatching>(windows);
    case FormId::IniziaPer: return std::make_unique<InitialVowel>(windows);
    default: return nullptr;
    }
}

Programma::Programma(Services services, Windows::Factory factory)
    : modulo(std::move(services)), windows(modulo, std::move(factory))
{
}

void Programma::Main()
{
    modulo.services.random.seedFromClock();
    modulo.services.answers.sessionStarted();
    if (Form *avvio = windows.form(FormId::Avvio))
        avvio->Show();
}

} // namespace zampli
