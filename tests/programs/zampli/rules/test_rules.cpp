// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of a turn, without a window: the shuffle, the draws, the series,
// the INIZIA PER question, the counters and the report.
#include "rules/Counter16.h"
#include "rules/InitialVowelQuiz.h"
#include "rules/Shuffle.h"
#include "rules/MatchingRules.h"
#include "rules/RecognitionTurn.h"
#include "rules/Report.h"
#include "rules_fakes/ScriptedRandom.h"

#include <QtTest>
#include <map>

using namespace zampli;
using zampli::test::ScriptedRandom;

namespace {
QStringList listOf(const Places &p)
{
    return QStringList(p.begin(), p.end());
}
} // namespace

class RulesTest : public QObject {
    Q_OBJECT
private slots:
    void shuffleRedrawsTakenPlacesUntilAFreeOne()
    {
        ScriptedRandom random;
        // A at 2; E: 2 taken, then 0; I: 2, 0 taken, then 4; O at 1; U: 4, 0, 1 taken, then 3.
        random.scriptNumbers(5, {3, 3, 1, 3, 1, 5, 2, 5, 1, 2, 4});
        const Shuffle s = shufflePlaces(random);
        QCOMPARE(listOf(s.places), QStringList({"E", "O", "A", "U", "I"}));
        QCOMPARE(s.lastDrawn, 3);
        QCOMPARE(random.draws, 11);
        QCOMPARE(placeOf(s.places, "U"), 3);
        QCOMPARE(placeOf(s.places, "vuota"), -1);
    }

    void shuffleIsFairOverManyRuns()
    {
        SystemRandom random(2024);
        std::map<std::pair<QString, int>, int> seen;
        constexpr int kRuns = 50000;
        for (int run = 0; run < kRuns; ++run) {
            const Places p = shufflePlaces(random).places;
            for (int k = 0; k < 5; ++k)
                ++seen[{p[k], k}];
        }
        QCOMPARE(seen.size(), size_t(25)); // every vowel in every place, nothing else
        for (const auto &[key, count] : seen)
            QVERIFY2(qAbs(count - kRuns / 5) < 400,
                     qPrintable(QString("%1 at %2: %3").arg(key.first).arg(key.second).arg(count)));
    }

    // Only the places in play are answered, the right one locks the turn,
    // and the next turn never speaks the vowel of the turn before.
    void recognitionJudgesThenNeverSpeaksTheSameVowel()
    {
        ScriptedRandom random;
        RecognitionTurn turn(3);
        random.scriptNumbers(5, {1, 2, 3, 4, 5}); // places A E I O U
        turn.shuffle(random);
        random.scriptNumbers(3, {2});
        turn.drawSpoken(random);
        QCOMPARE(turn.spoken(), QStringLiteral("E"));
        QCOMPARE(turn.answer(0), Answer::Wrong);
        QCOMPARE(turn.answer(3), Answer::Ignored); // O is not in play
        QCOMPARE(turn.answered(), false);
        QCOMPARE(turn.answer(1), Answer::Right);
        QCOMPARE(turn.answer(1), Answer::Ignored);
        QCOMPARE(turn.answer(0), Answer::Ignored);
        random.scriptNumbers(3, {2, 2, 3}); // E twice more: drawn again until I
        turn.drawSpoken(random);
        QCOMPARE(turn.spoken(), QStringLiteral("I"));
        QCOMPARE(turn.spokenPlace(), 2);
    }

    void clickSeriesAsksAToUThenEnds()
    {
        ScriptedRandom random;
        ClickSeries series;
        random.scriptNumbers(5, {5, 4, 3, 2, 1}); // row U O I E A
        series.start(random);
        QCOMPARE(listOf(series.row()), QStringList({"U", "O", "I", "E", "A"}));
        QStringList asked;
        for (int place : {4, 3, 2, 1, 0}) {
            asked << series.model();
            QCOMPARE(series.answer(place == 0 ? 1 : 0), Answer::Wrong); // a wrong box does not move on
            QCOMPARE(series.answer(place), Answer::Right);
            // The pair on show locks every box until the next step.
            QVERIFY(series.pairShown());
            QCOMPARE(series.answer(place == 0 ? 1 : 0), Answer::Ignored);
            series.goOn();
            QVERIFY(!series.pairShown());
        }
        QCOMPARE(asked, QStringList({"A", "E", "I", "O", "U"}));
        QCOMPARE(series.done(), 5);
        QVERIFY(series.over());
        QCOMPARE(series.answer(0), Answer::Ignored);
    }

    // A series ends on a new choice of styles; dealt anew after a pair was
    // shown (an activation, a style), it is open at once.
    void clickSeriesEndedAndStartedAnewIsOpen()
    {
        ScriptedRandom random;
        ClickSeries series;
        series.start(random);
        QVERIFY(!series.over());
        series.end();
        QVERIFY(series.over());
        QCOMPARE(series.answer(0), Answer::Ignored);
        random.scriptNumbers(5, {1, 2, 3, 4, 5}); // row A E I O U
        series.start(random);
        QCOMPARE(series.answer(0), Answer::Right);
        series.end();
        random.scriptNumbers(5, {5, 4, 3, 2, 1}); // row U O I E A
        series.start(random);
        QVERIFY(!series.pairShown());
        QCOMPARE(series.model(), QStringLiteral("A"));
        QCOMPARE(series.answer(4), Answer::Right);
    }

    void dragSeriesJudgesByIndexAndEndsAfterFive()
    {
        ScriptedRandom random;
        DragSeries series;
        series.deal(random);
        QCOMPARE(series.drop(0, 3), Answer::Wrong);
        QCOMPARE(series.drop(1, 1), Answer::Right);
        QCOMPARE(series.drop(1, 1), Answer::Ignored); // a matched piece is gone
        for (int k : {0, 2, 3})
            QCOMPARE(series.drop(k, k), Answer::Right);
        QCOMPARE(series.over(), false);
        QCOMPARE(series.drop(4, 4), Answer::Right);
        QCOMPARE(series.done(), 5);
        QCOMPARE(series.over(), true);
    }

    // Only vowels with words are drawn; the right tile is the word's list.
    void quizDrawsOnlyVowelsWithWordsAndJudgesByTheList()
    {
        ScriptedRandom random;
        InitialVowelQuiz quiz;
        QVERIFY(!quiz.anyWord());
        quiz.setWords(3, {"isola", "insalata", "imbuto"});
        QVERIFY(quiz.anyWord());
        random.scriptNumbers(5, {1, 5, 3});
        random.scriptNumbers(3, {2});
        quiz.draw(random);
        QCOMPARE(quiz.vowel(), 3);
        QCOMPARE(quiz.word(), QStringLiteral("insalata"));
        QCOMPARE(random.draws, 4);
        QCOMPARE(quiz.answer(0), Answer::Wrong);
        QCOMPARE(quiz.answer(2), Answer::Right);
        QCOMPARE(quiz.answer(2), Answer::Ignored);
        quiz.draw(random);
        QCOMPARE(quiz.answered(), false);
    }

    void reportSaysBothCountersWithTheirSignPlace()
    {
        QCOMPARE(exerciseReport(CounterVariant::A, 7, 3), QStringLiteral("Sono stati eseguiti  7 esercizi."));
        QCOMPARE(exerciseReport(CounterVariant::B, 12, 0),
                 QStringLiteral("Sono stati eseguiti  12 esercizi esatti e  0 esercizi errati. "));
        QCOMPARE(numberText(-7), QStringLiteral("-7"));
        QCOMPARE(numberText(32767), QStringLiteral(" 32767"));
    }

    void countersStopAt32767()
    {
        Counter16 c(32766);
        ++c;
        ++c;
        QCOMPARE(c.value(), 32767);
        c += 40000;
        QCOMPARE(c.value(), 32767);
        c = -40000;
        QCOMPARE(c.value(), -32768);
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "test_rules.moc"
