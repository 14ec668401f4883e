// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exercises/recognition/RecognitionVariants.h"
#include "shell/Buttons.h"
#include "shell/Controls.h"
#include "rules/RecognitionTurn.h"
#include "shell/ExerciseForm.h"

#include <QPointer>

namespace zampli {

// Hear a vowel, click its picture: three pictures in play at the first
// level, five at the second; faces or written letters. A wrong click turns
// the window black and sounds the error; a right one frames the picture,
// locks the pictures and shows the next button.
class PictureRecognition final : public ExerciseForm {
    Q_OBJECT
public:
    PictureRecognition(Windows &w, FormId id);

    const RecognitionVariant &variant() const { return variant_; }

    void Image1_Click(int index);
    void Command1_Click();
    void Command2_Click();

    // The turn as the rules keep it; kept while the window is closed.
    const RecognitionTurn &turn() const { return turn_; }

protected:
    void buildControls(DesignCanvas &canvas) override;
    void CaricaZampli() override;
    void parla() override;
    void startNextTurn() override;
    bool turnAnswered() const override { return turn_.answered(); }

private:
    void enablePictures(bool on);

    const RecognitionVariant &variant_;
    RecognitionTurn turn_;
    QPointer<ControlArray<PictureBox>> pictureBoxes_;
    QPointer<OutlineFrame> rightFrame_;
    QPointer<PictureButton> listenAgainButton_;
    QPointer<PictureButton> nextButton_;
};

} // namespace zampli
