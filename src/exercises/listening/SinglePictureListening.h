#pragma once

#include "shell/Buttons.h"
#include "shell/Controls.h"
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

    // Number of the vowel shown last; 0 before the first exercise.
    qint16 Ultima = 0;

    // The picture file of the vowel on show.
    QString pictureFile() const;

protected:
    void buildControls(DesignCanvas &canvas) override;
    void CaricaZampli() override;
    void parla() override;

private:
    bool showsLetters() const { return row().pictures == Pictures::Letters; }

    QPointer<PictureBox> image1_;
    QPointer<PictureButton> command1_;
};

} // namespace zampli
