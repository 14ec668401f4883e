// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fixture.h"

namespace zampli::fixture {

// Not inlined, so each stays a function of its own whatever the optimiser does.
[[gnu::noinline]] int calledFromMain(int x)
{
    return x * 3 + 1;
}

[[gnu::noinline]] int calledOnlyByTheDead(int x)
{
    return x * 5 + 2;
}

[[gnu::noinline]] int neverCalled(int x)
{
    return calledOnlyByTheDead(x) * 7;
}

[[gnu::noinline]] int calledOnlyByATest(int x)
{
    return x * 11 + 3;
}

[[gnu::noinline]] int calledOnlyByABenchmark(int x)
{
    return x * 13 + 4;
}

[[gnu::noinline]] int keptOnPurpose(int x)
{
    return x - 1;
}

Shape::~Shape() = default;

int Shape::corners() const
{
    return 4;
}

int cornersOf(const Shape &shape)
{
    return shape.corners();
}

} // namespace zampli::fixture
