// SPDX-License-Identifier: GPL-3.0-or-later
// A library with one function nobody calls, one reached only from it, one
// only a test calls, one called by the program, one only a benchmark calls,
// a virtual one reached through its class's table and an unused one the kept
// list names: the unused check must name the first three and none of the
// others.
#pragma once

namespace zampli::fixture {

int calledFromMain(int x);
int neverCalled(int x);
int calledOnlyByTheDead(int x);
int calledOnlyByATest(int x);
int calledOnlyByABenchmark(int x);
int keptOnPurpose(int x);

class Shape {
public:
    virtual ~Shape();
    virtual int corners() const;
};
// Called by the program; reaches corners() only through the table.
int cornersOf(const Shape &shape);

} // namespace zampli::fixture
