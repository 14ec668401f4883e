// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace mediagen {

// Draws a word's picture from an SVG file: what the drawing paints (its empty
// border left out) fills the picture less a margin, centred on white, drawn
// at the picture's own size so that it stays sharp.
class VectorArt {
public:
    // Twice the size the windows' largest boxes asked of the old pictures, so
    // a whiteboard's full-screen window shrinks them rather than enlarging.
    static constexpr QSize pictureSize{800, 720};

    // A null image, with the reason in *error, if the file is no drawing.
    static QImage render(const QString &svgPath, QString *error);
};

} // namespace mediagen
