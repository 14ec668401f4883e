// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Random.h"

#include <deque>
#include <initializer_list>

namespace zampli::test {

// Hands out the values a test scripts, then falls back to a fixed sequence.
class ScriptedRandom final : public Random {
public:
    void script(std::initializer_list<double> values) { queue_.insert(queue_.end(), values); }
    // Values that make drawNumber(n) yield each of `numbers` in turn.
    void scriptNumbers(int n, std::initializer_list<int> numbers);
    double next() override;
    void seedFromClock() override { ++seeds; }
    int seeds = 0;
    int draws = 0;

private:
    std::deque<double> queue_;
    SystemRandom fallback_{12345};
};

} // namespace zampli::test
