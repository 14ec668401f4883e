// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/Buttons.h"
#include "shell/ControlArray.h"
#include "shell/Controls.h"
#include "rules/MatchingRules.h"
#include "shell/ExerciseForm.h"

#include <QPointer>

namespace zampli {

// A written vowel and the five faces in a shuffled row: the child clicks the
// face that says the vowel. A right answer leaves that face alone on the
// window, tints it and lets the vowel be heard.
class PositionMatching final : public ExerciseForm {
    Q_OBJECT
public:
    explicit PositionMatching(Windows &w);

    void Image1_Click(int index);
    void Command1_Click();
    void Command2_Click();

    // The faces and the written vowel of this turn.
    const PositionTurn &turn() const { return turn_; }

protected:
    void buildControls(DesignCanvas &canvas) override;
    void CaricaZampli() override;
    void parla() override;
    void startNextTurn() override;
    bool turnAnswered() const override { return turn_.answered(); }

private:
    PositionTurn turn_;
    QPointer<ControlGroup> facesGroup_; // what comes back together after an answer
    QPointer<ControlArray<PictureBox>> faces_;
    QPointer<PictureBox> writtenVowel_;
    QPointer<PictureButton> listenAgainButton_;
    QPointer<PictureButton> nextButton_;
};

} // namespace zampli
