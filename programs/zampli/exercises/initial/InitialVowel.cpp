// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercises/initial/InitialVowel.h"

#include "media/FileNames.h"
#include "media/MediaPaths.h"
#include "media/ProblemLog.h"
#include "rules/Report.h"
#include "shell/DesignCanvas.h"
#include "state/MessageBoxes.h"
#include "state/Speaker.h"
#include "state/VowelMedia.h"
#include "wordlist/WordList.h"

#include <QDir>
#include <QFileInfo>

namespace zampli {

namespace {

constexpr int kVowels = 5;
// The lists are read in this order, each into its own vowel's slots.
constexpr int kReadingOrder[kVowels] = {1, 2, 4, 3, 5};

// A caption on the navy ground, as the design has it.
QLabel *addCaption(DesignCanvas &canvas, const char *name, const QRect &twips, qreal points,
                   const QString &text)
{
    auto *label = canvas.add<QLabel>(QString::fromLatin1(name), {.twips = twips, .font = DesignFont{points, true}});
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    return label;
}

} // namespace

// The tiles run from 0 to 12015 twips: the client area takes the last one
// whole, so the row stands edge to edge and centred.
InitialVowel::InitialVowel(Windows &w)
    : ExerciseForm(w, FormId::IniziaPer, QSize(12015, 8445), QColor(0, 0, 128))
{
}

void InitialVowel::buildControls(DesignCanvas &canvas)
{
    std::vector<Placement> tiles;
    for (int k = 0; k < kVowels; ++k)
        tiles.push_back({.twips = QRect(k * 2400, 0, 2415, 2535), .pointer = Art::CursorArrow});
    tiles_ = canvas.addArray<Tile>(QStringLiteral("Frame1"), tiles);
    for (int k = 0; k < kVowels; ++k) {
        (*tiles_)[k]->setColour(vowelColour(k + 1));
        (*tiles_)[k]->setFocusPolicy(Qt::TabFocus); // its letter is part of it
    }
    connect(tiles_, &ControlArraySignals::clicked, this, &InitialVowel::Frame1_Click);

    buildLetters(canvas);

    addCaption(canvas, "Label4", QRect(360, 5280, 735, 495), 12, QStringLiteral("Errati"));
    rightCount_ = addCaption(canvas, "EtichettaEsatti", QRect(1200, 4680, 975, 615), 18, QStringLiteral("0"));
    wrongCount_ = addCaption(canvas, "EtichettaErrati", QRect(1200, 5190, 855, 615), 18, QStringLiteral("0"));

    const QRect facePlace(720, 3480, 855, 750);
    smile_ = canvas.add<PictureButton>(QStringLiteral("ComandoIconaSi"), {.twips = facePlace});
    smile_->setPicture(Art::Smile);
    smile_->hide();
    sadFace_ = canvas.add<PictureButton>(QStringLiteral("ComandoIconaNo"), {.twips = facePlace});
    sadFace_->setPicture(Art::Sad);
    // The faces only show how the last answer went: no stop for the keyboard.
    smile_->setFocusPolicy(Qt::NoFocus);
    sadFace_->setFocusPolicy(Qt::NoFocus);

    wordPicture_ = canvas.add<PictureBox>(QStringLiteral("Image1"), {.twips = QRect(2880, 3480, 2535, 2415)});
    wordPicture_->setFocusPolicy(Qt::TabFocus);
    connect(wordPicture_, &PictureBox::clicked, this, &InitialVowel::Image1_Click);

    auto *listenAgain = addListenAgainButton(canvas, QStringLiteral("Command2"), QRect(6840, 4320, 1695, 1575));
    connect(listenAgain, &QPushButton::clicked, this, &InitialVowel::Command2_Click);

    nextButton_ = addNextButton(canvas, QStringLiteral("Command1"), QRect(9000, 4920, 1575, 975));
    nextButton_->setEnabled(false);
    connect(nextButton_, &QPushButton::clicked, this, &InitialVowel::Command1_Click);
}

void InitialVowel::buildLetters(DesignCanvas &canvas)
{
    // Letters 0 to 4 sit in their tiles; member 5 is the caption "Esatti".
    constexpr QPoint letterAt[kVowels] = {{480, 240}, {720, 120}, {600, 120}, {600, 0}, {600, 120}};
    std::vector<Placement> labels;
    for (int k = 0; k < kVowels; ++k)
        labels.push_back({.twips = QRect(letterAt[k], QSize(1215, 1095)), .font = DesignFont{48, true},
                          .in = (*tiles_)[k]});
    labels.push_back({.twips = QRect(360, 4860, 735, 375), .font = DesignFont{12, true}});
    letters_ = canvas.addArray<ClickLabel>(QStringLiteral("Label1"), labels);
    for (int k = 0; k < kVowels; ++k) {
        ClickLabel *letter = (*letters_)[k];
        letter->setText(vowelLetter(k + 1));
        letter->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        // Locked with its tile, not greyed out.
        QPalette pal = letter->palette();
        pal.setColor(QPalette::Disabled, QPalette::WindowText, pal.color(QPalette::Active, QPalette::WindowText));
        letter->setPalette(pal);
    }
    ClickLabel *esatti = (*letters_)[kVowels];
    esatti->setText(QStringLiteral("Esatti"));
    esatti->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette white = esatti->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    esatti->setPalette(white);
    connect(letters_, &ControlArraySignals::clicked, this, &InitialVowel::Label1_Click);
}

void InitialVowel::LeggiParole()
{
    listStates_.clear();
    for (const int vowel : kReadingOrder)
        readList(vowel);
    if (!quiz_.anyWord())
        noWordsAtAll();
}

void InitialVowel::readList(int vowel)
{
    quiz_.setWords(vowel, {});
    const QString path = media.wordList(vowelLetter(vowel));
    const QString name = QFileInfo(path).fileName();
    const WordListFile file = loadWordList(existingFile(path));
    if (!file.opened) {
        problems.missingFile(path, file.refusal);
        listStates_ << name + QStringLiteral(": manca o non si può leggere");
        return;
    }
    if (file.tooBig)
        problems.noteOnce(QStringLiteral("lista troppo grande, letto solo l'inizio: %1").arg(path));
    for (const QString &refused : file.list.refused)
        problems.noteOnce(QStringLiteral("parola scartata, non è un nome di file: \"%1\" in %2").arg(refused, path));
    if (file.list.cut)
        problems.noteOnce(QStringLiteral("lista con più di %1 parole, lette solo le prime %1: %2")
                              .arg(WordList::kMaxWords)
                              .arg(path));
    if (file.list.words.isEmpty()) {
        problems.noteOnce(QStringLiteral("lista senza parole: %1").arg(path));
        listStates_ << name + QStringLiteral(": nessuna parola");
    }
    quiz_.setWords(vowel, file.list.words);
}

void InitialVowel::noWordsAtAll()
{
    const QString folder = QFileInfo(media.wordList(vowelLetter(1))).path();
    messages.inform(QStringLiteral("Per l'esercizio INIZIA PER non c'è nessuna parola.\n"
                                "Scrivere le parole, una per riga, nei file della cartella\n%1\n\n%2")
                     .arg(QDir::toNativeSeparators(folder), listStates_.join(QLatin1Char('\n'))),
                 window());
    returnToMenu();
}

void InitialVowel::CaricaZampli()
{
    quiz_.draw(random);
    questionAsked();
    wordPicture_->load(pictures, {media.wordPicture(quiz_.word()), quiz_.word()});
}

void InitialVowel::parla()
{
    speaker.speakWord(quiz_.word());
}

void InitialVowel::setTilesEnabled(bool on)
{
    for (Tile *tile : *tiles_)
        tile->setEnabled(on);
}

void InitialVowel::Frame1_Click(int index)
{
    switch (recorded(quiz_.answer(index), {vowelLetter(quiz_.vowel()), vowelLetter(index + 1), quiz_.word()})) {
    case Answer::Ignored: return;
    case Answer::Wrong: answerWrong(); return;
    case Answer::Right: answerRight(); return;
    }
}

void InitialVowel::answerRight()
{
    smile_->show();
    sadFace_->hide();
    ++counters.EserciziEseguiti;
    rightCount_->setText(numberText(counters.EserciziEseguiti));
    setTilesEnabled(false);
    speaker.praise();
    nextButton_->setEnabled(true);
}

void InitialVowel::answerWrong()
{
    smile_->hide();
    sadFace_->show();
    speaker.wrongAnswer();
    wrongCount_->setText(numberText(counters.EserciziErrati));
}

void InitialVowel::Label1_Click(int index)
{
    // The letters answer as their tiles do; the caption "Esatti" does nothing.
    if (index < kVowels)
        Frame1_Click(index);
}

void InitialVowel::Command1_Click()
{
    startNextTurn();
}

void InitialVowel::startNextTurn()
{
    setTilesEnabled(true);
    nextButton_->setEnabled(false);
    CaricaZampli();
    parla();
}

void InitialVowel::Command2_Click()
{
    parla();
}

void InitialVowel::Image1_Click()
{
    parla();
}

} // namespace zampli
