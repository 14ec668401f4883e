// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercises/recognition/PictureRecognition.h"

#include "shell/DesignCanvas.h"
#include "shell/ShownPlaces.h"
#include "state/Speaker.h"
#include "state/VowelMedia.h"

#include <stdexcept>
#include <vector>

namespace zampli {

namespace {
const QColor kLoadedBrown(128, 64, 0);
const QColor kNextTurnBrown(128, 64, 64);
const QColor kWrongBlack(0, 0, 0);
const QColor kFrameRed(255, 0, 0);
constexpr int kFramePixels = 5;
} // namespace

const RecognitionVariant &recognitionVariant(FormId id)
{
    for (const RecognitionVariant &v : kRecognitionVariants)
        if (v.id == id)
            return v;
    throw std::invalid_argument("not a recognition window");
}

PictureRecognition::PictureRecognition(Windows &w, FormId id)
    : ExerciseForm(w, id, kRecognitionClient, kLoadedBrown), variant_(recognitionVariant(id)),
      turn_(variant_.inPlay)
{
}

void PictureRecognition::buildControls(DesignCanvas &canvas)
{
    const RecognitionLayout &layout = variant_.layout;
    std::vector<Placement> places;
    for (QPoint at : layout.boxes)
        places.push_back({.twips = QRect(at, kRecognitionBox), .pointer = layout.picturePointer});
    pictureBoxes_ = canvas.addArray<PictureBox>(QStringLiteral("Image1"), places);
    for (PictureBox *box : *pictureBoxes_)
        box->setFocusPolicy(Qt::TabFocus);
    for (int k = variant_.inPlay; k < pictureBoxes_->size(); ++k)
        (*pictureBoxes_)[k]->hide(); // still loaded every turn, never seen
    connect(pictureBoxes_, &ControlArraySignals::clicked, this, &PictureRecognition::Image1_Click);

    rightFrame_ = canvas.add<OutlineFrame>(QStringLiteral("Shape1"), {.twips = QRect(layout.boxes[0], kRecognitionBox)},
                                           kFrameRed, kFramePixels);
    rightFrame_->hide();

    listenAgainButton_ = addListenAgainButton(canvas, QStringLiteral("Command1"), layout.command1);
    connect(listenAgainButton_, &QPushButton::clicked, this, &PictureRecognition::Command1_Click);

    nextButton_ = addNextButton(canvas, QStringLiteral("Command2"), layout.command2);
    nextButton_->hide();
    connect(nextButton_, &QPushButton::clicked, this, &PictureRecognition::Command2_Click);
    QWidget::setTabOrder(listenAgainButton_, nextButton_);
}

void PictureRecognition::CaricaZampli()
{
    // One style a turn: all five pictures share it.
    if (row().pictures == Pictures::Letters)
        drawStyle();
    turn_.shuffle(random);
    showPlaces(*pictureBoxes_, turn_.places(), pictures,
               [this](const QString &letter) { return vowelPicture(media, row().pictures, letter, Stile); });
}

void PictureRecognition::parla()
{
    turn_.drawSpoken(random);
    questionAsked();
    speaker.speak(turn_.spoken());
}

void PictureRecognition::Image1_Click(int index)
{
    DesignCanvas *c = canvas();
    switch (recorded(turn_.answer(index), {turn_.spoken(), letterAt(turn_.places(), index)})) {
    case Answer::Ignored: return;
    case Answer::Wrong:
        c->setBackground(kWrongBlack);
        speaker.wrongAnswer();
        return;
    case Answer::Right: break;
    }
    ++counters.EserciziEseguiti;
    PictureBox *box = (*pictureBoxes_)[index];
    QRect frame = c->twips(rightFrame_);
    frame.moveTopLeft(c->twips(box).topLeft());
    c->setTwips(rightFrame_, frame);
    if (row().tintAfterRight)
        c->setBackground(vowelColour(turn_.spoken()));
    enablePictures(false);
    rightFrame_->show();
    nextButton_->show();
}

void PictureRecognition::Command1_Click()
{
    speaker.sayAgain();
}

void PictureRecognition::Command2_Click()
{
    startNextTurn();
}

void PictureRecognition::startNextTurn()
{
    enablePictures(true);
    CaricaZampli();
    canvas()->setBackground(kNextTurnBrown);
    rightFrame_->hide();
    parla();
    nextButton_->hide();
}

void PictureRecognition::enablePictures(bool on)
{
    for (int k = 0; k < variant_.inPlay; ++k)
        (*pictureBoxes_)[k]->setEnabled(on);
}

} // namespace zampli
