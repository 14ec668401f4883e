// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

namespace zampli {

// What the adult's program asks about the class as a whole, through a
// reader's open file: who plays now, how each child does per vowel, and what
// each should practise next. Reads only.
class ClassReader {
public:
    explicit ClassReader(ResultsReader &file) : file_(file) {}

    // The child the adult said is playing now; id 0 when nobody.
    ChildEntry nowPlaying();
    // Every child by name, then the sessions of nobody named when they hold answers.
    QList<ChildOverview> classOverview(const ResultsFilter &f = {});
    // The same children, each with what she should practise next.
    QList<PractiseNext> practiseNext(const ResultsFilter &f = {});

private:
    ResultsReader &file_;
};

} // namespace zampli
