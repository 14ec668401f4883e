#pragma once

#include "exercises/recognition/RecognitionVariants.h"
#include "shell/Buttons.h"
#include "shell/Controls.h"
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
    void Command2_Click() override;

    // The letter spoken in this turn: the right answer. Empty until the
    // window's first turn of the run; kept while the window is closed.
    QString VocaleDetta;
    // The place drawn last by the shuffle or by the choice of the vowel.
    qint16 Posto = 0;

protected:
    void buildControls(DesignCanvas &canvas) override;
    void CaricaZampli() override;
    void parla() override;

private:
    void enablePictures(bool on);

    const RecognitionVariant &variant_;
    QPointer<ControlArray<PictureBox>> image1_;
    QPointer<OutlineFrame> shape1_;
    QPointer<PictureButton> command1_;
    QPointer<PictureButton> command2_;
};

} // namespace zampli
