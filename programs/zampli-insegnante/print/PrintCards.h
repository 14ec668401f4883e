// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>

#include <array>

class QPagedPaintDevice;
class QPainter;
class QWidget;

namespace zampli::teacher {

// A corner's cut mark: two short strokes that carry the card's edges out
// into the gap, so the scissors find the corner after the band is printed.
struct CutMark {
    QLineF across;
    QLineF down;
};

struct CardPlace {
    QRectF card;
    std::array<CutMark, 4> marks; // top left, top right, bottom left, bottom right
};

inline constexpr int kCardColumns = 2;
inline constexpr int kCardRows = 3;
inline constexpr int kCardsPerPage = kCardColumns * kCardRows;

// The six cards of a page in `printable` (any unit): two columns, three
// rows, a gap between them wide enough for the marks.
std::array<CardPlace, kCardsPerPage> cardLayout(const QRectF &printable);

// What one card shows: the word, its vowel 1..5 (the band's colour), its
// picture (null when it has none).
struct Card {
    QString word;
    int vowel = 0;
    QImage picture;
};

// The cards of the chosen vowels' lists in a program folder, list by list.
// `problems` receives one Italian line per list that could not be read.
QList<Card> cardsOf(const QString &folder, const QList<int> &vowels, QStringList *problems);

// One page of up to six cards, in `page` (the painter's units).
void paintCardPage(QPainter &p, const QRectF &page, const QList<Card> &cards);
// The last sheet: the five vowels in the four styles, from the folder's
// letter pictures, else drawn with the child's fonts.
void paintVowelSheet(QPainter &p, const QRectF &page, const QString &folder);

// Every page, then the vowels' sheet, on a PDF file or a printer.
void paintCards(QPagedPaintDevice &device, const QList<Card> &cards, const QString &folder);

// Writes the cards as an A4 PDF at 300 dpi, whole or not at all. Empty on
// success, else what went wrong and what to do, in Italian.
QString writeCardsPdf(const QString &path, const QList<Card> &cards, const QString &folder);

// «Stampa le schede…»: the teacher ticks the lists, then saves a PDF or prints.
void showPrintCards(QWidget *parent, const QString &folder);

} // namespace zampli::teacher
