// SPDX-License-Identifier: GPL-3.0-or-later
// Fills a results database with made-up answers, for pictures of the
// teacher's results, for tests and for timing the queries: a month of one
// child, or a whole class with the mix-ups of each child known.
#include "ClassOfAnswers.h"
#include "MonthOfAnswers.h"

#include "results/ResultsWriter.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

const char kUsage[] =
    "uso:\n"
    "  zampli-resultsgen FILE [RISPOSTE] [ULTIMO-GIORNO]\n"
    "      un mese di risposte di un bambino (3000 se non detto), aggiunte al file\n"
    "  zampli-resultsgen --classe FILE [BAMBINI] [GIORNI] [RISPOSTE-AL-GIORNO] [ULTIMO-GIORNO]\n"
    "      una classe in un file nuovo: 30 bambini, 200 giorni di scuola, 100 risposte al giorno\n"
    "      se non detto (600.000 risposte), ogni bambino con i suoi due scambi di vocali\n"
    "  zampli-resultsgen --help\n"
    "      questo aiuto; non scrive nulla\n"
    "ULTIMO-GIORNO si scrive aaaa-mm-gg; se non detto, oggi.\n";

int refuse(const char *why)
{
    std::fprintf(stderr, "zampli-resultsgen: %s\n%s", why, kUsage);
    return 2;
}

// The number at `at`, or `fallback` when not given; 0 when not a positive number.
int count(const QStringList &args, int at, int fallback)
{
    return args.size() > at ? qMax(0, args[at].toInt()) : fallback;
}

QDate lastDay(const QStringList &args, int at)
{
    return args.size() > at ? QDate::fromString(args[at], Qt::ISODate) : QDate::currentDate();
}

int month(const QStringList &args)
{
    zampli::MonthPlan plan;
    plan.answers = count(args, 1, plan.answers);
    plan.lastDay = lastDay(args, 2);
    if (!plan.lastDay.isValid() || plan.answers <= 0)
        return refuse("numero di risposte o giorno non validi");
    int problems = 0;
    zampli::ResultsWriter writer(args[0], QStringLiteral("esempio"), [&problems](const QString &line) {
        std::fprintf(stderr, "zampli-resultsgen: %s\n", qPrintable(line));
        ++problems;
    });
    const int written = zampli::writeMonthOfAnswers(writer, plan);
    std::printf("%d risposte scritte in %s\n", written, qPrintable(args[0]));
    return problems ? 1 : 0;
}

int schoolClass(const QStringList &args)
{
    zampli::ClassPlan plan;
    plan.children = count(args, 1, plan.children);
    plan.days = count(args, 2, plan.days);
    plan.answersPerDay = count(args, 3, plan.answersPerDay);
    plan.lastDay = lastDay(args, 4);
    if (plan.children <= 0 || plan.children > 30 || plan.days <= 0 || plan.answersPerDay <= 0 ||
        !plan.lastDay.isValid())
        return refuse("bambini (da 1 a 30), giorni, risposte al giorno o ultimo giorno non validi");
    QString error;
    const int written = zampli::writeClassOfAnswers(args[0], plan, error);
    if (written < 0) {
        std::fprintf(stderr, "zampli-resultsgen: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%d risposte di %d bambini scritte in %s\n", written, plan.children, qPrintable(args[0]));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const bool wholeClass = !args.isEmpty() && args[0] == QLatin1String("--classe");
    if (wholeClass)
        args.removeFirst();
    // A file is never named like an option: a mistyped option writes nothing.
    for (const QString &a : args)
        if (a.startsWith(QLatin1Char('-')))
            return refuse(qPrintable(QStringLiteral("opzione sconosciuta: %1").arg(a)));
    if (args.isEmpty() || args.size() > (wholeClass ? 5 : 3))
        return refuse("numero di argomenti sbagliato");
    return wholeClass ? schoolClass(args) : month(args);
}
