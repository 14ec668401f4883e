// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalog/Exercises.h"
#include "results/ResultsReader.h"
#include "shared/CountText.h"

#include <QColor>
#include <QDate>
#include <QString>

namespace zampli::teacher {

// What the Risultati tab and its page call things: the teacher's words,
// never the program's inner names.

// Letter style 1..4: "stampato maiuscolo" ... "corsivo minuscolo".
QString styleName(int style);
// "Sente la vocale, sceglie la bocca".
QString kindName(const QuestionKind &kind);
// A kind as the lists that choose one keep it; kindOfKey() reads it back.
QString kindKey(const QuestionKind &kind);
std::optional<QuestionKind> kindOfKey(const QString &key);
// Every date the teacher reads: 05/03/2024.
QString dayText(const QDate &day);
QString dayText(qint64 ms);
QString timeText(qint64 ms);
// "CANE: 1 sbagliata su 4", as the list and the page show a missed word.
QString missedText(const MissedWord &w);
// "A", "E" ... for 0..4.
QString vowelText(int vowel);
// The vowel's colour in the child's windows.
QColor vowelColor(int vowel);

} // namespace zampli::teacher
