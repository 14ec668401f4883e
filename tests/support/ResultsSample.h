// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Three sessions of today written by hand, every answer known:
//   1  09:00-09:05  FormZampli3 (heard E, chose I; heard E, chose E; heard A, chose A)
//   2  10:00-10:05  FormZampli5 (face I, chose E; face I, chose I)
//   3  11:00-11:05  FormZampli9 (ELEFANTE: chose A, then E)
#include "results/ResultsWriter.h"

#include <QDateTime>

namespace zampli::test {

inline qint64 todayAt(int hour, int minute)
{
    return QDateTime(QDate::currentDate(), QTime(hour, minute)).toMSecsSinceEpoch();
}

inline void writeSample(const QString &db, const QString &programFolder)
{
    ResultsWriter writer(db, programFolder, [](const QString &line) { qFatal("%s", qPrintable(line)); });
    struct Row {
        int hour;
        const char *window, *asked, *chosen, *word;
        Shown askedAs, chosenAs;
    };
    const Row rows[] = {
        {9, "FormZampli3", "E", "I", "", Shown::Voice, Shown::Tile},
        {9, "FormZampli3", "E", "E", "", Shown::Voice, Shown::Tile},
        {9, "FormZampli3", "A", "A", "", Shown::Voice, Shown::Tile},
        {10, "FormZampli5", "I", "E", "", Shown::Face, Shown::Letter},
        {10, "FormZampli5", "I", "I", "", Shown::Face, Shown::Letter},
        {11, "FormZampli9", "E", "A", "ELEFANTE", Shown::Word, Shown::Tile},
        {11, "FormZampli9", "E", "E", "ELEFANTE", Shown::Word, Shown::Tile},
    };
    int lastHour = 0, minute = 0;
    for (const Row &r : rows) {
        if (r.hour != lastHour) {
            if (lastHour)
                writer.sessionEnded(todayAt(lastHour, 5));
            writer.sessionStarted(todayAt(r.hour, 0));
            lastHour = r.hour;
            minute = 0;
        }
        ++minute;
        writer.record({todayAt(r.hour, minute), r.window, minute, r.asked, r.askedAs, r.askedAs == Shown::Letter ? 1 : 0,
                       r.word, r.chosen, r.chosenAs, r.chosenAs == Shown::Letter ? 2 : 0, qstrcmp(r.asked, r.chosen) == 0,
                       1500});
    }
    writer.sessionEnded(todayAt(lastHour, 5));
    if (!writer.sync())
        qFatal("the sample was not written");
}

} // namespace zampli::test
