// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercises/matching/PositionMatching.h"

#include "exercises/matching/MatchingDesign.h"
#include "shell/DesignCanvas.h"
#include "shell/ShownPlaces.h"
#include "state/Speaker.h"
#include "state/VowelMedia.h"

namespace zampli {

PositionMatching::PositionMatching(Windows &w)
    : ExerciseForm(w, FormId::Posizioni5, QSize(9360, 7200), kMatchingBrown)
{
}

void PositionMatching::buildControls(DesignCanvas &canvas)
{
    facesGroup_ = canvas.addGroup(QStringLiteral("Image1_gruppo"));
    std::array<Placement, 5> faces;
    for (std::size_t k = 0; k < faces.size(); ++k)
        faces[k] = {.twips = columnBox(k, 480), .pointer = Art::CursorArrow, .in = facesGroup_};
    faces_ = canvas.addArray<PictureBox>(QStringLiteral("Image1"), faces);
    for (PictureBox *face : *faces_)
        face->setFocusPolicy(Qt::TabFocus);
    connect(faces_, &ControlArraySignals::clicked, this, &PositionMatching::Image1_Click);

    writtenVowel_ = canvas.add<PictureBox>(QStringLiteral("Image2"), {.twips = QRect(2400, 2760, 2775, 2535)});

    listenAgainButton_ = addListenAgainButton(canvas, QStringLiteral("Command1"), QRect(6000, 2640, 1815, 1695));
    listenAgainButton_->setEnabled(false);
    connect(listenAgainButton_, &QPushButton::clicked, this, &PositionMatching::Command1_Click);

    nextButton_ = addNextButton(canvas, QStringLiteral("Command2"), QRect(6000, 4680, 1815, 975));
    nextButton_->setEnabled(false);
    connect(nextButton_, &QPushButton::clicked, this, &PositionMatching::Command2_Click);
}

void PositionMatching::CaricaZampli()
{
    turn_.draw(random);
    questionAsked();
    showPlaces(*faces_, turn_.faces(), pictures,
               [this](const QString &letter) { return vowelPicture(media, Pictures::Faces, letter); });
    drawStyle();
    writtenVowel_->load(pictures, vowelPicture(media, Pictures::Letters, turn_.written(), Stile));
}

void PositionMatching::parla()
{
    speaker.speak(turn_.written());
    ++counters.Contatore;
}

void PositionMatching::Image1_Click(int index)
{
    switch (recorded(turn_.answer(index), {turn_.written(), letterAt(turn_.faces(), index)})) {
    case Answer::Ignored: return;
    case Answer::Wrong: speaker.wrongAnswer(); return;
    case Answer::Right: break;
    }
    ++counters.EserciziEseguiti;
    listenAgainButton_->setEnabled(true);
    nextButton_->setEnabled(true);
    // The face stays where it is: hiding and showing it again would cost the
    // window system a question about the pointer for nothing.
    PictureBox *face = (*faces_)[index];
    for (PictureBox *other : *faces_)
        if (other != face)
            other->hide();
    face->show();
    face->setEnabled(false);
    canvas()->setBackground(vowelColour(turn_.written()));
    parla();
}

void PositionMatching::Command1_Click()
{
    parla();
}

void PositionMatching::Command2_Click()
{
    startNextTurn();
}

void PositionMatching::startNextTurn()
{
    facesGroup_->showTogether(*faces_);
    for (PictureBox *face : *faces_)
        face->setEnabled(true);
    CaricaZampli();
    listenAgainButton_->setEnabled(false);
    nextButton_->setEnabled(false);
}

} // namespace zampli
