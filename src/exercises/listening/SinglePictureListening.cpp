#include "exercises/listening/SinglePictureListening.h"

#include "app/Clock.h"
#include "app/Modulo1.h"
#include "app/Random.h"
#include "shell/DesignCanvas.h"

namespace zampli {

namespace {
constexpr double kVoiceWaitSeconds = 2.0;
constexpr int kTickMs = 1000;
} // namespace

QString letterInStyle(const QString &letter, int style)
{
    return style == 2 || style == 4 ? letter.toLower() : letter;
}

SinglePictureListening::SinglePictureListening(Modulo1 &m, FormId id)
    : ExerciseForm(m, id, QSize(9360, 7200), QColor(0, 0, 128))
{
}

void SinglePictureListening::buildControls(DesignCanvas &canvas)
{
    image1_ = canvas.add<PictureBox>(QStringLiteral("Image1"), QRect(1560, 600, 5775, 5535), {},
                                     Art::SpeakerNotes);
    connect(image1_, &PictureBox::clicked, this, &SinglePictureListening::Image1_Click);

    command1_ = canvas.add<PictureButton>(QStringLiteral("Command1"), QRect(7800, 5040, 975, 975), {},
                                          Art::NextArrow, Art::NextArrow);
    connect(command1_, &QPushButton::clicked, this, &SinglePictureListening::Command1_Click);

    auto *timer = new QTimer(&canvas);
    timer->setObjectName(QStringLiteral("Timer1"));
    timer->setInterval(kTickMs);
    connect(timer, &QTimer::timeout, this, &SinglePictureListening::Timer1_Timer);
    timer->start();
}

QString SinglePictureListening::pictureFile() const
{
    const QString &letter = m.Lettere[m.Vocale];
    return showsLetters() ? m.services.media.letterPicture(letter, Stile)
                          : m.services.media.facePicture(letter);
}

void SinglePictureListening::CaricaZampli()
{
    do {
        m.Vocale = static_cast<qint16>(m.services.random.drawNumber(5));
    } while (m.Vocale == Ultima);
    if (showsLetters() && !StileFisso)
        Stile = static_cast<qint16>(m.services.random.drawNumber(4));

    canvas()->setBackground(vowelColour(m.Vocale));
    const QString &letter = m.Lettere[m.Vocale];
    image1_->setPicture(m.pictures.load(pictureFile()),
                        showsLetters() ? letterInStyle(letter, Stile) : letter);
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
    m.OraAttuale = m.clock();
    if (elapsedSeconds(m.InizioVoce, m.OraAttuale) > kVoiceWaitSeconds)
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
