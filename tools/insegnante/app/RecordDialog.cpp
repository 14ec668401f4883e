// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordDialog.h"

#include "MediaActions.h"
#include "VoiceImport.h"
#include "VoiceRecorder.h"
#include "media/SoundPlayer.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace zampli::teacher {

RecordDialog::RecordDialog(TeacherServices &services, QString target, const QString &name, QWidget *parent)
    : QDialog(parent), services_(services), target_(std::move(target))
{
    setWindowTitle(QStringLiteral("Registra la voce: %1").arg(name));
    setObjectName(QStringLiteral("registra"));
    setMinimumWidth(480);
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Premi «Registra», di' «%1» con calma e premi «Ferma». Il silenzio "
                                            "prima e dopo viene tolto da solo.").arg(name));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    meter_ = new QProgressBar;
    meter_->setRange(0, 60); // dB above -60 dBFS
    meter_->setTextVisible(false);
    meter_->setAccessibleName(QStringLiteral("Livello del microfono"));
    layout->addWidget(meter_);
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
    buttons->addButton(QStringLiteral("Chiudi senza salvare"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

RecordDialog::~RecordDialog()
{
    services_.recorder.stop();
}

void RecordDialog::showAvailability()
{
    const bool recording = services_.recorder.recording();
    recordButton_->setEnabled(services_.recorder.usable() && !recording);
    stopButton_->setEnabled(recording);
    listenButton_->setEnabled(!recording && !voice_.empty());
    saveButton_->setEnabled(!recording && !voice_.empty());
    if (!services_.recorder.usable())
        status_->setText(services_.recorder.reason().isEmpty() ? QStringLiteral("Cerco il microfono…")
                                                               : services_.recorder.reason());
}

void RecordDialog::record()
{
    if (!services_.recorder.start()) {
        status_->setText(QStringLiteral("Il microfono non si apre: chiudi gli altri programmi che lo usano e riprova."));
        return;
    }
    status_->setText(QStringLiteral("Sto registrando… premi «Ferma» quando hai finito."));
    meterTimer_.start();
    showAvailability();
    stopButton_->setFocus();
}

void RecordDialog::stop()
{
    meterTimer_.stop();
    meter_->setValue(0);
    voice_ = cleanVoice(services_.recorder.stop());
    status_->setText(voice_.empty()
                         ? QStringLiteral("Non si sente niente: avvicinati al microfono, controlla che sia acceso e "
                                          "registra di nuovo.")
                         : QStringLiteral("Registrata: %1 secondi. Ascoltala, poi salvala o registra di nuovo.")
                               .arg(QLocale(QLocale::Italian).toString(double(voice_.size()) / kVoiceRate, 'f', 1)));
    recordButton_->setText(QStringLiteral("● &Registra di nuovo"));
    showAvailability();
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
        status_->setText(error);
        return;
    }
    accept();
}

void RecordDialog::showLevel()
{
    const float level = services_.recorder.level();
    meter_->setValue(level > 0 ? std::clamp(int(std::lround(60 + 20 * std::log10(level))), 0, 60) : 0);
}

} // namespace zampli::teacher
