// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

namespace mediagen {

// Draws a word's picture from a colour emoji: the glyph is painted by Qt
// (which renders the colour bitmaps), cropped to what it drew and centred
// on white.
class EmojiArt {
public:
    static constexpr QSize pictureSize{400, 360};

    EmojiArt();

    // Empty error() means the emoji font is there.
    const QString &error() const { return error_; }
    // Whether the font has a glyph of its own for every code point.
    bool covers(const QString &emoji) const;
    QImage render(const QString &emoji) const;

private:
    QFont font_;
    QString error_;
};

} // namespace mediagen
