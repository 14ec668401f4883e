// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QPixmap>

#include <functional>

class QObject;

namespace zampli {

// The windows' own pictures, drawn as SVG and compiled into the program.
enum class Art {
    CursorArrow,  // large white arrow: pictures to click or drag, the title window
    NextArrow,    // blue arrow: next buttons and their pointer
    FigureCard,   // robed figure holding a card: listen-again buttons
    SpeakerNotes, // loudspeaker with notes: pictures that speak when clicked
    Icon,         // the window icon
    Smile,        // yellow smiling face: a right answer
    Sad,          // yellow sad face: a wrong answer
    Aeroplane,    // small aeroplane: the picture carried in a drag
};

namespace Artwork {
// The picture rendered at `size` pixels, transparent around it.
QPixmap pixmap(Art art, const QSize &size);
// The picture as a mouse pointer of `sizePixels` square, hot spot scaled with it.
QCursor cursor(Art art, int sizePixels);
QIcon windowIcon();

// Pointers of pictures wait, in the plain arrow, from holdPointers() until
// releasePointers(): drawing the first one loads the SVG plugin, which the
// first window does not wait for. Each waiting `then` runs at the release
// unless its `context` is gone by then.
void holdPointers();
bool pointersHeld();
void whenPointersReleased(QObject *context, std::function<void()> then);
void releasePointers();
} // namespace Artwork

} // namespace zampli
