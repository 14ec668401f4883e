// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

// Right and wrong per vowel asked, summed from the tallies per session that
// the teacher's bars are drawn from.
inline zampli::VowelScores vowelTallies(zampli::ResultsReader &reader, const zampli::ResultsFilter &f = {})
{
    zampli::VowelScores out{};
    for (const zampli::SessionVowel &t : reader.vowelsBySession(f)) {
        out[t.vowel].right += t.right;
        out[t.vowel].wrong += t.wrong;
    }
    return out;
}

// Right and wrong per vowel, A to U: "1/0 2/2 0/1 0/1 0/1".
inline QString scoresText(const zampli::VowelScores &scores)
{
    QStringList out;
    for (const zampli::Score &s : scores)
        out << QStringLiteral("%1/%2").arg(s.right).arg(s.wrong);
    return out.join(QLatin1Char(' '));
}
