// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/InitialVowelQuiz.h"
#include "shell/Buttons.h"
#include "shell/ControlArray.h"
#include "shell/Controls.h"
#include "shell/ExerciseForm.h"

#include <QPointer>

namespace zampli {

// FormIniziaPer: the picture of a thing is shown and its name spoken; the
// child clicks the tile of the vowel the word begins with. The word lists
// are read again at every activation.
class InitialVowel final : public ExerciseForm {
    Q_OBJECT
public:
    explicit InitialVowel(Windows &w);

    void Frame1_Click(int index);
    void Label1_Click(int index);
    void Command1_Click();
    void Command2_Click();
    void Image1_Click();

    // The lists as last read and the question asked.
    const InitialVowelQuiz &quiz() const { return quiz_; }

protected:
    void buildControls(DesignCanvas &canvas) override;
    void LeggiParole() override;
    void CaricaZampli() override;
    void parla() override;
    void startNextTurn() override;
    bool turnAnswered() const override { return quiz_.answered(); }

private:
    // Reads one list into Parole[vowel], saying once what is wrong with it.
    void readList(int vowel);
    bool anyWord() const;
    // No list gave a word: tell the adult what to put back, return to the menu.
    void noWordsAtAll();
    void setTilesEnabled(bool on);
    void answerRight();
    void answerWrong();
    void buildLetters(DesignCanvas &canvas);

    InitialVowelQuiz quiz_;
    QPointer<ControlArray<Tile>> tiles_;
    QPointer<ControlArray<ClickLabel>> letters_; // the five letters, then the caption "Esatti"
    QPointer<QLabel> rightCount_;
    QPointer<QLabel> wrongCount_;
    QPointer<PictureButton> smile_;
    QPointer<PictureButton> sadFace_;
    QPointer<PictureBox> wordPicture_;
    QPointer<PictureButton> nextButton_;
    QStringList listStates_; // for the message when no list gave a word
};

} // namespace zampli
