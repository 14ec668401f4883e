#pragma once

#include "shell/Buttons.h"
#include "shell/ControlArray.h"
#include "shell/Controls.h"
#include "shell/ExerciseForm.h"

#include <QPointer>

namespace zampli {

// A model vowel in one style over the five vowels in another, shuffled in a
// row with an empty box under each: the child clicks the box under the same
// vowel. The models come A to U, a series of five, one shuffle per series.
class CharacterClickMatching final : public ExerciseForm {
    Q_OBJECT
public:
    explicit CharacterClickMatching(Windows &w);

    void Image3_Click(int index);
    void Command2_Click() override;

    // Window variables: right pairs in this series, the two styles, the
    // column drawn last by the shuffle.
    qint16 CoppieFatte = 0;
    qint16 StileModello = 2;
    qint16 StileRiga = 1;
    qint16 Posto = 0;

protected:
    void buildControls(DesignCanvas &canvas) override;
    void ownResets() override;
    void setStylePair(int item) override;
    void CaricaZampli() override;
    void parla() override;
    void CaricaVocale();

private:
    PictureFile letterPicture(const QString &letter, int style) const;

    QPointer<ControlGroup> group_; // what comes back together after an answer
    QPointer<ControlArray<PictureBox>> image1_;
    QPointer<ControlArray<PictureBox>> image3_;
    QPointer<PictureBox> image2_;
    QPointer<PictureButton> command2_;
};

} // namespace zampli
