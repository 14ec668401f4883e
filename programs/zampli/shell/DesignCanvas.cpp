// SPDX-License-Identifier: GPL-3.0-or-later
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

ControlGroup *DesignCanvas::addGroup(const QString &objectName)
{
    auto *group = new ControlGroup(this);
    group->setObjectName(objectName);
    groups_.push_back(group);
    fitGroup(group);
    return group;
}

void DesignCanvas::place(QWidget *w, const Placement &p)
{
    if (auto *group = qobject_cast<ControlGroup *>(p.in)) {
        // It lies on the canvas's origin: the control's twips need no change.
        w->setParent(group);
        placed_.push_back({w, p});
        layOut(placed_.back());
        fitGroup(group);
        return;
    }
    if (auto *frame = qobject_cast<OutlineFrame *>(w)) {
        frame->setGround(background_);
        frames_.emplace_back(frame); // told of every new ground, without a search at each turn
    }
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
    if (auto *group = qobject_cast<ControlGroup *>(w->parentWidget()))
        fitGroup(group);
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
    for (OutlineFrame *frame : frames_)
        if (frame)
            frame->setGround(colour);
    // Only the ground changes: controls that paint every pixel of their own
    // need no repaint, nor a copy to the screen.
    QRegion ground(rect());
    for (const QWidget *w : findChildren<const QWidget *>())
        if (w->isVisible() && w->testAttribute(Qt::WA_OpaquePaintEvent))
            ground -= QRect(w->mapTo(this, QPoint()), w->size());
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
    case Pointer::Kind::Picture:
        if (Artwork::pointersHeld()) {
            w->setCursor(Qt::ArrowCursor);
            if (!waitingForPointers_) {
                waitingForPointers_ = true;
                Artwork::whenPointersReleased(const_cast<DesignCanvas *>(this), [this] {
                    waitingForPointers_ = false;
                    applyPointers();
                });
            }
            break;
        }
        w->setCursor(Artwork::cursor(pointer.art(), pointerPixels()));
        break;
    }
}

void DesignCanvas::applyPointers() const
{
    for (const Placed &p : placed_)
        if (p.widget)
            applyPointer(p.widget, p.placement.pointer);
    applyPointer(const_cast<DesignCanvas *>(this), pointer_);
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
    for (ControlGroup *group : groups_)
        fitGroup(group);
    applyPointer(this, pointer_);
}

void DesignCanvas::fitGroup(ControlGroup *group) const
{
    if (!group)
        return;
    group->setGeometry(rect());
    // Clicks between its controls reach what lies beneath.
    QRegion covered;
    for (const QWidget *w : group->findChildren<const QWidget *>(Qt::FindDirectChildrenOnly))
        covered += w->geometry();
    group->setMask(covered.isEmpty() ? QRegion(0, 0, 1, 1) : covered);
}

} // namespace zampli
