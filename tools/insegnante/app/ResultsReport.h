// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

namespace zampli::teacher {

struct ReportContent {
    QString who; // the child or children, and the days
    VowelScores scores;
    ConfusionMatrix matrix;
    QString matrixTitle;
    QList<DayShare> days;
    QList<MissedWord> words;
};

// One A4 page with the pictures of the tab; written whole or not at all.
bool writeResultsReport(const QString &path, const ReportContent &c);

} // namespace zampli::teacher
