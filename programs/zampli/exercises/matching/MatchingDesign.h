// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRect>
#include <array>

namespace zampli {

// The brown every matching window opens on, until a right answer tints it.
inline const QColor kMatchingBrown(128, 64, 0);

// The five columns a row of vowels stands in, as both clicking windows draw
// them: a box's twips in column 0..4 with its top at `top`.
inline constexpr std::array<int, 5> kColumnLefts{120, 1920, 3720, 5520, 7320};
inline QRect columnBox(std::size_t column, int top)
{
    return QRect(kColumnLefts.at(column), top, 1695, 1575);
}

// The two styles a character-matching item pairs: the one shown alone (the
// model, or the fixed references) and the one of the five to match it with.
struct StylePair {
    qint16 model;
    qint16 row;
};

// One entry per style item of the eight-item Opzioni menu, in item order.
// Activation goes back to the first.
inline constexpr std::array<StylePair, 8> kStylePairs{{
    {2, 1}, {1, 2}, {4, 3}, {3, 4}, {1, 3}, {3, 1}, {2, 4}, {4, 2},
}};

inline constexpr StylePair stylePair(int item)
{
    return item >= 0 && item < int(kStylePairs.size()) ? kStylePairs[std::size_t(item)] : kStylePairs[0];
}

} // namespace zampli
