// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "VoiceClean.h"

#include <QDialog>
#include <QTemporaryDir>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace zampli::teacher {

struct TeacherServices;

// Records one voice: record, stop, listen, record again, save. Each take
// starts with a moment of the room alone, whose noise the trimming and the
// levelling measure themselves against; a word that hardly stands out from
// it is told, with the offer to record again. What is saved is trimmed and
// levelled like the default voices; the file changes only on "Salva"
// (Enter), and a take not saved is thrown away only when the teacher says so.
class RecordDialog : public QDialog {
    Q_OBJECT
public:
    RecordDialog(TeacherServices &services, QString target, const QString &name, QWidget *parent = nullptr);
    ~RecordDialog() override;

    void reject() override;

private:
    void buildButtons(QVBoxLayout *layout);
    void showAvailability();
    void record();
    void stop();
    void listen();
    void save();
    void showLevel();
    QString takeText(const CleanedVoice &take) const;
    void askBeforeThrowingAway();

    TeacherServices &services_;
    QString target_;
    QString name_;
    Samples voice_;
    bool measuring_ = false;
    QTemporaryDir scratch_;
    QTimer meterTimer_;
    QLabel *status_ = nullptr;
    QProgressBar *meter_ = nullptr;
    QPushButton *recordButton_ = nullptr;
    QPushButton *stopButton_ = nullptr;
    QPushButton *listenButton_ = nullptr;
    QPushButton *saveButton_ = nullptr;
};

} // namespace zampli::teacher
