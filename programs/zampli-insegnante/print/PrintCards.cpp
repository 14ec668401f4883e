// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/PrintCards.h"

#include "catalog/Vowels.h"
#include "core/WordListDocument.h"
#include "core/WriteReason.h"
#include "media/FileNames.h"
#include "media/MediaPaths.h"
#include "safefile/WholeFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace zampli::teacher {

namespace {

// The child's two hands: the letters of her windows and of the cards are the same.
const QString kPrintedFamily = QStringLiteral("Andika");
const QString kCursiveFamily = QStringLiteral("Ecolier_court");

// One corner's mark, pointing away from the card along both edges.
CutMark markAt(QPointF corner, double dx, double dy, double offset, double length)
{
    return {QLineF(corner.x() + dx * offset, corner.y(), corner.x() + dx * (offset + length), corner.y()),
            QLineF(corner.x(), corner.y() + dy * offset, corner.x(), corner.y() + dy * (offset + length))};
}

QColor vowelColour(int vowel)
{
    return vowel >= 1 && vowel <= kVowelCount ? QColor::fromRgb(vowelArgb(vowel)) : QColor(Qt::lightGray);
}

// The vowel a word begins with, accents aside ("àncora" begins with A).
int initialVowel(const QString &word)
{
    const QString bare = word.normalized(QString::NormalizationForm_D);
    return bare.isEmpty() ? 0 : vowelNumber(bare.left(1).toUpper());
}

// The ink of the tallest letters a word in capitals or in small letters
// may have: every word of a kind is written at one size, whatever its
// letters. Cursive loops reach far: its box is the taller one.
const QString kCapitalsReach = QStringLiteral("ÀJQ");
const QString kSmallReach = QStringLiteral("lp");

// Written as large as fits in `box`, placed by its ink: the cursive font's
// line is twice its letters' height, so its own metrics would shrink them.
void drawWord(QPainter &p, const QRectF &box, const QString &family, const QString &text, const QString &reach)
{
    QFont font(family);
    font.setPixelSize(1000);
    const QFontMetricsF reference(font);
    const QRectF tallest = reference.tightBoundingRect(reach);
    const double wide = reference.horizontalAdvance(text);
    if (tallest.isEmpty() || wide <= 0)
        return;
    const double scale = std::min(box.width() * 0.95 / wide, box.height() / tallest.height());
    font.setPixelSize(std::max(1, int(1000 * scale)));
    p.setFont(font);
    p.drawText(QPointF(box.center().x() - wide * scale / 2, box.center().y() - tallest.center().y() * scale), text);
}

// A picture kept in its proportions, centred in `box`; an empty frame without one.
void drawPicture(QPainter &p, const QRectF &box, const QImage &picture)
{
    if (picture.isNull()) {
        p.setPen(QPen(Qt::gray, std::max(1.0, box.width() / 150)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
        return;
    }
    QSizeF size = picture.size();
    size.scale(box.size(), Qt::KeepAspectRatio);
    const QRectF target(box.center() - QPointF(size.width() / 2, size.height() / 2), size);
    p.drawImage(target, picture);
}

void paintCard(QPainter &p, const QRectF &card, const Card &c)
{
    // A band, not a full ground: light on ink, and the picture stays as drawn.
    const double band = card.width() * 0.04;
    p.fillRect(card, vowelColour(c.vowel));
    const QRectF inside = card.adjusted(band, band, -band, -band);
    p.fillRect(inside, Qt::white);
    const double pad = inside.width() * 0.05;
    const QRectF area = inside.adjusted(pad, pad, -pad, -pad);
    const double h = area.height();
    drawPicture(p, QRectF(area.left(), area.top(), area.width(), h * 0.54), c.picture);
    p.setPen(Qt::black);
    drawWord(p, QRectF(area.left(), area.top() + h * 0.57, area.width(), h * 0.14), kPrintedFamily,
             c.word.toUpper(), kCapitalsReach);
    drawWord(p, QRectF(area.left(), area.top() + h * 0.72, area.width(), h * 0.28), kCursiveFamily,
             c.word.toLower(), kSmallReach);
}

void paintMarks(QPainter &p, const CardPlace &place)
{
    p.setPen(QPen(Qt::black, std::max(1.0, place.card.width() / 400)));
    for (const CutMark &m : place.marks) {
        p.drawLine(m.across);
        p.drawLine(m.down);
    }
}

// A letter drawn with the child's fonts when its picture is missing.
void drawLetter(QPainter &p, const QRectF &box, int vowel, int style)
{
    const QString letter = vowelLetter(vowel);
    const bool small = style == 2 || style == 4;
    p.setPen(Qt::black);
    const QString shown = small ? letter.toLower() : letter;
    // Alone in its box, as large as the letter pictures draw it.
    drawWord(p, box.adjusted(box.width() * 0.15, box.height() * 0.1, -box.width() * 0.15, -box.height() * 0.1),
             style <= 2 ? kPrintedFamily : kCursiveFamily, shown, shown);
}

} // namespace

std::array<CardPlace, kCardsPerPage> cardLayout(const QRectF &printable)
{
    // The margin around the grid holds the outer marks; the gap between two
    // cards is two margins, so their marks never meet.
    const double margin = std::min(printable.width(), printable.height()) * 0.03;
    const double gap = 2 * margin;
    const double w = (printable.width() - 2 * margin - (kCardColumns - 1) * gap) / kCardColumns;
    const double h = (printable.height() - 2 * margin - (kCardRows - 1) * gap) / kCardRows;
    const double offset = margin * 0.2, length = margin * 0.6;
    std::array<CardPlace, kCardsPerPage> places;
    for (int i = 0; i < kCardsPerPage; ++i) {
        const QRectF card(printable.left() + margin + (i % kCardColumns) * (w + gap),
                          printable.top() + margin + (i / kCardColumns) * (h + gap), w, h);
        places[std::size_t(i)] = {card,
                                  {markAt(card.topLeft(), -1, -1, offset, length),
                                   markAt(card.topRight(), 1, -1, offset, length),
                                   markAt(card.bottomLeft(), -1, 1, offset, length),
                                   markAt(card.bottomRight(), 1, 1, offset, length)}};
    }
    return places;
}

QList<Card> cardsOf(const QString &folder, const QList<int> &vowels, QStringList *problems)
{
    const MediaPaths paths(folder);
    QList<Card> cards;
    for (int vowel : vowels) {
        const QString list = paths.wordList(vowelLetter(vowel));
        const OpenedWordList opened = openWordList(list);
        if (!opened.readOnly.isEmpty() && problems)
            *problems << QStringLiteral("%1: %2").arg(QFileInfo(list).fileName(), opened.readOnly);
        for (const QString &word : opened.document.words()) {
            const int initial = initialVowel(word);
            const QString file = existingFile(paths.wordPicture(word));
            const QImage picture(file);
            if (picture.isNull() && QFileInfo::exists(file) && problems)
                *problems << QStringLiteral("L'immagine %1 non si legge: la scheda di «%2» avrà una cornice vuota. "
                                            "Cambia l'immagine nella scheda «Parole con %3».")
                                 .arg(QFileInfo(file).fileName(), word, vowelLetter(vowel));
            cards.append({word, initial ? initial : vowel, picture});
        }
    }
    return cards;
}

void paintCardPage(QPainter &p, const QRectF &page, const QList<Card> &cards)
{
    const auto places = cardLayout(page);
    for (int i = 0; i < std::min<int>(kCardsPerPage, int(cards.size())); ++i) {
        paintCard(p, places[std::size_t(i)].card, cards[i]);
        paintMarks(p, places[std::size_t(i)]);
    }
}

void paintVowelSheet(QPainter &p, const QRectF &page, const QString &folder)
{
    const MediaPaths paths(folder);
    const double title = page.height() * 0.06;
    p.setPen(Qt::black);
    drawWord(p, QRectF(page.left(), page.top(), page.width(), title), kPrintedFamily, QStringLiteral("Le vocali"),
             kSmallReach);
    const double w = page.width() / 4, h = (page.height() - title) / kVowelCount;
    for (int vowel = 1; vowel <= kVowelCount; ++vowel) {
        for (int style = 1; style <= 4; ++style) {
            const QRectF cell(page.left() + (style - 1) * w, page.top() + title + (vowel - 1) * h, w, h);
            const QRectF box = cell.adjusted(w * 0.08, h * 0.08, -w * 0.08, -h * 0.08);
            const QImage picture(existingFile(paths.letterPicture(vowelLetter(vowel), style)));
            if (picture.isNull())
                drawLetter(p, box, vowel, style);
            else
                drawPicture(p, box, picture);
        }
    }
}

void paintCards(QPagedPaintDevice &device, const QList<Card> &cards, const QString &folder)
{
    QPainter p(&device);
    const QRectF page(0, 0, device.width(), device.height());
    for (qsizetype first = 0; first < cards.size(); first += kCardsPerPage) {
        paintCardPage(p, page, cards.mid(first, kCardsPerPage));
        device.newPage();
    }
    paintVowelSheet(p, page, folder);
}

QString writeCardsPdf(const QString &path, const QList<Card> &cards, const QString &folder)
{
    // Made in memory and saved whole: a printer's file half written is worse than none.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(8, 8, 8, 8), QPageLayout::Millimeter);
        pdf.setResolution(300);
        pdf.setTitle(QStringLiteral("Schede di ZAMPLI"));
        pdf.setCreator(QStringLiteral("ZAMPLI"));
        paintCards(pdf, cards, folder);
    }
    return chosenWriteReason(path, writeWhole(path, buffer.data()));
}

} // namespace zampli::teacher
