// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace zampli {

// The vowel table: vowel 1 is "A" ... vowel 5 is "U". A vowel's number
// selects its picture, voice, colour and word list everywhere.
inline constexpr int kVowelCount = 5;

// The letter of vowel 1..5; empty for any other number.
QString vowelLetter(int vowel);
// "A" ... "U", in vowel order.
QStringList vowelLetters();
// The same, lower case: the stems of the word lists' files (testi/a.txt).
QStringList vowelListNames();
// The number 1..5 of a vowel letter, 0 for anything else.
int vowelNumber(const QString &letter);

// The colour of each vowel, A..U, as plain RGB: the child's windows tint in
// it and the adult's charts draw in it, from this one table.
struct Rgb {
    int red, green, blue;
};
// Vowel 1..5's colour as 0xAARRGGBB, what QColor::fromRgb takes, so that the
// catalogue needs no Qt Gui; anything else is the navy a window with no vowel shows.
quint32 vowelArgb(int vowel);
inline constexpr std::array<Rgb, kVowelCount> kVowelRgb{{
    {255, 0, 0},     // A red
    {255, 255, 0},   // E yellow
    {0, 0, 255},     // I blue
    {255, 192, 192}, // O pink
    {0, 192, 0},     // U green
}};

} // namespace zampli
