#include "exercises/initial/InitialVowel.h"

#include "media/FileNames.h"
#include "media/ProblemLog.h"
#include "shell/DesignCanvas.h"
#include "shell/Windows.h"
#include "state/Counter16.h"
#include "state/MessageBoxes.h"
#include "state/Modulo1.h"
#include "state/Random.h"
#include "state/Vowels.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

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

InitialVowel::InitialVowel(Windows &w)
    : ExerciseForm(w, FormId::IniziaPer, QSize(11205, 8445), QColor(0, 0, 128))
{
}

void InitialVowel::buildControls(DesignCanvas &canvas)
{
    std::vector<Placement> tiles;
    for (int k = 0; k < kVowels; ++k)
        tiles.push_back({.twips = QRect(k * 2400, 0, 2415, 2535), .pointer = Art::CursorArrow});
    frame1_ = canvas.addArray<Tile>(QStringLiteral("Frame1"), tiles);
    for (int k = 0; k < kVowels; ++k)
        (*frame1_)[k]->setColour(vowelColour(k + 1));
    connect(frame1_, &ControlArraySignals::clicked, this, &InitialVowel::Frame1_Click);

    // Letters 0 to 4 sit in their tiles; member 5 is the caption "Esatti".
    constexpr QPoint letterAt[kVowels] = {{480, 240}, {720, 120}, {600, 120}, {600, 0}, {600, 120}};
    std::vector<Placement> labels;
    for (int k = 0; k < kVowels; ++k)
        labels.push_back({.twips = QRect(letterAt[k], QSize(1215, 1095)), .font = DesignFont{48, true},
                          .in = (*frame1_)[k]});
    labels.push_back({.twips = QRect(360, 4860, 735, 375), .font = DesignFont{12, true}});
    label1_ = canvas.addArray<ClickLabel>(QStringLiteral("Label1"), labels);
    const QString letters = QStringLiteral("AEIOU");
    for (int k = 0; k < kVowels; ++k) {
        ClickLabel *letter = (*label1_)[k];
        letter->setText(letters.at(k));
        letter->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        // Locked with its tile, not greyed out.
        QPalette pal = letter->palette();
        pal.setColor(QPalette::Disabled, QPalette::WindowText, pal.color(QPalette::Active, QPalette::WindowText));
        letter->setPalette(pal);
    }
    ClickLabel *esatti = (*label1_)[kVowels];
    esatti->setText(QStringLiteral("Esatti"));
    esatti->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette white = esatti->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    esatti->setPalette(white);
    connect(label1_, &ControlArraySignals::clicked, this, &InitialVowel::Label1_Click);

    addCaption(canvas, "Label4", QRect(360, 5280, 735, 495), 12, QStringLiteral("Errati"));
    etichettaEsatti_ = addCaption(canvas, "EtichettaEsatti", QRect(1200, 4680, 975, 615), 18, QStringLiteral("0"));
    etichettaErrati_ = addCaption(canvas, "EtichettaErrati", QRect(1200, 5190, 855, 615), 18, QStringLiteral("0"));

    const QRect facePlace(720, 3480, 855, 750);
    comandoIconaSi_ = canvas.add<PictureButton>(QStringLiteral("ComandoIconaSi"), {.twips = facePlace});
    comandoIconaSi_->setPicture(Art::Smile);
    comandoIconaSi_->hide();
    comandoIconaNo_ = canvas.add<PictureButton>(QStringLiteral("ComandoIconaNo"), {.twips = facePlace});
    comandoIconaNo_->setPicture(Art::Sad);

    image1_ = canvas.add<PictureBox>(QStringLiteral("Image1"), {.twips = QRect(2880, 3480, 2535, 2415)});
    connect(image1_, &PictureBox::clicked, this, &InitialVowel::Image1_Click);

    auto *command2 = addListenAgainButton(canvas, QStringLiteral("Command2"), QRect(6840, 4320, 1695, 1575));
    connect(command2, &QPushButton::clicked, this, &InitialVowel::Command2_Click);

    command1_ = addNextButton(canvas, QStringLiteral("Command1"), QRect(9000, 4920, 1575, 975));
    command1_->setEnabled(false);
    connect(command1_, &QPushButton::clicked, this, &InitialVowel::Command1_Click);
}

void InitialVowel::LeggiParole()
{
    listStates_.clear();
    for (const int vowel : kReadingOrder)
        readList(vowel);
    if (!anyWord())
        noWordsAtAll();
}

void InitialVowel::readList(int vowel)
{
    NumeroParole[vowel] = 0;
    const QString path = m.services.media.wordList(m.Lettere[vowel]);
    const QString name = QFileInfo(path).fileName();
    const WordListFile file = loadWordList(existingFile(path));
    ProblemLog &log = m.services.problems;
    if (!file.opened) {
        log.missingFile(path, file.refusal);
        listStates_ << name + QStringLiteral(": manca o non si può leggere");
        return;
    }
    if (file.tooBig)
        log.noteOnce(QStringLiteral("lista troppo grande, letto solo l'inizio: %1").arg(path));
    for (const QString &refused : file.list.refused)
        log.noteOnce(QStringLiteral("parola scartata, non è un nome di file: \"%1\" in %2").arg(refused, path));
    if (file.list.cut)
        log.noteOnce(QStringLiteral("lista con più di %1 parole, usate le prime %1: %2")
                         .arg(WordList::kMaxWords)
                         .arg(path));
    if (file.list.words.isEmpty()) {
        log.noteOnce(QStringLiteral("lista senza parole: %1").arg(path));
        listStates_ << name + QStringLiteral(": nessuna parola");
    }
    for (const QString &word : file.list.words)
        Parole[vowel][++NumeroParole[vowel]] = word;
}

bool InitialVowel::anyWord() const
{
    return std::any_of(NumeroParole.begin() + 1, NumeroParole.end(), [](qint16 n) { return n > 0; });
}

void InitialVowel::noWordsAtAll()
{
    const QString folder = QFileInfo(m.services.media.wordList(m.Lettere[1])).path();
    m.services.boxes.inform(QStringLiteral("Per l'esercizio INIZIA PER non c'è nessuna parola.\n"
                                           "Scrivere le parole, una per riga, nei file della cartella\n%1\n\n%2")
                                .arg(QDir::toNativeSeparators(folder), listStates_.join(QLatin1Char('\n'))),
                            window());
    if (Form *menu = windows.form(FormId::Menu))
        menu->Show();
    Unload();
}

void InitialVowel::CaricaZampli()
{
    // A vowel whose list gave no word is drawn again; the others keep equal chances.
    do {
        VocaleGiusta = static_cast<qint16>(m.services.random.drawNumber(kVowels));
    } while (NumeroParole[VocaleGiusta] == 0);
    Parola = Parole[VocaleGiusta][m.services.random.drawNumber(NumeroParole[VocaleGiusta])];
    image1_->load(m.pictures, {m.services.media.wordPicture(Parola), Parola});
}

void InitialVowel::parla()
{
    m.Percorso = m.services.media.voice(Parola);
    m.play(m.Percorso);
}

void InitialVowel::setTilesEnabled(bool on)
{
    for (Tile *tile : *frame1_)
        tile->setEnabled(on);
}

void InitialVowel::Frame1_Click(int index)
{
    if (index + 1 == VocaleGiusta) {
        comandoIconaSi_->show();
        comandoIconaNo_->hide();
        ++m.EserciziEseguiti;
        etichettaEsatti_->setText(numberText(m.EserciziEseguiti));
        setTilesEnabled(false);
        m.SuonoGiusto();
        command1_->setEnabled(true);
    } else {
        comandoIconaSi_->hide();
        comandoIconaNo_->show();
        ++m.EserciziErrati;
        m.SuonoSbagliato();
        etichettaErrati_->setText(numberText(m.EserciziErrati));
    }
}

void InitialVowel::Label1_Click(int index)
{
    // The letters answer as their tiles do; the caption "Esatti" does nothing.
    if (index < kVowels)
        Frame1_Click(index);
}

void InitialVowel::Command1_Click()
{
    setTilesEnabled(true);
    command1_->setEnabled(false);
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
