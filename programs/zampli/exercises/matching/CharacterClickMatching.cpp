// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercises/matching/CharacterClickMatching.h"

#include "exercises/matching/MatchingDesign.h"
#include "shell/DesignCanvas.h"
#include "shell/ShownPlaces.h"
#include "state/Speaker.h"
#include "state/VowelMedia.h"

namespace zampli {

CharacterClickMatching::CharacterClickMatching(Windows &w)
    : ExerciseForm(w, FormId::Caratteri1, QSize(10785, 9645), kMatchingBrown)
{
}

void CharacterClickMatching::buildControls(DesignCanvas &canvas)
{
    std::array<Placement, 5> row, boxes;
    rowsGroup_ = canvas.addGroup(QStringLiteral("Image1_Image3_gruppo"));
    for (std::size_t k = 0; k < row.size(); ++k) {
        row[k] = {.twips = columnBox(k, 480), .in = rowsGroup_};
        boxes[k] = {.twips = columnBox(k, 2400), .pointer = Art::CursorArrow, .in = rowsGroup_};
    }
    letters_ = canvas.addArray<PictureBox>(QStringLiteral("Image1"), row);
    answerBoxes_ = canvas.addArray<PictureBox>(QStringLiteral("Image3"), boxes);
    for (PictureBox *box : *answerBoxes_) {
        box->setSingleBorder(true);
        box->setFocusPolicy(Qt::TabFocus);
    }
    connect(answerBoxes_, &ControlArraySignals::clicked, this, &CharacterClickMatching::Image3_Click);

    model_ = canvas.add<PictureBox>(QStringLiteral("Image2"), {.twips = QRect(3240, 4920, 2055, 1815)});

    nextButton_ = addNextButton(canvas, QStringLiteral("Command2"), QRect(7920, 5640, 1815, 975));
    nextButton_->setEnabled(false);
    connect(nextButton_, &QPushButton::clicked, this, &CharacterClickMatching::Command2_Click);
}

PictureFile CharacterClickMatching::letterPicture(const QString &letter, int style) const
{
    return vowelPicture(media, Pictures::Letters, letter, style);
}

void CharacterClickMatching::ownResets()
{
    StileModello = kStylePairs[0].model;
    StileRiga = kStylePairs[0].row;
    series_.end(); // activation always deals a new series
}

void CharacterClickMatching::setStylePair(int item)
{
    const StylePair pair = stylePair(item);
    StileModello = pair.model;
    StileRiga = pair.row;
    series_.end(); // the follow-up then starts a new series
}

void CharacterClickMatching::CaricaZampli()
{
    series_.start(random);
    for (PictureBox *box : *answerBoxes_)
        box->clear();
    showPlaces(*letters_, series_.row(), pictures,
               [this](const QString &letter) { return letterPicture(letter, StileRiga); });
    CaricaVocale();
}

void CharacterClickMatching::CaricaVocale()
{
    model_->load(pictures, letterPicture(series_.model(), StileModello));
    questionAsked();
}

void CharacterClickMatching::Image3_Click(int index)
{
    const QString model = series_.model(); // a right answer moves the series on
    switch (recorded(series_.answer(index), {model, letterAt(series_.row(), index), {}, StileModello, StileRiga})) {
    case Answer::Ignored: return; // a pair is on show, or the series is over: only the next button goes on
    case Answer::Wrong: speaker.wrongAnswer(); return;
    case Answer::Right: break;
    }
    ++counters.EserciziEseguiti;
    nextButton_->setEnabled(true);
    PictureBox *above = (*letters_)[index];
    PictureBox *box = (*answerBoxes_)[index];
    for (int k = 0; k < 5; ++k) // the matched pair stays, the rest goes
        if (k != index) {
            (*letters_)[k]->hide();
            (*answerBoxes_)[k]->hide();
        }
    box->copyPicture(*model_);
    for (PictureBox *matched : {above, box}) {
        matched->show();
        matched->setEnabled(false);
    }
    canvas()->setBackground(vowelColour(series_.row()[index]));
    parla();
}

void CharacterClickMatching::parla()
{
    speaker.speak(vowelLetter(series_.done())); // the vowel just matched
}

void CharacterClickMatching::Command2_Click()
{
    startNextTurn();
}

void CharacterClickMatching::startNextTurn()
{
    QList<PictureBox *> all;
    for (int k = 0; k < 5; ++k)
        all << (*letters_)[k] << (*answerBoxes_)[k];
    rowsGroup_->showTogether(all);
    for (PictureBox *p : all)
        p->setEnabled(true);
    series_.goOn();
    if (series_.over())
        CaricaZampli();
    else
        CaricaVocale();
    nextButton_->setEnabled(false);
}

} // namespace zampli
