// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Controls.h"

#include "media/PictureLoader.h"

#include <QPainter>
#include <QResizeEvent>
#include <cmath>

namespace zampli {

Tile::Tile(QWidget *parent) : Clickable(parent)
{
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
}

void Tile::setColour(const QColor &colour)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour);
    // A disabled tile keeps its colour: it is locked, not greyed out.
    pal.setColor(QPalette::Disabled, QPalette::Window, colour);
    setPalette(pal);
}

PictureBox::PictureBox(QWidget *parent) : Clickable(parent) {}

PictureBox::~PictureBox()
{
    letGo();
    if (loaderAlive_)
        loader_->sizeLeft(size()); // gone with its window
}

void PictureBox::letGo() const
{
    if (loaderAlive_ && !image_.isNull())
        loader_->forgetUnshownSoon();
}

void PictureBox::display(std::optional<QImage> image, const QString &placeholderText)
{
    letGo();
    image_ = image ? std::move(*image) : QImage();
    scaled_ = QImage();
    placeholder_ = image_.isNull() ? placeholderText : QString();
    // An empty box is see-through, as an empty picture box is; a full one
    // paints every pixel, so nothing behind it needs repainting.
    setAttribute(Qt::WA_OpaquePaintEvent, !image_.isNull() || !placeholder_.isEmpty());
    update();
}

void PictureBox::setPicture(std::optional<QImage> image, const QString &placeholderText)
{
    file_.reset();
    display(std::move(image), placeholderText);
}

void PictureBox::load(const PictureLoader &loader, const PictureFile &file)
{
    loader_ = &loader;
    loaderAlive_ = loader.lifetime();
    file_ = file;
    display(loader.load(file.path, size()), file.placeholder);
}

void PictureBox::copyPicture(const PictureBox &from)
{
    if (from.file_ && from.loaderAlive_)
        load(*from.loader_, *from.file_); // decoded anew at this box's size
    else if (from.image_.isNull())
        setPicture(std::nullopt, from.placeholder_);
    else
        setPicture(from.image_, QString());
}

void PictureBox::clear()
{
    setPicture(std::nullopt, QString());
}

void PictureBox::resizeEvent(QResizeEvent *e)
{
    if (loaderAlive_ && e->oldSize().isValid())
        loader_->sizeLeft(e->oldSize());
    if (file_ && loaderAlive_ && !image_.isNull() && image_.size() != size())
        display(loader_->load(file_->path, size()), file_->placeholder);
}

void PictureBox::setSingleBorder(bool on)
{
    border_ = on;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!image_.isNull()) {
        // The box paints opaquely: what a see-through picture leaves bare
        // would otherwise still show the picture shown before it.
        if (image_.hasAlphaChannel())
            p.fillRect(rect(), Qt::white);
        if (image_.size() == size()) {
            p.drawImage(0, 0, image_);
        } else {
            if (scaled_.size() != size())
                scaled_ = image_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            p.drawImage(0, 0, scaled_);
        }
    } else if (!placeholder_.isEmpty()) {
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
    if (border_) {
        // The outermost pixels, as four fills: a stroked rectangle costs the
        // painter a hundred times more.
        const int w = width(), h = height();
        for (const QRect &edge : {QRect(0, 0, w, 1), QRect(0, h - 1, w, 1), QRect(0, 0, 1, h), QRect(w - 1, 0, 1, h)})
            p.fillRect(edge, Qt::black);
    }
}

OutlineFrame::OutlineFrame(QColor colour, int designWidth, QWidget *parent)
    : QWidget(parent), colour_(colour), designWidth_(designWidth), lineWidth_(designWidth)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void OutlineFrame::setLineWidth(int pixels)
{
    lineWidth_ = qMax(1, pixels);
    update();
}

// Black or white, whichever stands further from `ground` in luminance: the
// two give the same contrast at a relative luminance of 0.18.
static QColor contrastingEdge(const QColor &ground)
{
    const auto linear = [](qreal c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const qreal luminance =
        0.2126 * linear(ground.redF()) + 0.7152 * linear(ground.greenF()) + 0.0722 * linear(ground.blueF());
    return luminance > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
}

void OutlineFrame::setGround(const QColor &ground)
{
    const QColor edge = contrastingEdge(ground);
    if (edge == edge_)
        return;
    edge_ = edge;
    update();
}

void OutlineFrame::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // A fifth of the line on each side, at least a pixel: 1, 3, 1 at the
    // design's 5. A line too thin for three parts stays all red.
    const int edge = lineWidth_ >= 3 ? qMax(1, lineWidth_ / 5) : 0;
    const auto ring = [this](int out, int in) {
        QRegion r(rect().adjusted(out, out, -out, -out));
        return r - QRegion(rect().adjusted(in, in, -in, -in));
    };
    p.setClipRegion(ring(0, lineWidth_));
    p.fillRect(rect(), edge_);
    p.setClipRegion(ring(edge, lineWidth_ - edge));
    p.fillRect(rect(), colour_);
}

} // namespace zampli
