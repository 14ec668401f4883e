// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QSize>
#include <QString>

namespace mediagen {

// Draws letters in one typeface, black on white, each centred on the shape
// actually drawn (the font's own box would cut the top off cursive
// capitals). The letters given together share one scale, chosen so that the
// largest of them fills the picture.
class LetterArt {
public:
    // Large enough to be decoded, never enlarged, in the largest box of a
    // 3840x2160 full screen (1,675 x 1,606 pixels, measured).
    static constexpr QSize pictureSize{2000, 1900};
    // Strokes and margins are given in pixels of a picture this wide, so
    // the letters keep their weight at any picture size.
    static constexpr int unitWidth = 400;
    // Outlines are made at this pixel size, then scaled.
    static constexpr int referenceSize = 2000;

    // `stroke` thickens every line by that many pixels of unitWidth, so
    // thin typefaces are easy for a child to see (the margin leaves room). `replacements`
    // hold outlines (at the reference size, baseline at y = 0) drawn instead
    // of the typeface's own glyph.
    LetterArt(const QFont &font, const QString &letters, qreal stroke,
              QHash<QChar, QPainterPath> replacements = {});

    QImage render(QChar letter) const;

    // The typeface at the reference size; *error is set when it is missing.
    static QFont referenceFont(const QString &family, bool bold, QString *error);

private:
    QPainterPath outline(QChar letter) const;
    qreal fitScale(const QString &letters) const;

    QFont font_;
    qreal stroke_;
    QHash<QChar, QPainterPath> replacements_;
    qreal scale_ = 1.0;
};

// School cursive capitals drawn here because the typeface's own ones mislead
// an Italian child: its A, its right leg closed in a loop, reads as "Ab"; its
// I, hooked to the left at the foot, as a J; its O, with a tail at the foot,
// as a Q; its U, curling back into a bowl, as "Ub".
QPainterPath cursiveCapitalA(const QFont &cursive);
QPainterPath cursiveCapitalI(const QFont &cursive);
QPainterPath cursiveCapitalO(const QFont &cursive);
QPainterPath cursiveCapitalU(const QFont &cursive);

// A cursive small vowel as Italian first-grade books write it, begun with
// a stroke up from the baseline on its left, drawn whole with one round pen
// as heavy as the typeface's own stem: the typeface's small letters are made
// of straight pieces that show at a whiteboard's size, and cut their stems
// flat at the top.
QPainterPath cursiveSmallWithEntry(const QFont &cursive, QChar letter);

} // namespace mediagen
