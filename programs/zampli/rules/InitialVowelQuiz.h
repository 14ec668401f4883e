// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Answer.h"
#include "rules/Places.h"

#include <QStringList>
#include <array>

namespace zampli {

class Random;

// The INIZIA PER question: a vowel drawn among those whose list has a word,
// then a word of its list; the right tile is the vowel's.
class InitialVowelQuiz {
public:
    void setWords(int vowel, const QStringList &words) { words_[std::size_t(vowel)] = words; }
    const QStringList &words(int vowel) const { return words_[std::size_t(vowel)]; }
    bool anyWord() const;

    // Only when anyWord(): a vowel whose list gave no word is drawn again,
    // so the others keep equal chances.
    void draw(Random &random);
    Answer answer(int tile);

    int vowel() const { return vowel_; } // 1..5, the right answer
    const QString &word() const { return word_; }
    bool answered() const { return answered_; }

private:
    std::array<QStringList, kVowelCount + 1> words_; // slots 1..5
    int vowel_ = 0;
    QString word_;
    bool answered_ = false;
};

} // namespace zampli
