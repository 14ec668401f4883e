// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tabs/results/ResultsLoader.h"

#include <QSplitter>

class QComboBox;
class QListWidget;

namespace zampli::teacher {

class ConfusionModel;
class CopyableTable;
class TrendChart;

// The pictures of a reading under the sessions: the vowels asked and chosen
// for one kind of question at a time, the words most often missed, and the
// share of right answers over the days.
class ResultsPictures : public QSplitter {
    Q_OBJECT
public:
    explicit ResultsPictures(QWidget *parent = nullptr);
    void present(const ResultsSnapshot &s);
    // The matrix shown now.
    const ConfusionMatrix &matrix() const;

private:
    QWidget *buildMatrix();
    QWidget *buildWords();
    void fillKinds();
    void showKind();

    QList<KindConfusion> kinds_;
    QComboBox *matrixKind_ = nullptr;
    ConfusionModel *matrixModel_ = nullptr;
    CopyableTable *matrixView_ = nullptr;
    QListWidget *missed_ = nullptr;
    TrendChart *trend_ = nullptr;
    bool filling_ = false;
};

} // namespace zampli::teacher
