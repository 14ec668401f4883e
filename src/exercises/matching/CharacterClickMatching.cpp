#include "exercises/matching/CharacterClickMatching.h"

#include "exercises/matching/MatchingDesign.h"
#include "shell/DesignCanvas.h"
#include "shell/VowelShuffle.h"
#include "state/Modulo1.h"

namespace zampli {

namespace {
constexpr int kColumnLefts[] = {120, 1920, 3720, 5520, 7320};
constexpr int kSeries = 5;
} // namespace

CharacterClickMatching::CharacterClickMatching(Windows &w)
    : ExerciseForm(w, FormId::Caratteri1, QSize(10785, 9645), kMatchingBrown)
{
}

void CharacterClickMatching::buildControls(DesignCanvas &canvas)
{
    std::array<Placement, 5> row, boxes;
    group_ = canvas.addGroup(QStringLiteral("Image1_Image3_gruppo"));
    for (int k = 0; k < 5; ++k) {
        row[k] = {.twips = QRect(kColumnLefts[k], 480, 1695, 1575), .in = group_};
        boxes[k] = {.twips = QRect(kColumnLefts[k], 2400, 1695, 1575), .pointer = Art::CursorArrow, .in = group_};
    }
    image1_ = canvas.addArray<PictureBox>(QStringLiteral("Image1"), row);
    image3_ = canvas.addArray<PictureBox>(QStringLiteral("Image3"), boxes);
    for (PictureBox *box : *image3_)
        box->setSingleBorder(true);
    connect(image3_, &ControlArraySignals::clicked, this, &CharacterClickMatching::Image3_Click);

    image2_ = canvas.add<PictureBox>(QStringLiteral("Image2"), {.twips = QRect(3240, 4920, 2055, 1815)});

    command2_ = addNextButton(canvas, QStringLiteral("Command2"), QRect(7920, 5640, 1815, 975));
    command2_->setEnabled(false);
    connect(command2_, &QPushButton::clicked, this, &CharacterClickMatching::Command2_Click);
}

PictureFile CharacterClickMatching::letterPicture(const QString &letter, int style) const
{
    return vowelPicture(m.services.media, Pictures::Letters, letter, style);
}

void CharacterClickMatching::ownResets()
{
    StileModello = kStylePairs[0].model;
    StileRiga = kStylePairs[0].row;
}

void CharacterClickMatching::setStylePair(int item)
{
    const StylePair pair = stylePair(item);
    StileModello = pair.model;
    StileRiga = pair.row;
    CoppieFatte = kSeries; // the follow-up then starts a new series
}

void CharacterClickMatching::CaricaZampli()
{
    CoppieFatte = 0;
    VowelShuffle::clearPlaces(*image1_);
    for (PictureBox *box : *image3_)
        box->clear();
    VowelShuffle::fillPlaces(
        *image1_, m.services.random, m.Lettere, m.pictures,
        [this](const QString &letter) { return letterPicture(letter, StileRiga); }, Posto);
    CaricaVocale();
}

void CharacterClickMatching::CaricaVocale()
{
    image2_->load(m.pictures, letterPicture(m.Lettere[CoppieFatte + 1], StileModello));
}

void CharacterClickMatching::Image3_Click(int index)
{
    if (CoppieFatte >= kSeries)
        return; // the series is over; only Command2 goes on
    const QString model = m.Lettere[CoppieFatte + 1];
    PictureBox *above = (*image1_)[index];
    PictureBox *box = (*image3_)[index];
    if (above->tag() != model) {
        m.SuonoSbagliato();
        ++m.EserciziErrati;
        return;
    }
    ++m.EserciziEseguiti;
    command2_->setEnabled(true);
    for (int k = 0; k < 5; ++k) // the matched pair stays, the rest goes
        if (k != index) {
            (*image1_)[k]->hide();
            (*image3_)[k]->hide();
        }
    box->copyPicture(*image2_);
    for (PictureBox *matched : {above, box}) {
        matched->show();
        matched->setEnabled(false);
    }
    canvas()->setBackground(vowelColour(above->tag()));
    ++CoppieFatte;
    parla();
}

void CharacterClickMatching::parla()
{
    m.Percorso = m.services.media.voice(m.Lettere[CoppieFatte]);
    m.play(m.Percorso);
}

void CharacterClickMatching::Command2_Click()
{
    QList<PictureBox *> all;
    for (int k = 0; k < 5; ++k)
        all << (*image1_)[k] << (*image3_)[k];
    group_->showTogether(all);
    for (PictureBox *p : all)
        p->setEnabled(true);
    if (CoppieFatte >= kSeries)
        CaricaZampli();
    else
        CaricaVocale();
    command2_->setEnabled(false);
}

} // namespace zampli
