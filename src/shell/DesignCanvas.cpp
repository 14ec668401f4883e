#include "shell/DesignCanvas.h"

#include <QPaintEvent>
#include <QPainter>

namespace zampli {

namespace {
constexpr int kPointerTwips = 32 * kTwipsPerPixel; // pointers are drawn 32 pixels square
}

QFont designFont(bool bold, int pixelSize)
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("Arial"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont f(QStringLiteral("Arial"));
    f.setBold(bold);
    f.setPixelSize(pixelSize);
    return f;
}

DesignCanvas::DesignCanvas(QSize designTwips, QWidget *parent)
    : Clickable(parent), design_(designTwips), background_(palette().color(QPalette::Window))
{
    // The canvas paints all of itself, its ground first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DesignCanvas::place(QWidget *w, const Placement &p)
{
    if (p.in) {
        // Part of its container: the container takes the clicks.
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        if (w->parentWidget() != p.in)
            w->setParent(p.in);
    }
    placed_.push_back({w, p});
    layOut(placed_.back());
}

void DesignCanvas::setTwips(QWidget *w, const QRect &twips)
{
    Placed *p = find(w);
    if (!p)
        return;
    p->placement.twips = twips;
    layOut(*p);
    // Whatever sits inside it follows.
    for (const Placed &inner : placed_)
        if (inner.placement.in == w)
            layOut(inner);
}

QRect DesignCanvas::twips(const QWidget *w) const
{
    const Placed *p = find(w);
    return p ? p->placement.twips : QRect();
}

DesignCanvas::Placed *DesignCanvas::find(const QWidget *w)
{
    for (Placed &p : placed_)
        if (p.widget == w)
            return &p;
    return nullptr;
}

const DesignCanvas::Placed *DesignCanvas::find(const QWidget *w) const
{
    return const_cast<DesignCanvas *>(this)->find(w);
}

void DesignCanvas::setPointer(Pointer pointer)
{
    pointer_ = pointer;
    applyPointer(this, pointer_);
}

void DesignCanvas::setBackground(const QColor &colour)
{
    // Painted, not set in the palette: a new palette would reach every
    // control on the canvas, and the style would draw each button anew into
    // its cache under a new name at every change of colour.
    if (colour == background_)
        return;
    background_ = colour;
    // Only the ground changes: controls that paint every pixel of their own
    // need no repaint, nor a copy to the screen.
    QRegion ground(rect());
    for (const QObject *child : children()) {
        const auto *w = qobject_cast<const QWidget *>(child);
        if (w && w->isVisible() && w->testAttribute(Qt::WA_OpaquePaintEvent))
            ground -= w->geometry();
    }
    update(ground);
}

void DesignCanvas::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    for (const QRect &r : e->region())
        p.fillRect(r, background_);
}

int DesignCanvas::pointerPixels() const
{
    // Never smaller than the design's own 32 pixels: a child must see it.
    return qMax(32, fit_.map(kPointerTwips));
}

void DesignCanvas::applyPointer(QWidget *w, Pointer pointer) const
{
    switch (pointer.kind()) {
    case Pointer::Kind::Inherited: w->unsetCursor(); break;
    case Pointer::Kind::Normal: w->setCursor(Qt::ArrowCursor); break;
    case Pointer::Kind::Picture: w->setCursor(Artwork::cursor(pointer.art(), pointerPixels())); break;
    }
}

QRect DesignCanvas::absoluteTwips(const Placed &p) const
{
    const Placed *container = p.placement.in ? find(p.placement.in) : nullptr;
    if (!container)
        return p.placement.twips;
    return p.placement.twips.translated(absoluteTwips(*container).topLeft());
}

void DesignCanvas::layOut(const Placed &p) const
{
    QWidget *w = p.widget;
    if (!w)
        return;
    // Map the absolute edges, so a nested control lands on the same pixels
    // as it would on the canvas itself.
    QRect pixels = fit_.map(absoluteTwips(p));
    if (const Placed *container = p.placement.in ? find(p.placement.in) : nullptr)
        pixels.translate(-fit_.map(absoluteTwips(*container)).topLeft());
    if (auto *frame = qobject_cast<OutlineFrame *>(w)) {
        const int line = qMax(1, fit_.map(frame->designWidth() * kTwipsPerPixel));
        frame->setLineWidth(line);
        pixels.adjust(-line, -line, line, line);
    }
    w->setGeometry(pixels);
    if (p.placement.font)
        w->setFont(designFont(p.placement.font->bold, fit_.fontPixels(p.placement.font->points)));
    applyPointer(w, p.placement.pointer);
}

void DesignCanvas::resizeEvent(QResizeEvent *)
{
    fit_ = fitDesign(design_, size());
    for (const Placed &p : placed_)
        layOut(p);
    applyPointer(this, pointer_);
}

} // namespace zampli
