#include "app/Modulo1.h"

#include "app/Clock.h"
#include "app/FormFactory.h"
#include "app/Random.h"
#include "media/SoundPlayer.h"
#include "shell/Form.h"
#include "shell/MessageBoxes.h"

#include <QColor>
#include <QApplication>

namespace zampli {

Modulo1::Modulo1(Services services) : Modulo1(std::move(services), createForm) {}

Modulo1::Modulo1(Services services, FormFactory factory)
    : services(std::move(services)), pictures(this->services.problems), factory_(std::move(factory))
{
}

// Windows go first: their controls may still refer to the shared state.
Modulo1::~Modulo1() { forms_.clear(); }

void Modulo1::Main()
{
    services.random.seedFromClock();
    if (Form *avvio = form(FormId::Avvio))
        avvio->Show();
}

void Modulo1::PreparaLettere()
{
    Lettere = {QString(), QStringLiteral("A"), QStringLiteral("E"), QStringLiteral("I"),
               QStringLiteral("O"), QStringLiteral("U")};
}

void Modulo1::SuonoGiusto()
{
    play(services.media.praise(services.random.drawNumber(4)));
}

void Modulo1::SuonoSbagliato()
{
    play(services.media.errorSound());
}

// Boxes sit over the window that asked.
static QWidget *activeWindow()
{
    return QApplication::activeWindow();
}

void Modulo1::ConfermaUscita()
{
    if (services.boxes.askYesNo(QStringLiteral("Vuoi uscire dal programma?"), activeWindow()))
        services.endProgram();
}

QString informationText()
{
    return QStringLiteral("Squadra ZAMPLI  \r\n"
                          " ----------------------- \r\n"
                          "https://zampli.example.org\r\n"
                          "mail: info@zampli.example.org");
}

void Modulo1::MostraInformazioni()
{
    services.boxes.inform(informationText(), activeWindow());
}

Form *Modulo1::form(FormId id)
{
    auto it = forms_.find(id);
    if (it != forms_.end())
        return it->second.get();
    std::unique_ptr<Form> made = factory_(id, *this);
    if (!made)
        return nullptr;
    return forms_.emplace(id, std::move(made)).first->second.get();
}

Form *Modulo1::existingForm(FormId id) const
{
    auto it = forms_.find(id);
    return it == forms_.end() ? nullptr : it->second.get();
}

void Modulo1::play(const QString &path)
{
    services.sound.play(path);
}

double Modulo1::clock() const
{
    return services.clock.secondsSinceMidnight();
}

QColor vowelColour(int vowel)
{
    switch (vowel) {
    case 1: return QColor(255, 0, 0);
    case 2: return QColor(255, 255, 0);
    case 3: return QColor(0, 0, 255);
    case 4: return QColor(255, 192, 192);
    case 5: return QColor(0, 192, 0);
    }
    return QColor(0, 0, 128);
}

} // namespace zampli
