// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures-voices/RecordDialog.h"

#include "imports/VoiceImport.h"
#include "imports/VoiceRecorder.h"
#include "media/SoundPlayer.h"
#include "shared/TeacherServices.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace zampli::teacher {

RecordDialog::RecordDialog(TeacherServices &services, QString target, const QString &name, QWidget *parent)
    : QDialog(parent), services_(services), target_(std::move(target)), name_(name)
{
    setWindowTitle(QStringLiteral("Registra la voce: %1").arg(name));
    setObjectName(QStringLiteral("registra"));
    setMinimumWidth(480);
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Premi «Registra» e resta in silenzio un momento: il programma ascolta il "
                                            "rumore della stanza. Quando compare «Parla ora», di' «%1» con calma e "
                                            "premi «Ferma». Il rumore della stanza e i suoni prima e dopo la parola vengono tolti "
                                            "da soli; dopo 10 secondi la registrazione si ferma da sola.").arg(name));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *meterRow = new QHBoxLayout;
    auto *meterLabel = new QLabel(QStringLiteral("Livello del microfono:"));
    meter_ = new QProgressBar;
    meter_->setRange(0, 60); // dB above -60 dBFS
    meter_->setTextVisible(false);
    meter_->setAccessibleName(QStringLiteral("Livello del microfono"));
    meterLabel->setBuddy(meter_);
    meterRow->addWidget(meterLabel);
    meterRow->addWidget(meter_, 1);
    layout->addLayout(meterRow);
    status_ = new QLabel;
    status_->setWordWrap(true);
    status_->setObjectName(QStringLiteral("stato"));
    layout->addWidget(status_);
    buildButtons(layout);
    connect(recordButton_, &QPushButton::clicked, this, &RecordDialog::record);
    connect(stopButton_, &QPushButton::clicked, this, &RecordDialog::stop);
    connect(listenButton_, &QPushButton::clicked, this, &RecordDialog::listen);
    connect(saveButton_, &QPushButton::clicked, this, &RecordDialog::save);
    connect(&meterTimer_, &QTimer::timeout, this, &RecordDialog::showLevel);
    connect(&services_.recorder, &VoiceRecorder::availability, this, &RecordDialog::showAvailability);
    connect(&services_.recorder, &VoiceRecorder::full, this, &RecordDialog::stopWhenFull);
    meterTimer_.setInterval(50);
    showAvailability();
}

void RecordDialog::buildButtons(QVBoxLayout *layout)
{
    auto *row = new QHBoxLayout;
    recordButton_ = new QPushButton(QStringLiteral("● &Registra"));
    stopButton_ = new QPushButton(QStringLiteral("■ &Ferma"));
    listenButton_ = new QPushButton(QStringLiteral("▶ &Ascolta"));
    for (QPushButton *b : {recordButton_, stopButton_, listenButton_}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    layout->addLayout(row);
    auto *buttons = new QDialogButtonBox;
    saveButton_ = buttons->addButton(QStringLiteral("&Salva"), QDialogButtonBox::AcceptRole);
    // Enter keeps the take, whichever button has the focus.
    saveButton_->setDefault(true);
    buttons->addButton(QStringLiteral("Chiudi senza salvare"), QDialogButtonBox::RejectRole)->setAutoDefault(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

RecordDialog::~RecordDialog()
{
    services_.recorder.stop();
}

// The window grows with a longer message rather than squeeze the words above it.
void RecordDialog::tell(const QString &text)
{
    status_->setText(text);
    layout()->activate();
    if (const int needed = layout()->totalHeightForWidth(width()); needed > height())
        resize(width(), needed);
}

void RecordDialog::showAvailability()
{
    const bool recording = services_.recorder.recording();
    recordButton_->setEnabled(services_.recorder.usable() && !recording);
    stopButton_->setEnabled(recording);
    listenButton_->setEnabled(!recording && !voice_.empty());
    saveButton_->setEnabled(!recording && !voice_.empty());
    if (!services_.recorder.usable())
        tell(services_.recorder.reason().isEmpty() ? QStringLiteral("Cerco il microfono…")
                                                               : services_.recorder.reason());
}

void RecordDialog::record()
{
    if (!services_.recorder.start()) {
        tell(QStringLiteral("Il microfono non si apre: chiudi gli altri programmi che lo usano e riprova."));
        return;
    }
    measuring_ = true;
    tell(QStringLiteral("Silenzio per un momento: ascolto il rumore della stanza…"));
    meterTimer_.start();
    showAvailability();
    stopButton_->setFocus();
}

void RecordDialog::stop()
{
    meterTimer_.stop();
    meter_->setValue(0);
    measuring_ = false;
    const Samples take = services_.recorder.stop();
    const CleanedVoice cleaned = cleanVoice(take);
    voice_ = cleaned.samples;
    tell(takeText(cleaned));
    recordButton_->setText(QStringLiteral("● &Registra di nuovo"));
    showAvailability();
    // Enter keeps even a quiet take: recording again is a click away, never a key pressed by habit.
    (voice_.empty() ? recordButton_ : saveButton_)->setFocus();
}

// A full take comes from the recorder's thread a moment later: only the take it was sent for is stopped.
void RecordDialog::stopWhenFull()
{
    if (!services_.recorder.recording() || services_.recorder.heard() < kLongestTake)
        return;
    stop();
    tell(QStringLiteral("La registrazione si è fermata da sola dopo 10 secondi. ") + status_->text());
}

QString RecordDialog::takeText(const CleanedVoice &take) const
{
    if (take.samples.empty())
        return QStringLiteral("Non sento nessuna voce: avvicinati al microfono e riprova, in un momento di silenzio. "
                              "Premi «Registra di nuovo», aspetta «Parla ora» e di' «%1»; se non cambia niente, "
                              "controlla che il microfono sia acceso.").arg(name_);
    const QString seconds = QLocale(QLocale::Italian).toString(double(take.samples.size()) / kVoiceRate, 'f', 1);
    if (take.leftQuiet())
        return QStringLiteral("Registrata: %1 secondi, ma più piano delle altre voci, per non alzare il rumore della "
                              "stanza. Avvicinati al microfono e registra di nuovo, oppure ascoltala e salvala così.")
            .arg(seconds);
    return QStringLiteral("Registrata: %1 secondi. Premi «Ascolta» per sentirla, poi «Salva» (Invio) per tenerla, "
                          "o registra di nuovo.").arg(seconds);
}

void RecordDialog::listen()
{
    const QString file = QDir(scratch_.path()).filePath(QStringLiteral("ascolto-%1.wav").arg(qulonglong(voice_.size())));
    if (saveVoice(voice_, file).isEmpty())
        services_.player.play(file);
}

void RecordDialog::save()
{
    QDir().mkpath(QFileInfo(target_).absolutePath());
    const QString error = saveVoice(voice_, target_);
    if (!error.isEmpty()) {
        tell(error);
        return;
    }
    voice_.clear();
    accept();
}

void RecordDialog::reject()
{
    if (services_.recorder.recording() || !voice_.empty())
        askBeforeThrowingAway();
    else
        QDialog::reject();
}

// Asked without waiting: the dialog goes on underneath until she answers.
void RecordDialog::askBeforeThrowingAway()
{
    auto *ask = new QMessageBox(QMessageBox::Question, QStringLiteral("Registra la voce: %1").arg(name_),
                                QStringLiteral("La voce di «%1» non è salvata: buttarla via?").arg(name_),
                                QMessageBox::NoButton, this);
    ask->setObjectName(QStringLiteral("buttaVia"));
    ask->setInformativeText(QStringLiteral("«Butta via» chiude senza cambiare niente; «Torna alla registrazione» "
                                           "ti lascia ascoltarla o salvarla."));
    QPushButton *throwAway = ask->addButton(QStringLiteral("&Butta via"), QMessageBox::DestructiveRole);
    ask->setDefaultButton(ask->addButton(QStringLiteral("&Torna alla registrazione"), QMessageBox::RejectRole));
    ask->setAttribute(Qt::WA_DeleteOnClose);
    connect(ask, &QMessageBox::buttonClicked, this, [this, throwAway](QAbstractButton *clicked) {
        if (clicked != throwAway)
            return;
        meterTimer_.stop();
        services_.recorder.stop();
        voice_.clear();
        QDialog::reject();
    });
    ask->open();
}

void RecordDialog::showLevel()
{
    if (measuring_ && services_.recorder.heard() >= size_t(kVoiceRate * kMeasureSeconds)) {
        measuring_ = false;
        tell(QStringLiteral("Parla ora: di' «%1», poi premi «Ferma».").arg(name_));
    }
    const float level = services_.recorder.level();
    meter_->setValue(level > 0 ? std::clamp(int(std::lround(60 + 20 * std::log10(level))), 0, 60) : 0);
}

} // namespace zampli::teacher
