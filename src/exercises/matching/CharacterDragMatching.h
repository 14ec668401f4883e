#pragma once

#include "exercises/matching/PieceDrag.h"
#include "shell/Buttons.h"
#include "shell/ControlArray.h"
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
    void Command2_Click() override;

    // Window variables: right drops in this series and the two styles.
    qint16 CoppieFatte = 0;
    qint16 StileRiferimenti = 2;
    qint16 StilePezzi = 1;

protected:
    void buildControls(DesignCanvas &canvas) override;
    void ownResets() override;
    void setStylePair(int item) override;
    void CaricaZampli() override;
    void ScombiccheraPosti();

private:
    PictureFile letterPicture(int vowel, int style) const;
    void enablePieces();

    QPointer<ControlArray<DragPiece>> image1_;
    QPointer<ControlArray<DropBox>> image3_;
    QPointer<ControlArray<PictureBox>> image2_;
    QPointer<PictureButton> command2_;
};

} // namespace zampli
