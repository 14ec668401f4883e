// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercises/listening/FivePictureListening.h"

#include "exercises/listening/Timer1.h"
#include "shell/DesignCanvas.h"
#include "shell/ShownPlaces.h"
#include "state/Clock.h"
#include "state/Speaker.h"
#include "state/VowelMedia.h"

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
    placesGroup_ = canvas.addGroup(QStringLiteral("Image1_gruppo"));
    std::vector<Placement> places;
    for (QPoint at : kPlaces)
        places.push_back({.twips = QRect(at, kSmall), .pointer = Art::SpeakerNotes, .in = placesGroup_});
    places_ = canvas.addArray<PictureBox>(QStringLiteral("Image1"), places);
    for (PictureBox *place : *places_)
        place->setFocusPolicy(Qt::TabFocus);
    connect(places_, &ControlArraySignals::clicked, this, &FivePictureListening::Image1_Click);

    // Made after the five, so it lies over the middle one.
    enlarged_ = canvas.add<PictureBox>(QStringLiteral("Image2"), {.twips = QRect(1920, 1320, 4335, 4095)});

    connect(addTimer1(&canvas), &QTimer::timeout, this, &FivePictureListening::Timer1_Timer);
}

void FivePictureListening::ownResets()
{
    counters.Contatore = 0;
    enlarged_->hide();
}

void FivePictureListening::CaricaZampli()
{
    if (showsLetters())
        drawStyle();
    showPlaces(*places_, shufflePlaces(random).places, pictures,
               [this](const QString &letter) { return vowelPicture(media, row().pictures, letter, Stile); });
}

void FivePictureListening::Image1_Click(int index)
{
    const PictureBox &chosen = *(*places_)[index];
    const QString tag = chosen.tag();
    voiceWait_.start(clock.secondsSinceMidnight());
    placesGroup_->hide(); // the five go
    enlarged_->copyPicture(chosen);
    enlarged_->show();
    canvas()->setBackground(vowelColour(tag));
    speaker.speak(tag);
    ++counters.Contatore;
    ++counters.EserciziEseguiti;
}

void FivePictureListening::Timer1_Timer()
{
    if (!voiceWait_.over(clock.secondsSinceMidnight()))
        return;
    enlarged_->hide();
    placesGroup_->show(); // the five are back
    if (counters.Contatore == kHeardPerRound) {
        counters.Contatore = 0;
        CaricaZampli();
    }
    canvas()->setBackground(kLightOrange);
}

} // namespace zampli
