// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

enum class CounterVariant {
    A, // counts exercises done
    B, // counts right and wrong answers
};

// A number as text with one leading place for its sign: 7 is " 7", -7 is "-7".
QString numberText(int v);

// The report "Esercizi eseguiti" shows.
QString exerciseReport(CounterVariant variant, int done, int wrong);

} // namespace zampli
