// SPDX-License-Identifier: GPL-3.0-or-later
#include "MonthOfAnswers.h"

#include "results/ResultsWriter.h"

#include <QDateTime>
#include <QTime>
#include <random>

namespace zampli {

namespace {

struct WindowKind {
    const char *name;
    Shown asked;
    Shown chosen;
};

const WindowKind kWindows[] = {
    {"FormPosizioni3", Shown::Voice, Shown::Face},    {"FormPosizioni4", Shown::Voice, Shown::Face},
    {"FormZampli3", Shown::Voice, Shown::Letter},     {"FormZampli4", Shown::Voice, Shown::Letter},
    {"FormPosizioni5", Shown::Letter, Shown::Face},   {"FormCaratteri1", Shown::Letter, Shown::Letter},
    {"FormCaratteri2", Shown::Letter, Shown::Letter}, {"FormIniziaPer", Shown::Word, Shown::Tile},
};

const char *const kWords[5][3] = {
    {"ape", "ala", "albero"}, {"elmo", "erba", "elefante"}, {"isola", "imbuto", "iglu"},
    {"oca", "orso", "occhiali"}, {"uva", "uovo", "uccello"}};

const QString kLetters = QStringLiteral("AEIOU");

class Child {
public:
    Child(unsigned seed, double progress) : rng_(seed), progress_(progress) {}
    void setProgress(double p) { progress_ = p; }
    int draw(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    // The vowel 0..4 the child picks when `asked` is asked with letters of `style`.
    int choose(int asked, int style)
    {
        const double mixUp = 0.45 * (1 - progress_) + 0.05; // E and I: less over the weeks
        if ((asked == 1 || asked == 2) && chance(mixUp))
            return 3 - asked;
        if (asked == 3 && style >= 3 && chance(0.25))
            return 0; // cursive O read as A
        if (chance(0.06))
            return (asked + 1 + draw(4)) % 5;
        return asked;
    }

private:
    std::mt19937 rng_;
    double progress_;
};

// One turn: wrong answers until the right one. The answers written.
int turn(ResultsWriter &w, Child &child, qint64 &at, int number)
{
    const WindowKind &k = kWindows[child.draw(int(std::size(kWindows)))];
    AnswerRecord a;
    a.window = QString::fromLatin1(k.name);
    a.turn = number;
    a.askedAs = k.asked;
    a.chosenAs = k.chosen;
    const int asked = child.draw(5);
    a.asked = kLetters.at(asked);
    const int style = 1 + child.draw(4);
    a.askedStyle = k.asked == Shown::Letter ? (k.chosen == Shown::Letter ? (style % 4) + 1 : style) : 0;
    a.chosenStyle = k.chosen == Shown::Letter ? style : 0;
    if (k.asked == Shown::Word)
        a.word = QString::fromLatin1(kWords[asked][child.draw(3)]);
    int written = 0;
    qint64 since = 0;
    for (int tries = 0; tries < 4; ++tries) {
        const int chosen = tries == 3 ? asked : child.choose(asked, qMax(a.askedStyle, a.chosenStyle));
        since += 1500 + child.draw(4000);
        a.atMs = at + since;
        a.chosen = kLetters.at(chosen);
        a.right = chosen == asked;
        a.answerMs = since;
        w.record(a);
        ++written;
        if (a.right)
            break;
    }
    at += since + 1000 + child.draw(3000);
    return written;
}

} // namespace

int writeMonthOfAnswers(ResultsWriter &writer, const MonthPlan &plan)
{
    int schoolDays = 0;
    for (int d = 0; d < plan.days; ++d)
        schoolDays += plan.lastDay.addDays(d - plan.days + 1).dayOfWeek() <= 5;
    const int perDay = qMax(1, plan.answers / qMax(1, schoolDays));
    Child child(plan.seed, 0);
    int written = 0;
    for (int d = 0; d < plan.days; ++d) {
        const QDate day = plan.lastDay.addDays(d - plan.days + 1);
        if (day.dayOfWeek() > 5)
            continue;
        child.setProgress(plan.days > 1 ? double(d) / (plan.days - 1) : 1);
        const int sessions = perDay > 150 ? 2 : 1;
        for (int s = 0; s < sessions; ++s) {
            qint64 at = QDateTime(day, QTime(9 + 4 * s, 30)).toMSecsSinceEpoch() + child.draw(1800) * 1000;
            writer.sessionStarted(at);
            int today = 0;
            for (int n = 1; today < perDay / sessions; ++n)
                today += turn(writer, child, at, n);
            writer.sessionEnded(at);
            written += today;
            if (d % 5 == 0)
                writer.sync(); // keeps what waits in memory small
        }
    }
    writer.sync();
    return written;
}

} // namespace zampli
