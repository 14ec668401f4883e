// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/InitialVowelQuiz.h"

#include "rules/Random.h"

#include <algorithm>

namespace zampli {

bool InitialVowelQuiz::anyWord() const
{
    return std::any_of(words_.begin() + 1, words_.end(), [](const QStringList &l) { return !l.isEmpty(); });
}

void InitialVowelQuiz::draw(Random &random)
{
    do {
        vowel_ = random.drawNumber(kVowelCount);
    } while (words_[vowel_].isEmpty());
    const QStringList &list = words_[vowel_];
    word_ = list[random.drawNumber(int(list.size())) - 1];
    answered_ = false;
}

Answer InitialVowelQuiz::answer(int tile)
{
    return judgeOnce(answered_, tile >= 0 && tile < kVowelCount, tile + 1 == vowel_);
}

} // namespace zampli
