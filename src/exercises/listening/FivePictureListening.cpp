#include "exercises/listening/FivePictureListening.h"

#include "exercises/listening/VoiceWait.h"
#include "shell/DesignCanvas.h"
#include "shell/VowelShuffle.h"
#include "state/Modulo1.h"
#include "state/Random.h"

#include <QTimer>

namespace zampli {

namespace {

const QColor kLightOrange(255, 192, 128);
constexpr QSize kSmall(2415, 2055);
constexpr QPoint kPlaces[5] = {{360, 120}, {5160, 120}, {2760, 2400}, {360, 4560}, {5160, 4560}};

} // namespace

FivePictureListening::FivePictureListening(Windows &w, FormId id)
    : ExerciseForm(w, id, QSize(9360, 7200), kLightOrange)
{
}

void FivePictureListening::buildControls(DesignCanvas &canvas)
{
    canvas.setPointer(Art::CursorArrow);
    group_ = canvas.addGroup(QStringLiteral("Image1_gruppo"));
    std::vector<Placement> places;
    for (QPoint at : kPlaces)
        places.push_back({.twips = QRect(at, kSmall), .pointer = Art::SpeakerNotes, .in = group_});
    image1_ = canvas.addArray<PictureBox>(QStringLiteral("Image1"), places);
    connect(image1_, &ControlArraySignals::clicked, this, &FivePictureListening::Image1_Click);

    // Made after the five, so it lies over the middle one.
    image2_ = canvas.add<PictureBox>(QStringLiteral("Image2"), {.twips = QRect(1920, 1320, 4335, 4095)});

    connect(addTimer1(&canvas), &QTimer::timeout, this, &FivePictureListening::Timer1_Timer);
}

void FivePictureListening::ownResets()
{
    m.Contatore = 0;
    image2_->hide();
}

void FivePictureListening::CaricaZampli()
{
    VowelShuffle::clearPlaces(*image1_);
    if (showsLetters() && !StileFisso)
        Stile = static_cast<qint16>(m.services.random.drawNumber(4));
    VowelShuffle::fillPlaces(
        *image1_, m.services.random, m.Lettere, m.pictures,
        [this](const QString &letter) { return vowelPicture(m.services.media, row().pictures, letter, Stile); },
        m.Vocale);
}

void FivePictureListening::Image1_Click(int index)
{
    const PictureBox &chosen = *(*image1_)[index];
    const QString tag = chosen.tag();
    m.InizioVoce = m.clock();
    group_->hide(); // the five go
    image2_->copyPicture(chosen);
    image2_->show();
    canvas()->setBackground(vowelColour(tag));
    m.Percorso = m.services.media.voice(tag);
    m.play(m.Percorso);
    ++m.Contatore;
    ++m.EserciziEseguiti;
}

void FivePictureListening::Timer1_Timer()
{
    if (!voiceWaitOver(m))
        return;
    image2_->hide();
    group_->show(); // the five are back
    if (m.Contatore == 5) {
        m.Contatore = 0;
        CaricaZampli();
    }
    canvas()->setBackground(kLightOrange);
}

} // namespace zampli
