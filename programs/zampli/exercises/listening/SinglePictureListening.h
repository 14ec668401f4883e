// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/Buttons.h"
#include "shell/Controls.h"
#include "rules/ListeningRules.h"
#include "shell/ExerciseForm.h"

#include <QPointer>
#include <QTimer>

namespace zampli {

// One vowel at a time: its colour, its picture and its voice; the next
// button comes back two seconds after the voice began. FormZampli1 shows the
// vowel written in a style, FormPosizioni1 the face that says it.
class SinglePictureListening final : public ExerciseForm {
    Q_OBJECT
public:
    SinglePictureListening(Windows &w, FormId id);

    void Command1_Click();
    void Image1_Click();
    void Timer1_Timer();

    // Number of the vowel on show, 1..5; 0 before the first exercise.
    int vowel() const { return vowel_; }


protected:
    void buildControls(DesignCanvas &canvas) override;
    void CaricaZampli() override;
    void parla() override;

private:
    bool showsLetters() const { return row().pictures == Pictures::Letters; }

    int vowel_ = 0;
    VoiceWait voiceWait_;
    QPointer<PictureBox> picture_;
    QPointer<PictureButton> nextButton_;
};

} // namespace zampli
