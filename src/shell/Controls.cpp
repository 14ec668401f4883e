#include "shell/Controls.h"

#include <QMouseEvent>
#include <QPainter>

namespace zampli {

namespace {
// A click is a press and a release of the left button on the same control.
bool isLeft(const QMouseEvent *e) { return e->button() == Qt::LeftButton; }
} // namespace

void ClickLabel::mousePressEvent(QMouseEvent *e)
{
    pressed_ = isLeft(e);
    QLabel::mousePressEvent(e);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    const bool click = pressed_ && isLeft(e) && rect().contains(e->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(e);
    if (click)
        emit clicked();
}

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {}

void PictureBox::setPicture(std::optional<QImage> image, const QString &placeholderText)
{
    image_ = image ? std::move(*image) : QImage();
    placeholder_ = image_.isNull() ? placeholderText : QString();
    // An empty box is see-through, as an empty picture box is; a full one
    // paints every pixel, so nothing behind it needs repainting.
    setAttribute(Qt::WA_OpaquePaintEvent, !image_.isNull() || !placeholder_.isEmpty());
    update();
}

void PictureBox::clear()
{
    setPicture(std::nullopt, QString());
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!image_.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), image_);
        return;
    }
    if (placeholder_.isEmpty())
        return;
    p.fillRect(rect(), QColor(250, 248, 235));
    p.setPen(QPen(QColor(150, 150, 150), 2, Qt::DashLine));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
    QFont f = font();
    f.setBold(true);
    const int chars = qMax<qsizetype>(1, placeholder_.size());
    f.setPixelSize(qMax(8, qMin(height() * 2 / 3, width() * 3 / 2 / int(chars))));
    p.setFont(f);
    p.setPen(QColor(60, 60, 60));
    p.drawText(rect(), Qt::AlignCenter, placeholder_);
}

void PictureBox::mousePressEvent(QMouseEvent *e)
{
    pressed_ = isLeft(e);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *e)
{
    const bool click = pressed_ && isLeft(e) && rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
}

PictureButton::PictureButton(Art art, QWidget *parent) : QPushButton(parent), art_(art)
{
    setFocusPolicy(Qt::TabFocus);
}

void PictureButton::resizeEvent(QResizeEvent *e)
{
    QPushButton::resizeEvent(e);
    const int side = qMax(1, qMin(width(), height()) * 3 / 4);
    setIcon(QIcon(Artwork::pixmap(art_, QSize(side, side))));
    setIconSize(QSize(side, side));
}

} // namespace zampli
