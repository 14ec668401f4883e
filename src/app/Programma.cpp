#include "app/Programma.h"

#include "exercises/initial/InitialVowel.h"
#include "exercises/listening/SinglePictureListening.h"
#include "shell/FormAvvio.h"
#include "shell/FormMenu.h"
#include "state/Random.h"

namespace zampli {

std::unique_ptr<Form> createForm(FormId id, Windows &windows)
{
    switch (id) {
    case FormId::Avvio: return std::make_unique<FormAvvio>(windows);
    case FormId::Menu: return std::make_unique<FormMenu>(windows);
    case FormId::Posizioni1:
    case FormId::Zampli1: return std::make_unique<SinglePictureListening>(windows, id);
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
    if (Form *avvio = windows.form(FormId::Avvio))
        avvio->Show();
}

} // namespace zampli
