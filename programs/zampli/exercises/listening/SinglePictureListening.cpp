// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercises/listening/SinglePictureListening.h"

#include "exercises/listening/Timer1.h"
#include "shell/DesignCanvas.h"
#include "state/Clock.h"
#include "state/Speaker.h"
#include "state/VowelMedia.h"

namespace zampli {

SinglePictureListening::SinglePictureListening(Windows &w, FormId id)
    : ExerciseForm(w, id, QSize(9360, 7200), QColor(0, 0, 128))
{
}

void SinglePictureListening::buildControls(DesignCanvas &canvas)
{
    picture_ = canvas.add<PictureBox>(QStringLiteral("Image1"),
                                      {.twips = QRect(1560, 600, 5775, 5535), .pointer = Art::SpeakerNotes});
    picture_->setFocusPolicy(Qt::TabFocus);
    connect(picture_, &PictureBox::clicked, this, &SinglePictureListening::Image1_Click);

    nextButton_ = addNextButton(canvas, QStringLiteral("Command1"), QRect(7800, 5040, 975, 975));
    connect(nextButton_, &QPushButton::clicked, this, &SinglePictureListening::Command1_Click);

    connect(addTimer1(&canvas), &QTimer::timeout, this, &SinglePictureListening::Timer1_Timer);
}

void SinglePictureListening::CaricaZampli()
{
    vowel_ = drawVowelExcept(random, vowel_);
    if (showsLetters())
        drawStyle();
    canvas()->setBackground(vowelColour(vowel_));
    picture_->load(pictures, vowelPicture(media, row().pictures, vowelLetter(vowel_), Stile));
}

void SinglePictureListening::parla()
{
    nextButton_->hide();
    voiceWait_.start(clock.secondsSinceMidnight());
    speaker.speak(vowelLetter(vowel_));
}

void SinglePictureListening::Timer1_Timer()
{
    if (voiceWait_.over(clock.secondsSinceMidnight()))
        nextButton_->show();
}

void SinglePictureListening::Command1_Click()
{
    CaricaZampli();
    ++counters.EserciziEseguiti;
    parla();
}

void SinglePictureListening::Image1_Click()
{
    parla();
}

} // namespace zampli
