// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/DesignCanvas.h"
#include "state/FormId.h"

#include <QRect>
#include <array>

namespace zampli {

// Where a recognition window puts its controls: the five picture boxes, the
// two buttons, and the pointer over the pictures.
struct RecognitionLayout {
    std::array<QPoint, 5> boxes; // top-left corners of Image1(0) .. Image1(4)
    QRect command1;
    QRect command2;
    Pointer picturePointer;
};

inline constexpr QSize kRecognitionClient{9360, 7200};
inline constexpr QSize kRecognitionBox{2415, 2175};

// Three boxes across the top, two below at the sides, the buttons between them.
inline constexpr RecognitionLayout kWideLayout{
    {QPoint(360, 480), QPoint(3000, 480), QPoint(5760, 480), QPoint(360, 3600), QPoint(5760, 3600)},
    QRect(3360, 3120, 1815, 1575),
    QRect(3240, 4920, 1935, 975),
    Art::CursorArrow,
};

// The same, drawn closer together, with the system's pointer over the pictures.
inline constexpr RecognitionLayout kCloseLayout{
    {QPoint(360, 480), QPoint(2880, 480), QPoint(5400, 480), QPoint(360, 3600), QPoint(5400, 3600)},
    QRect(3240, 3000, 1695, 1575),
    QRect(3120, 4800, 1935, 975),
    Pointer::normal(),
};

// What sets the recognition windows apart beyond their frame row (which
// already says faces or letters, and whether a right answer tints).
struct RecognitionVariant {
    FormId id;
    int inPlay; // boxes 0 .. inPlay-1 are shown, spoken and clickable
    const RecognitionLayout &layout;
};

inline constexpr RecognitionVariant kRecognitionVariants[] = {
    {FormId::Posizioni3, 3, kWideLayout},
    {FormId::Zampli3, 3, kWideLayout},
    {FormId::Posizioni4, 5, kCloseLayout},
    {FormId::Zampli4, 5, kWideLayout},
};

const RecognitionVariant &recognitionVariant(FormId id);

} // namespace zampli
