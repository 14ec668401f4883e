// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClassOfAnswers.h"

#include "results/ResultsEditor.h"
#include "results/ResultsWriter.h"

#include <QDateTime>
#include <QFileInfo>
#include <QList>
#include <random>

namespace zampli {

namespace {

const char *const kNames[] = {"Alessia", "Bruno",  "Chiara",  "Davide",   "Elena",   "Federico", "Giulia", "Hamid",
                              "Irene",   "Luca",   "Marco",   "Nicolò",   "Olivia",  "Pietro",   "Rebecca", "Sofia",
                              "Tommaso", "Ugo",    "Viola",   "Zeno",     "Anna",    "Beatrice", "Carlo",  "Diego",
                              "Emma",    "Filippo", "Greta",  "Leonardo", "Matilde", "Noemi"};

// One way of putting a vowel: the window that does it and how the child answers.
struct Way {
    const char *window;
    Shown asked;
    Shown chosen;
};
const Way kWays[] = {{"FormZampli3", Shown::Voice, Shown::Letter},
                     {"FormZampli5", Shown::Face, Shown::Letter},
                     {"FormCaratteri1", Shown::Letter, Shown::Letter},
                     {"FormIniziaPer", Shown::Word, Shown::Tile}};

struct MixUp {
    int way; // in kWays
    int asked, chosen; // 0..4
};
// The rows of the table in ClassOfAnswers.h.
const MixUp kMixUps[] = {{0, 1, 2}, {0, 3, 4}, {1, 0, 3}, {2, 2, 1}, {3, 3, 0},
                         {0, 4, 3}, {1, 2, 1}, {2, 3, 0}, {3, 1, 2}, {2, 0, 1}};

const char *const kWords[5] = {"ape", "elmo", "isola", "oca", "uva"};
const QString kLetters = QStringLiteral("AEIOU");

class Pupil {
public:
    Pupil(int k, unsigned seed) : rng_(seed * 7919u + unsigned(k)), first_(kMixUps[k % 10]), second_(kMixUps[(k + 3) % 10]) {}
    int draw(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    int choose(int way, int asked)
    {
        if (way == first_.way && asked == first_.asked && chance(0.45))
            return first_.chosen;
        if (way == second_.way && asked == second_.asked && chance(0.25))
            return second_.chosen;
        if (chance(1.0 / 33))
            return (asked + 1 + draw(4)) % 5;
        return asked;
    }

private:
    std::mt19937 rng_;
    MixUp first_, second_;
};

AnswerRecord answer(Pupil &p, qint64 atMs, int turn)
{
    const int way = p.draw(4), asked = p.draw(5);
    const int chosen = p.choose(way, asked);
    AnswerRecord a;
    a.atMs = atMs;
    a.window = QString::fromLatin1(kWays[way].window);
    a.turn = turn;
    a.asked = kLetters.at(asked);
    a.askedAs = kWays[way].asked;
    a.askedStyle = a.askedAs == Shown::Letter ? 1 + p.draw(4) : 0;
    a.word = a.askedAs == Shown::Word ? QString::fromLatin1(kWords[asked]) : QString();
    a.chosen = kLetters.at(chosen);
    a.chosenAs = kWays[way].chosen;
    a.chosenStyle = a.chosenAs == Shown::Letter ? 1 + p.draw(4) : 0;
    a.right = chosen == asked;
    a.answerMs = 1500 + p.draw(3000);
    return a;
}

QList<QDate> schoolDays(const ClassPlan &plan)
{
    QList<QDate> days;
    for (QDate d = plan.lastDay; days.size() < plan.days; d = d.addDays(-1))
        if (d.dayOfWeek() <= 5)
            days.prepend(d);
    return days;
}

} // namespace

int writeClassOfAnswers(const QString &path, const ClassPlan &plan, QString &error)
{
    if (QFileInfo::exists(path)) {
        error = QStringLiteral("il file %1 esiste già: una classe si scrive in un file nuovo").arg(path);
        return -1;
    }
    ResultsEditor editor;
    if (!editor.open(path, ResultsEditor::IfMissing::Make)) {
        error = editor.error();
        return -1;
    }
    const int size = qBound(1, plan.children, int(std::size(kNames)));
    QList<qint64> ids;
    QList<Pupil> pupils;
    for (int k = 0; k < size; ++k) {
        ids << editor.addChild(QString::fromUtf8(kNames[k]));
        if (ids.last() == 0) {
            error = editor.error();
            return -1;
        }
        pupils << Pupil(k, plan.seed);
    }
    ResultsWriter writer(path, QStringLiteral("classe"), [&error](const QString &line) { error = line; });
    int written = 0;
    for (const QDate &day : schoolDays(plan)) {
        for (int k = 0; k < size; ++k) {
            // Each child in turn, ten minutes apart, as the teacher calls them.
            qint64 at = QDateTime(day, QTime(8, 30)).toMSecsSinceEpoch() + qint64(k) * 600000;
            editor.choosePlaying(ids[k]);
            writer.sessionStarted(at);
            for (int n = 1; n <= plan.answersPerDay; ++n)
                writer.record(answer(pupils[k], at += 4000, n));
            writer.sessionEnded(at);
            if (!writer.sync())
                return -1;
            written += plan.answersPerDay;
        }
    }
    editor.choosePlaying(0);
    return error.isEmpty() ? written : -1;
}

} // namespace zampli
