#include "exercises/matching/PositionMatching.h"

#include "exercises/matching/MatchingDesign.h"
#include "shell/DesignCanvas.h"
#include "shell/VowelShuffle.h"
#include "state/Modulo1.h"
#include "state/Random.h"

namespace zampli {

namespace {
constexpr int kFaceLefts[] = {120, 1920, 3720, 5520, 7320};
} // namespace

PositionMatching::PositionMatching(Windows &w)
    : ExerciseForm(w, FormId::Posizioni5, QSize(9360, 7200), kMatchingBrown)
{
}

void PositionMatching::buildControls(DesignCanvas &canvas)
{
    group_ = canvas.addGroup(QStringLiteral("Image1_gruppo"));
    std::array<Placement, 5> faces;
    for (int k = 0; k < 5; ++k)
        faces[k] = {.twips = QRect(kFaceLefts[k], 480, 1695, 1575), .pointer = Art::CursorArrow, .in = group_};
    image1_ = canvas.addArray<PictureBox>(QStringLiteral("Image1"), faces);
    connect(image1_, &ControlArraySignals::clicked, this, &PositionMatching::Image1_Click);

    image2_ = canvas.add<PictureBox>(QStringLiteral("Image2"), {.twips = QRect(2400, 2760, 2775, 2535)});

    command1_ = addListenAgainButton(canvas, QStringLiteral("Command1"), QRect(6000, 2640, 1815, 1695));
    command1_->setEnabled(false);
    connect(command1_, &QPushButton::clicked, this, &PositionMatching::Command1_Click);

    command2_ = addNextButton(canvas, QStringLiteral("Command2"), QRect(6000, 4680, 1815, 975));
    command2_->setEnabled(false);
    connect(command2_, &QPushButton::clicked, this, &PositionMatching::Command2_Click);
}

void PositionMatching::CaricaZampli()
{
    Random &random = m.services.random;
    VowelShuffle::clearPlaces(*image1_);
    VowelShuffle::fillPlaces(
        *image1_, random, m.Lettere, m.pictures,
        [this](const QString &letter) { return vowelPicture(m.services.media, Pictures::Faces, letter); }, Posto);

    // Never the same written vowel twice in a row.
    do {
        Posto = static_cast<qint16>(random.drawPlace(5));
    } while ((*image1_)[Posto]->tag() == LetteraGiusta);
    LetteraGiusta = (*image1_)[Posto]->tag();

    if (!StileFisso)
        Stile = static_cast<qint16>(random.drawNumber(4));
    image2_->load(m.pictures, vowelPicture(m.services.media, Pictures::Letters, LetteraGiusta, Stile));
}

void PositionMatching::parla()
{
    m.Percorso = m.services.media.voice(LetteraGiusta);
    m.play(m.Percorso);
    ++m.Contatore;
}

void PositionMatching::Image1_Click(int index)
{
    PictureBox *face = (*image1_)[index];
    if (face->tag() != LetteraGiusta) {
        m.SuonoSbagliato();
        ++m.EserciziErrati;
        return;
    }
    ++m.EserciziEseguiti;
    command1_->setEnabled(true);
    command2_->setEnabled(true);
    // The face stays where it is: hiding and showing it again would cost the
    // window system a question about the pointer for nothing.
    for (PictureBox *other : *image1_)
        if (other != face)
            other->hide();
    face->show();
    face->setEnabled(false);
    canvas()->setBackground(vowelColour(face->tag()));
    parla();
}

void PositionMatching::Command1_Click()
{
    parla();
}

void PositionMatching::Command2_Click()
{
    group_->showTogether(*image1_);
    for (PictureBox *face : *image1_)
        face->setEnabled(true);
    CaricaZampli();
    command1_->setEnabled(false);
    command2_->setEnabled(false);
}

} // namespace zampli
