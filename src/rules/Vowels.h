// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>

namespace zampli {

// The vowel table: vowel 1 is "A" ... vowel 5 is "U". A vowel's number
// selects its picture, voice, colour and word list everywhere.
inline constexpr int kVowelCount = 5;

// The letter of vowel 1..5; empty for any other number.
QString vowelLetter(int vowel);
// The number 1..5 of a vowel letter, 0 for anything else.
int vowelNumber(const QString &letter);

// The colour of each vowel, A..U, as plain RGB: the child's windows tint in
// it and the adult's charts draw in it, from this one table.
struct Rgb {
    int red, green, blue;
};
inline constexpr std::array<Rgb, kVowelCount> kVowelRgb{{
    {255, 0, 0},     // A red
    {255, 255, 0},   // E yellow
    {0, 0, 255},     // I blue
    {255, 192, 192}, // O pink
    {0, 192, 0},     // U green
}};

// The tag of a place no vowel has taken yet.
inline const QString kVuota = QStringLiteral("vuota");

// The five places of a window that shows all five vowels at once: the letter
// each place shows, or kVuota.
using Places = std::array<QString, kVowelCount>;

// What place 0..4 shows; empty for a place that does not exist.
inline QString letterAt(const Places &places, int place)
{
    return place >= 0 && place < kVowelCount ? places[std::size_t(place)] : QString();
}

} // namespace zampli
