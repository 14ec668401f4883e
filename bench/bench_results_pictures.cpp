// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's results over 100,000 answers: the queries the Risultati tab
// asks, the pictures drawn from them, and the whole tab read again.
//   bench_results_pictures [answers, 100000 by default]
#include "MonthOfAnswers.h"
#include "ResultsPictures.h"
#include "ResultsTab.h"

#include "results/ResultsWriter.h"
#include "results/Schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zampli;
using namespace zampli::teacher;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Every query and every picture of the tab for all the children and days.
void queriesAndPictures(const QString &db, double &queryMs, double &drawMs)
{
    QElapsedTimer t;
    t.start();
    ResultsReader reader;
    if (!reader.open(db))
        qFatal("cannot read %s", qPrintable(db));
    const VowelScores scores = reader.perVowel();
    std::vector<ConfusionMatrix> matrices{reader.confusion({ConfusionKind::Hearing, 0}),
                                          reader.confusion({ConfusionKind::Faces, 0})};
    for (int style = 1; style <= 4; ++style)
        matrices.push_back(reader.confusion({ConfusionKind::Letters, style}));
    const QList<DayShare> days = reader.dailyShare();
    const QList<MissedWord> words = reader.mostMissedWords(10);
    queryMs = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    QImage image(1400, 900, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    drawVowelBars(p, QRectF(0, 0, 500, 300), scores);
    for (int i = 0; i < int(matrices.size()); ++i)
        drawConfusion(p, QRectF(500 + (i % 3) * 300, (i / 3) * 300, 290, 290), matrices[i], QStringLiteral("M"));
    drawDailyLines(p, QRectF(0, 600, 1400, 300), days);
    p.end();
    drawMs = double(t.nsecsElapsed()) / 1e6;
    if (words.isEmpty())
        std::fprintf(stderr, "no missed words\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int answers = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir state, folder;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    const QString db = resultsDatabasePath(resultsFolder(), folder.path());
    QDir().mkpath(resultsFolder());
    int written = 0;
    {
        ResultsWriter writer(db, folder.path(), [](const QString &l) { qFatal("%s", qPrintable(l)); });
        written = writeMonthOfAnswers(writer, {QDate::currentDate(), 30, answers, 1});
    }
    std::vector<double> queries, drawing, whole;
    ResultsTab tab(folder.path());
    tab.resize(1100, 700);
    tab.show();
    for (int run = 0; run < 7; ++run) {
        double q = 0, d = 0;
        queriesAndPictures(db, q, d);
        queries.push_back(q);
        drawing.push_back(d);
        QElapsedTimer t;
        t.start();
        tab.refresh();
        tab.repaint();
        whole.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("results pictures, %d answers: queries %.1f ms, drawing %.1f ms, together %.1f ms "
                "(goal under 500 ms); whole Risultati tab read and painted %.1f ms (medians of 7)\n",
                written, median(queries), median(drawing), median(queries) + median(drawing), median(whole));
    return 0;
}
