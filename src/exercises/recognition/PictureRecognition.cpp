#include "exercises/recognition/PictureRecognition.h"

#include "shell/DesignCanvas.h"
#include "shell/VowelShuffle.h"
#include "state/Modulo1.h"
#include "state/Random.h"
#include "state/Vowels.h"

#include <stdexcept>
#include <vector>

namespace zampli {

namespace {
const QColor kLoadedBrown(128, 64, 0);
const QColor kNextTurnBrown(128, 64, 64);
const QColor kWrongBlack(0, 0, 0);
const QColor kFrameRed(255, 0, 0);
constexpr int kFramePixels = 5;
} // namespace

const RecognitionVariant &recognitionVariant(FormId id)
{
    for (const RecognitionVariant &v : kRecognitionVariants)
        if (v.id == id)
            return v;
    throw std::invalid_argument("not a recognition window");
}

PictureRecognition::PictureRecognition(Windows &w, FormId id)
    : ExerciseForm(w, id, kRecognitionClient, kLoadedBrown), variant_(recognitionVariant(id))
{
}

void PictureRecognition::buildControls(DesignCanvas &canvas)
{
    const RecognitionLayout &layout = variant_.layout;
    std::vector<Placement> places;
    for (QPoint at : layout.boxes)
        places.push_back({.twips = QRect(at, kRecognitionBox), .pointer = layout.picturePointer});
    image1_ = canvas.addArray<PictureBox>(QStringLiteral("Image1"), places);
    for (int k = variant_.inPlay; k < image1_->size(); ++k)
        (*image1_)[k]->hide(); // still loaded every turn, never seen
    connect(image1_, &ControlArraySignals::clicked, this, &PictureRecognition::Image1_Click);

    shape1_ = canvas.add<OutlineFrame>(QStringLiteral("Shape1"), {.twips = QRect(layout.boxes[0], kRecognitionBox)},
                                       kFrameRed, kFramePixels);
    shape1_->hide();

    command1_ = addListenAgainButton(canvas, QStringLiteral("Command1"), layout.command1);
    connect(command1_, &QPushButton::clicked, this, &PictureRecognition::Command1_Click);

    command2_ = addNextButton(canvas, QStringLiteral("Command2"), layout.command2);
    command2_->hide();
    connect(command2_, &QPushButton::clicked, this, &PictureRecognition::Command2_Click);
    QWidget::setTabOrder(command1_, command2_);
}

void PictureRecognition::CaricaZampli()
{
    VowelShuffle::clearPlaces(*image1_);
    // One style a turn: all five pictures share it.
    if (row().pictures == Pictures::Letters && !StileFisso)
        Stile = static_cast<qint16>(m.services.random.drawNumber(4));
    const auto picture = [this](const QString &letter) {
        return vowelPicture(m.services.media, row().pictures, letter, Stile);
    };
    VowelShuffle::fillPlaces(*image1_, m.services.random, m.Lettere, m.pictures, picture, Posto);
}

void PictureRecognition::parla()
{
    // Only a picture in play can be spoken, and never the vowel of the turn before.
    QString letter;
    do {
        Posto = static_cast<qint16>(m.services.random.drawPlace(variant_.inPlay));
        letter = (*image1_)[Posto]->tag();
    } while (letter == VocaleDetta);
    VocaleDetta = letter;
    m.Percorso = m.services.media.voice(VocaleDetta);
    m.play(m.Percorso);
}

void PictureRecognition::Image1_Click(int index)
{
    PictureBox *box = (*image1_)[index];
    DesignCanvas *c = canvas();
    if (box->tag() != VocaleDetta) {
        ++m.EserciziErrati;
        c->setBackground(kWrongBlack);
        m.SuonoSbagliato();
        return;
    }
    ++m.EserciziEseguiti;
    QRect frame = c->twips(shape1_);
    frame.moveTopLeft(c->twips(box).topLeft());
    c->setTwips(shape1_, frame);
    if (row().tintAfterRight)
        c->setBackground(vowelColour(box->tag()));
    enablePictures(false);
    shape1_->show();
    command2_->show();
}

void PictureRecognition::Command1_Click()
{
    m.play(m.Percorso);
}

void PictureRecognition::Command2_Click()
{
    enablePictures(true);
    CaricaZampli();
    canvas()->setBackground(kNextTurnBrown);
    shape1_->hide();
    parla();
    command2_->hide();
}

void PictureRecognition::enablePictures(bool on)
{
    for (int k = 0; k < variant_.inPlay; ++k)
        (*image1_)[k]->setEnabled(on);
}

} // namespace zampli
