#pragma once

#include "wordlist/WordList.h"
#include "shell/Buttons.h"
#include "shell/ControlArray.h"
#include "shell/Controls.h"
#include "shell/ExerciseForm.h"

#include <QPointer>
#include <array>

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
    void Command2_Click() override;
    void Image1_Click();

    // The lists as last read: Parole[v][1..NumeroParole[v]] for vowel v 1..5.
    std::array<std::array<QString, WordList::kMaxWords + 1>, 6> Parole;
    std::array<qint16, 6> NumeroParole{};
    // The question: its vowel (the right answer) and its word.
    qint16 VocaleGiusta = 0;
    QString Parola;

protected:
    void buildControls(DesignCanvas &canvas) override;
    void LeggiParole() override;
    void CaricaZampli() override;
    void parla() override;

private:
    // Reads one list into Parole[vowel], saying once what is wrong with it.
    void readList(int vowel);
    bool anyWord() const;
    // No list gave a word: tell the adult what to put back, return to the menu.
    void noWordsAtAll();
    void setTilesEnabled(bool on);

    QPointer<ControlArray<Tile>> frame1_;
    QPointer<ControlArray<ClickLabel>> label1_;
    QPointer<QLabel> etichettaEsatti_;
    QPointer<QLabel> etichettaErrati_;
    QPointer<PictureButton> comandoIconaSi_;
    QPointer<PictureButton> comandoIconaNo_;
    QPointer<PictureBox> image1_;
    QPointer<PictureButton> command1_;
    QStringList listStates_; // for the message when no list gave a word
};

} // namespace zampli
