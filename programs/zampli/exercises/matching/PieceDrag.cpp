// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercises/matching/PieceDrag.h"

#include "media/Artwork.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QPainter>

namespace zampli {

namespace {
constexpr int kDragIconPixels = 32;
}

QMimeData *PieceMime::make(const QString &origin, int piece)
{
    auto *data = new QMimeData;
    data->setData(kFormat, (origin + QLatin1Char('#') + QString::number(piece)).toUtf8());
    return data;
}

int PieceMime::read(const QMimeData *data, const QString &origin)
{
    if (!data || !data->hasFormat(kFormat) || origin.isEmpty())
        return -1;
    const QString text = QString::fromUtf8(data->data(kFormat));
    const qsizetype mark = text.lastIndexOf(QLatin1Char('#'));
    if (mark < 0 || text.left(mark) != origin)
        return -1;
    bool ok = false;
    const int piece = text.mid(mark + 1).toInt(&ok);
    return ok && piece >= 0 ? piece : -1;
}

QString PieceMime::originOf(const QWidget *canvas)
{
    // The process tells runs of the program apart, the canvas the loads of the window.
    return QStringLiteral("%1/%2").arg(QCoreApplication::applicationPid()).arg(quintptr(canvas), 0, 16);
}

DragPiece::DragPiece(QWidget *parent) : PictureBox(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void DragPiece::setLifted(bool on)
{
    lifted_ = on;
    update();
}

void DragPiece::keyClicked()
{
    if (!isEmpty())
        emit lifted();
}

void DragPiece::paintEvent(QPaintEvent *e)
{
    PictureBox::paintEvent(e);
    if (!lifted_)
        return;
    // The drag's own picture, as the mouse shows it under the pointer.
    const int side = qMin(width(), height()) / 2;
    QPainter p(this);
    p.drawPixmap(QRect(width() - side, 0, side, side), Artwork::pixmap(Art::Aeroplane, QSize(side, side)));
}

void DragPiece::setDragData(const QString &origin, int index)
{
    origin_ = origin;
    index_ = index;
}

void DragPiece::mousePressEvent(QMouseEvent *e)
{
    e->accept();
    if (e->button() != Qt::LeftButton || isEmpty())
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(dragData());
    drag->setPixmap(Artwork::pixmap(Art::Aeroplane, QSize(kDragIconPixels, kDragIconPixels)));
    drag->setHotSpot(QPoint(kDragIconPixels / 2, kDragIconPixels / 2));
    drag->exec(Qt::MoveAction);
}

DropBox::DropBox(QWidget *parent) : PictureBox(parent)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::TabFocus);
}

void DropBox::drop(int piece)
{
    if (piece >= 0 && takes && takes(piece))
        emit dropped(piece);
}

int DropBox::acceptable(QDropEvent *e) const
{
    const int piece = PieceMime::read(e->mimeData(), origin_);
    return piece >= 0 && takes && takes(piece) ? piece : -1;
}

void DropBox::dragEnterEvent(QDragEnterEvent *e)
{
    dragMoveEvent(e);
}

void DropBox::dragMoveEvent(QDragMoveEvent *e)
{
    if (acceptable(e) < 0) {
        e->ignore();
        return;
    }
    e->setDropAction(Qt::MoveAction);
    e->accept();
}

void DropBox::dropEvent(QDropEvent *e)
{
    const int piece = acceptable(e);
    if (piece < 0) {
        e->ignore();
        return;
    }
    e->setDropAction(Qt::MoveAction);
    e->accept();
    emit dropped(piece);
}

} // namespace zampli
