// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercises/matching/CharacterDragMatching.h"

#include "exercises/matching/MatchingDesign.h"
#include "shell/DesignCanvas.h"
#include "state/Speaker.h"
#include "state/VowelMedia.h"

namespace zampli {

namespace {
constexpr QSize kPictureTwips(1695, 1575);
constexpr int kPieceLeft = 360;
constexpr int kBoxLeft = 5040;
constexpr int kReferenceLeft = 7320;

constexpr int rowTop(int row) { return 120 + 1680 * row; }
} // namespace

// The next button runs to 11175 twips: the client area takes it whole, with
// the same 120-twip margin the rows keep at the top.
CharacterDragMatching::CharacterDragMatching(Windows &w)
    : ExerciseForm(w, FormId::Caratteri2, QSize(11295, 9645), kMatchingBrown)
{
}

void CharacterDragMatching::buildControls(DesignCanvas &canvas)
{
    std::array<Placement, 5> pieces, boxes, references;
    for (int k = 0; k < 5; ++k) {
        pieces[k] = {.twips = QRect(QPoint(kPieceLeft, rowTop(k)), kPictureTwips), .pointer = Art::CursorArrow};
        boxes[k] = {.twips = QRect(QPoint(kBoxLeft, rowTop(k)), kPictureTwips)};
        references[k] = {.twips = QRect(QPoint(kReferenceLeft, rowTop(k)), kPictureTwips)};
    }
    const QString origin = PieceMime::originOf(&canvas);
    pieces_ = canvas.addArray<DragPiece>(QStringLiteral("Image1"), pieces);
    dropBoxes_ = canvas.addArray<DropBox>(QStringLiteral("Image3"), boxes);
    references_ = canvas.addArray<PictureBox>(QStringLiteral("Image2"), references);
    for (int k = 0; k < 5; ++k) {
        (*pieces_)[k]->setDragData(origin, k);
        DropBox *box = (*dropBoxes_)[k];
        box->setSingleBorder(true);
        box->setOrigin(origin);
        // Only a piece that can still be dragged: one of the five, not matched yet.
        box->takes = [this](int piece) { return piece < DragSeries::kPairs && !series_.matched(piece); };
        connect(box, &DropBox::dropped, this, [this, k](int piece) { Image3_DragDrop(k, piece); });
        connect(box, &DropBox::chosen, this, [this, box] { dropLifted(*box); });
        connect((*pieces_)[k], &DragPiece::lifted, this, [this, k] { lift(k); });
    }

    nextButton_ = addNextButton(canvas, QStringLiteral("Command2"), QRect(9360, 7320, 1815, 975));
    nextButton_->setEnabled(false);
    connect(nextButton_, &QPushButton::clicked, this, &CharacterDragMatching::Command2_Click);
}

PictureFile CharacterDragMatching::letterPicture(int vowel, int style) const
{
    return vowelPicture(media, Pictures::Letters, vowelLetter(vowel), style);
}

void CharacterDragMatching::enablePieces()
{
    for (DragPiece *piece : *pieces_)
        piece->setEnabled(true);
}

void CharacterDragMatching::ownResets()
{
    StileRiferimenti = kStylePairs[0].model;
    StilePezzi = kStylePairs[0].row;
    enablePieces();
}

void CharacterDragMatching::setStylePair(int item)
{
    const StylePair pair = stylePair(item);
    StileRiferimenti = pair.model;
    StilePezzi = pair.row;
}

void CharacterDragMatching::CaricaZampli()
{
    for (int k = 0; k < 5; ++k) {
        (*dropBoxes_)[k]->clear();
        (*pieces_)[k]->load(pictures, letterPicture(k + 1, StilePezzi));
        (*pieces_)[k]->setTag(vowelLetter(k + 1));
        (*references_)[k]->load(pictures, letterPicture(k + 1, StileRiferimenti));
    }
    ScombiccheraPosti();
}

void CharacterDragMatching::lift(int piece)
{
    // Space again on the lifted piece puts it back.
    lifted_ = lifted_ == piece ? -1 : piece;
    for (int k = 0; k < 5; ++k)
        (*pieces_)[k]->setLifted(k == lifted_);
}

void CharacterDragMatching::dropLifted(DropBox &box)
{
    const int piece = lifted_;
    if (piece < 0)
        return; // nothing lifted: a box alone does nothing, as a click on it
    lift(piece);
    box.drop(piece); // judged as a drop of the mouse
}

void CharacterDragMatching::ScombiccheraPosti()
{
    if (lifted_ >= 0)
        lift(lifted_); // a new deal puts a lifted piece back
    series_.deal(random);
    questionAsked();
    DesignCanvas &c = *canvas();
    for (int k = 0; k < 5; ++k) {
        QRect r = c.twips((*pieces_)[k]);
        r.moveTop(rowTop(series_.rowOf(k)));
        c.setTwips((*pieces_)[k], r);
    }
}

void CharacterDragMatching::Image3_DragDrop(int index, int source)
{
    switch (recorded(series_.drop(index, source),
                     {vowelLetter(index + 1), vowelLetter(source + 1), {}, StileRiferimenti, StilePezzi})) {
    case Answer::Ignored: return;
    case Answer::Wrong: speaker.wrongAnswer(); break;
    case Answer::Right: Image3_Right(index); break;
    }
    if (series_.over())
        nextButton_->setEnabled(true);
}

void CharacterDragMatching::Image3_Right(int index)
{
    DragPiece *piece = (*pieces_)[index];
    const QString letter = vowelLetter(index + 1);
    ++counters.EserciziEseguiti;
    canvas()->setBackground(vowelColour(letter));
    (*dropBoxes_)[index]->copyPicture(*piece);
    piece->clear();
    piece->setEnabled(false);
    speaker.speak(letter);
}

void CharacterDragMatching::Command2_Click()
{
    startNextTurn();
}

void CharacterDragMatching::startNextTurn()
{
    enablePieces();
    CaricaZampli();
    nextButton_->setEnabled(false);
}

} // namespace zampli
