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

// Records one voice: record, stop, listen, record again, save. What is saved
// is trimmed and levelled like the default voices; the file changes only
// on "Salva".
class RecordDialog : public QDialog {
    Q_OBJECT
public:
    RecordDialog(TeacherServices &services, QString target, const QString &name, QWidget *parent = nullptr);
    ~RecordDialog() override;

private:
    void buildButtons(QVBoxLayout *layout);
    void showAvailability();
    void record();
    void stop();
    void listen();
    void save();
    void showLevel();

    TeacherServices &services_;
    QString target_;
    Samples voice_;
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
