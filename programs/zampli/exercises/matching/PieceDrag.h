// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/Controls.h"

#include <QMimeData>
#include <functional>

namespace zampli {

// What a piece carries while it is dragged: a format no other program uses,
// naming the window it left (this run of the program, that window) and its
// index. Anything else dropped on a box is refused.
namespace PieceMime {
inline const QString kFormat = QStringLiteral("application/x-zampli-piece");
QMimeData *make(const QString &origin, int piece);
// The piece index, or -1 when the data is not a piece of `origin`.
int read(const QMimeData *data, const QString &origin);
// The origin of the pieces of the window whose client area is `canvas`.
QString originOf(const QWidget *canvas);
} // namespace PieceMime

// A piece: a press with the left button (or a finger, through the mouse
// events made from the touch) starts its drag at once, with the aeroplane as
// the picture under the pointer. The piece itself stays where it is.
// From the keyboard, Space lifts it (`lifted`); a lifted piece shows the
// aeroplane over its picture until it is dropped or put back.
class DragPiece : public PictureBox {
    Q_OBJECT
public:
    explicit DragPiece(QWidget *parent = nullptr);
    void setDragData(const QString &origin, int index);
    // The data its drag carries; the caller owns it.
    QMimeData *dragData() const { return PieceMime::make(origin_, index_); }
    bool isEmpty() const { return picture().isNull() && !showsPlaceholder(); }
    void setLifted(bool on);

signals:
    void lifted();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void keyClicked() override;
    void paintEvent(QPaintEvent *e) override;

private:
    QString origin_;
    int index_ = -1;
    bool lifted_ = false;
};

// A box that takes pieces of its own window: a drop of anything else, or of a
// piece `takes` refuses, is not accepted and reaches no handler.
// From the keyboard, Space on a box says `chosen`; the window then drops
// the lifted piece with drop(), through the same check.
class DropBox : public PictureBox {
    Q_OBJECT
public:
    explicit DropBox(QWidget *parent = nullptr);
    void setOrigin(const QString &origin) { origin_ = origin; }
    std::function<bool(int piece)> takes;
    // A piece of this window put on the box from the keyboard.
    void drop(int piece);

signals:
    void dropped(int piece);
    void chosen();

protected:
    void keyClicked() override { emit chosen(); }
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    int acceptable(QDropEvent *e) const;
    QString origin_;
};

} // namespace zampli
