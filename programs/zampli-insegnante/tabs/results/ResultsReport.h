// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tabs/results/ResultsLoader.h"

namespace zampli::teacher {

struct ReportContent {
    QString copy;  // the program folder the answers came from
    QString span;  // the child or children, and the days
    ResultsSnapshot reading;
};

// One A4 page for the span of days: the copy, the days, the right answers
// per vowel, a matrix per kind of question, the trend and the sessions.
// Every number is written out and the vowels' lines carry their own dashes,
// so the page reads printed in black and white. Written whole or not at all:
// empty once written, else why not and what to do, in Italian.
QString writeResultsReport(const QString &path, const ReportContent &c);

} // namespace zampli::teacher
