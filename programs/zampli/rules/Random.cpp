// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Random.h"

#include <chrono>

namespace zampli {

int Random::drawPlace(int n)
{
    const int place = static_cast<int>(next() * n);
    // r < 1 keeps the place below n; the guard only protects against a
    // broken generator handing out 1.0.
    return place < n ? place : n - 1;
}

void SystemRandom::seedFromClock()
{
    engine_.seed(static_cast<std::uint64_t>(
        std::chrono::system_clock::now().time_since_epoch().count()));
}

double SystemRandom::next()
{
    // 53 random bits scaled into [0, 1): never reaches 1.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

} // namespace zampli
