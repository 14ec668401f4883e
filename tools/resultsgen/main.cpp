// SPDX-License-Identifier: GPL-3.0-or-later
// Fills a results database with a month of made-up answers, for pictures of
// the teacher's results and for timing the queries.
//   zampli-resultsgen <database> [answers] [last day yyyy-mm-dd]
#include "MonthOfAnswers.h"

#include "results/ResultsWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 4) {
        std::fprintf(stderr, "uso: zampli-resultsgen <database> [risposte] [ultimo giorno aaaa-mm-gg]\n");
        return 2;
    }
    zampli::MonthPlan plan;
    plan.lastDay = args.size() > 3 ? QDate::fromString(args[3], Qt::ISODate) : QDate::currentDate();
    if (args.size() > 2)
        plan.answers = args[2].toInt();
    if (!plan.lastDay.isValid() || plan.answers <= 0) {
        std::fprintf(stderr, "zampli-resultsgen: numero di risposte o giorno non validi\n");
        return 2;
    }
    int problems = 0;
    zampli::ResultsWriter writer(args[1], QStringLiteral("esempio"), [&problems](const QString &line) {
        std::fprintf(stderr, "zampli-resultsgen: %s\n", qPrintable(line));
        ++problems;
    });
    const int written = zampli::writeMonthOfAnswers(writer, plan);
    std::printf("%d risposte scritte in %s\n", written, qPrintable(args[1]));
    return problems ? 1 : 0;
}
