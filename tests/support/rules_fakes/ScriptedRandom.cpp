// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules_fakes/ScriptedRandom.h"

namespace zampli::test {

void ScriptedRandom::scriptNumbers(int n, std::initializer_list<int> numbers)
{
    // The middle of each number's share of [0, 1).
    for (int k : numbers)
        queue_.push_back((k - 1 + 0.5) / n);
}

double ScriptedRandom::next()
{
    ++draws;
    if (queue_.empty())
        return fallback_.next();
    const double r = queue_.front();
    queue_.pop_front();
    return r;
}

} // namespace zampli::test
