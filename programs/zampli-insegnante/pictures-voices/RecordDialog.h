// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imports/VoiceClean.h"

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
// starts with a moment of the room alone, for the noise suppressor to learn,
// and ends by itself after kLongestTake samples; a meter shows the level
// heard. What is saved is the word alone, its noise taken away, levelled
// like the default voices; a take where no voice is heard is refused with
// what to do. The file changes only on "Salva" (Enter), and a take not saved
// is thrown away only when the teacher says so.
class RecordDialog : public QDialog {
    Q_OBJECT
public:
    RecordDialog(TeacherServices &services, QString target, const QString &name, QWidget *parent = nullptr);
    ~RecordDialog() override;

    void reject() override;

private:
    void buildButtons(QVBoxLayout *layout);
    void tell(const QString &text);
    void showAvailability();
    void record();
    void stop();
    void stopWhenFull();
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
