// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The design's colours, written out here apart from the program, and a
// window's ground as the X server shows it.

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QWidget>

#include <functional>

namespace zampli::test {

inline const QMap<QString, QColor> kVowelGround{
    {"A", QColor(255, 0, 0)},     // red
    {"E", QColor(255, 255, 0)},   // yellow
    {"I", QColor(0, 0, 255)},     // blue
    {"O", QColor(255, 192, 192)}, // light pink
    {"U", QColor(0, 192, 0)},     // green
};
// By the vowel's number, 1 to 5.
inline QColor vowelGround(int vowel) { return kVowelGround.value(QString("AEIOU").mid(vowel - 1, 1)); }

inline const QColor kLoadedBrown(128, 64, 0);   // recognition and matching windows when loaded
inline const QColor kNextTurnBrown(128, 64, 64); // recognition after the next button
inline const QColor kWrongBlack(0, 0, 0);
inline const QColor kLightOrange(255, 192, 128); // five-picture listening while choosing

// What the X server holds for `w`'s rectangle: what the child sees, not a
// fresh paint of the widget. Only meaningful on xcb. Paints already asked
// for go out first, so a change the program made shows, or never will.
inline QImage onScreen(const QWidget *w)
{
    QCoreApplication::processEvents();
    const QWidget *top = w->window();
    const QPoint at = w->mapTo(top, QPoint());
    return top->screen()->grabWindow(top->winId(), at.x(), at.y(), w->width(), w->height()).toImage();
}

// The ground of `client`, read at its four corners, where no control lies,
// through `pixelAt`; invalid when a control covers a corner or the corners
// disagree (part of the ground not painted anew).
inline QColor groundAtCorners(const QWidget *client, const std::function<QColor(QPoint)> &pixelAt)
{
    const QRect r = client->rect().adjusted(3, 3, -3, -3);
    QColor seen;
    for (const QPoint p : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
        const QColor here = pixelAt(p);
        if (client->childAt(p) || (seen.isValid() && here != seen))
            return {};
        seen = here;
    }
    return seen;
}

// The window's ground on screen.
inline QColor groundOnScreen(const QWidget *window)
{
    const auto *client = window->findChild<const QWidget *>(QStringLiteral("client"));
    if (!client)
        return {};
    const QImage shot = onScreen(client);
    return groundAtCorners(client, [&](QPoint p) { return shot.pixelColor(p); });
}

// The window's ground as it paints itself: where there is no screen to read
// (the offscreen platform), what it would put there. Only the corners are
// painted: a whole window a turn would slow the long tests tenfold.
inline QColor groundPainted(const QWidget *window)
{
    auto *client = window->findChild<QWidget *>(QStringLiteral("client"));
    if (!client)
        return {};
    return groundAtCorners(client, [&](QPoint p) { return client->grab(QRect(p, QSize(1, 1))).toImage().pixelColor(0, 0); });
}

} // namespace zampli::test
