// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/ListeningRules.h"

#include "rules/Random.h"

namespace zampli {

namespace {
constexpr double kSecondsPerDay = 86400.0;
}

int drawVowelExcept(Random &random, int last)
{
    int vowel = 0;
    do {
        vowel = random.drawNumber(kVowelCount);
    } while (vowel == last);
    return vowel;
}

bool VoiceWait::over(double now) const
{
    double elapsed = now - started_;
    if (elapsed < 0)
        elapsed += kSecondsPerDay;
    return elapsed > kSeconds;
}

} // namespace zampli
