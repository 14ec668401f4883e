#pragma once

#include "shell/Buttons.h"
#include "shell/ControlArray.h"
#include "shell/Controls.h"
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
    void Command2_Click() override;

    // Window variables: the place drawn last and the vowel shown in writing.
    qint16 Posto = 0;
    QString LetteraGiusta;

protected:
    void buildControls(DesignCanvas &canvas) override;
    void CaricaZampli() override;
    void parla() override;

private:
    QPointer<ControlGroup> group_; // what comes back together after an answer
    QPointer<ControlArray<PictureBox>> image1_;
    QPointer<PictureBox> image2_;
    QPointer<PictureButton> command1_;
    QPointer<PictureButton> command2_;
};

} // namespace zampli
