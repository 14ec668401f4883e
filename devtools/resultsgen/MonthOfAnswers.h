// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>

namespace zampli {

class ResultsWriter;

// A month of a child at school: sessions on weekdays, every window that
// judges answers, a wrong answer tried again until right. The child takes E
// for I and I for E often at first and rarely by the end; cursive O is
// sometimes taken for A. The same plan and seed give the same answers.
struct MonthPlan {
    QDate lastDay;
    int days = 30;
    int answers = 3000; // about; wrong answers and their retries count
    unsigned seed = 1;
};

// Writes the month through `writer`; the number of answers written.
int writeMonthOfAnswers(ResultsWriter &writer, const MonthPlan &plan);

} // namespace zampli
