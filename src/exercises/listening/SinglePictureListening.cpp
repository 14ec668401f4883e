#include "exercises/listening/SinglePictureListening.h"

#include "exercises/listening/VoiceWait.h"
#include "state/Modulo1.h"
#include "state/Vowels.h"
#include "state/Random.h"
#include "shell/DesignCanvas.h"

namespace zampli {

SinglePictureListening::SinglePictureListening(Windows &w, FormId id)
    : ExerciseForm(w, id, QSize(9360, 7200), QColor(0, 0, 128))
{
}

void SinglePictureListening::buildControls(DesignCanvas &canvas)
{
    image1_ = canvas.add<PictureBox>(QStringLiteral("Image1"),
                                     {.twips = QRect(1560, 600, 5775, 5535), .pointer = Art::SpeakerNotes});
    connect(image1_, &PictureBox::clicked, this, &SinglePictureListening::Image1_Click);

    command1_ = addNextButton(canvas, QStringLiteral("Command1"), QRect(7800, 5040, 975, 975));
    connect(command1_, &QPushButton::clicked, this, &SinglePictureListening::Command1_Click);

    connect(addTimer1(&canvas), &QTimer::timeout, this, &SinglePictureListening::Timer1_Timer);
}

QString SinglePictureListening::pictureFile() const
{
    return vowelPicture(m.services.media, row().pictures, m.Lettere[m.Vocale], Stile).path;
}

void SinglePictureListening::CaricaZampli()
{
    do {
        m.Vocale = static_cast<qint16>(m.services.random.drawNumber(5));
    } while (m.Vocale == Ultima);
    if (showsLetters() && !StileFisso)
        Stile = static_cast<qint16>(m.services.random.drawNumber(4));

    canvas()->setBackground(vowelColour(m.Vocale));
    image1_->load(m.pictures, vowelPicture(m.services.media, row().pictures, m.Lettere[m.Vocale], Stile));
    Ultima = m.Vocale;
}

void SinglePictureListening::parla()
{
    command1_->hide();
    m.InizioVoce = m.clock();
    m.Percorso = m.services.media.voice(m.Lettere[m.Vocale]);
    m.play(m.Percorso);
}

void SinglePictureListening::Timer1_Timer()
{
    if (voiceWaitOver(m))
        command1_->show();
}

void SinglePictureListening::Command1_Click()
{
    CaricaZampli();
    ++m.EserciziEseguiti;
    parla();
}

void SinglePictureListening::Image1_Click()
{
    parla();
}

} // namespace zampli
