// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exercises/matching/PieceDrag.h"
#include "shell/Buttons.h"
#include "shell/ControlArray.h"
#include "rules/MatchingRules.h"
#include "shell/ExerciseForm.h"

#include <QPointer>

namespace zampli {

// The five vowels in one style stand fixed on the right, A to U; the same
// vowels in another style, shuffled on the left, are dragged onto the boxes
// beside them. Piece, box and reference k all stand for vowel k + 1; a drop
// is judged by the indices alone.
class CharacterDragMatching final : public ExerciseForm {
    Q_OBJECT
public:
    explicit CharacterDragMatching(Windows &w);

    void Image3_DragDrop(int index, int source);
    void Command2_Click();

    // Where each piece lies and which are matched.
    const DragSeries &series() const { return series_; }

    // Window variables: the two styles.
    qint16 StileRiferimenti = 2;
    qint16 StilePezzi = 1;

protected:
    void buildControls(DesignCanvas &canvas) override;
    void ownResets() override;
    void setStylePair(int item) override;
    void CaricaZampli() override;
    void startNextTurn() override;
    bool turnAnswered() const override { return series_.over(); }
    void ScombiccheraPosti();

private:
    PictureFile letterPicture(int vowel, int style) const;
    void enablePieces();
    void Image3_Right(int index);
    // The keyboard's drag: a piece lifted with Space, dropped with Space on a box.
    void lift(int piece);
    void dropLifted(DropBox &box);

    DragSeries series_;
    int lifted_ = -1; // the piece the keyboard carries, or -1
    QPointer<ControlArray<DragPiece>> pieces_;
    QPointer<ControlArray<DropBox>> dropBoxes_;
    QPointer<ControlArray<PictureBox>> references_;
    QPointer<PictureButton> nextButton_;
};

} // namespace zampli
