// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A child let loose on the windows: what it can click now, and the steps it
// takes, drawn from a generator the test seeds.

#include "fakes/Fakes.h"
#include "exercises/listening/FivePictureListening.h"
#include "exercises/listening/SinglePictureListening.h"

#include <QtTest>
#include <QtWidgets>
#include <random>

namespace zampli::test {

// The controls of `window` a child could click now: on screen, enabled, not
// covered. Pieces are left out: pressing one starts a drag, a step of its own.
inline QList<QWidget *> clickable(QWidget *window)
{
    QList<QWidget *> out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const bool control = w->inherits("zampli::PictureBox") || w->inherits("QAbstractButton") ||
                             w->inherits("zampli::Tile") || w->inherits("zampli::ClickLabel");
        if (!control || w->objectName().isEmpty() || w->objectName().startsWith("qt_") ||
            w->inherits("zampli::DragPiece") || !w->isVisible() || !w->isEnabled())
            continue;
        if (QWidget *under = window->childAt(w->mapTo(window, w->rect().center())); under == w || w->isAncestorOf(under))
            out << w;
    }
    return out;
}

template <class T> T &pick(std::mt19937 &g, const QList<T> &from)
{
    return const_cast<T &>(from.at(std::uniform_int_distribution<qsizetype>(0, from.size() - 1)(g)));
}

// Seconds pass and the listening windows' Timer1 ticks.
inline void tick(Harness &h, Form *form, double seconds)
{
    h.clock.advance(seconds);
    if (auto *one = dynamic_cast<SinglePictureListening *>(form))
        one->Timer1_Timer();
    else if (auto *five = dynamic_cast<FivePictureListening *>(form))
        five->Timer1_Timer();
}

} // namespace zampli::test
