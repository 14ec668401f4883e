#include "app/FormFactory.h"

#include "exercises/listening/SinglePictureListening.h"
#include "shell/FormAvvio.h"
#include "shell/FormMenu.h"

namespace zampli {

std::unique_ptr<Form> createForm(FormId id, Modulo1 &m)
{
    switch (id) {
    case FormId::Avvio: return std::make_unique<FormAvvio>(m);
    case FormId::Menu: return std::make_unique<FormMenu>(m);
    case FormId::Posizioni1:
    case FormId::Zampli1: return std::make_unique<SinglePictureListening>(m, id);
    default: return nullptr;
    }
}

} // namespace zampli
