// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/ControlArray.h"
#include "shell/Controls.h"
#include "rules/ListeningRules.h"
#include "shell/ExerciseForm.h"

#include <QPointer>

namespace zampli {

// All five vowels at once, placed like the five spots of a die: a click shows
// the picture large in the vowel's colour and says it; a little over two
// seconds later the five come back, after every fifth listening in new
// places. Nothing is judged. FormZampli2 shows the vowels written in one
// style, FormPosizioni2 the faces that say them.
class FivePictureListening final : public ExerciseForm {
    Q_OBJECT
public:
    FivePictureListening(Windows &w, FormId id);

    void Image1_Click(int index);
    void Timer1_Timer();

protected:
    void buildControls(DesignCanvas &canvas) override;
    void ownResets() override;
    void CaricaZampli() override;

private:
    bool showsLetters() const { return row().pictures == Pictures::Letters; }

    VoiceWait voiceWait_;
    QPointer<ControlGroup> placesGroup_; // what comes back together after a voice
    QPointer<ControlArray<PictureBox>> places_;
    QPointer<PictureBox> enlarged_;
};

} // namespace zampli
