// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/Buttons.h"
#include "shell/ControlArray.h"
#include "shell/Controls.h"
#include "rules/MatchingRules.h"
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
    void Command2_Click();

    const ClickSeries &series() const { return series_; }

    // Window variables: the two styles.
    qint16 StileModello = 2;
    qint16 StileRiga = 1;

protected:
    void buildControls(DesignCanvas &canvas) override;
    void ownResets() override;
    void setStylePair(int item) override;
    void CaricaZampli() override;
    void parla() override;
    void startNextTurn() override;
    bool turnAnswered() const override { return series_.pairShown(); }
    void CaricaVocale();

private:
    PictureFile letterPicture(const QString &letter, int style) const;

    ClickSeries series_;
    QPointer<ControlGroup> rowsGroup_; // what comes back together after an answer
    QPointer<ControlArray<PictureBox>> letters_;
    QPointer<ControlArray<PictureBox>> answerBoxes_;
    QPointer<PictureBox> model_;
    QPointer<PictureButton> nextButton_;
};

} // namespace zampli
