// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tabs/results/ResultsLoader.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace zampli::teacher {

// Trouble with the file the teacher has not read yet, in a warm band shown
// until she says she has; hidden while there is none.
class ProblemsBand : public QWidget {
    Q_OBJECT
public:
    explicit ProblemsBand(QWidget *parent = nullptr);
    void fill(const ResultsSnapshot &s);

signals:
    void read();
    void damagedCopiesRemoveAsked();

private:
    QLabel *problems_ = nullptr;
    QPushButton *damaged_ = nullptr;
};

} // namespace zampli::teacher
