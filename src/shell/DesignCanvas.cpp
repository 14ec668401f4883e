#include "shell/DesignCanvas.h"

#include <QMouseEvent>

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
    : QWidget(parent), design_(designTwips)
{
    setAutoFillBackground(true);
}

void DesignCanvas::place(QWidget *w, const QRect &twips, std::optional<DesignFont> font,
                         std::optional<Art> pointer)
{
    placements_.push_back({w, twips, font, pointer});
    layOut(placements_.back());
}

void DesignCanvas::setPointer(std::optional<Art> pointer)
{
    pointer_ = pointer;
    if (pointer_)
        setCursor(Artwork::cursor(*pointer_, pointerPixels()));
    else
        unsetCursor();
}

void DesignCanvas::setBackground(const QColor &colour)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour);
    setPalette(pal);
}

QColor DesignCanvas::background() const
{
    return palette().color(QPalette::Window);
}

int DesignCanvas::pointerPixels() const
{
    // Never smaller than the design's own 32 pixels: a child must see it.
    return qMax(32, fit_.map(kPointerTwips));
}

void DesignCanvas::layOut(const Placement &p) const
{
    if (!p.widget)
        return;
    p.widget->setGeometry(fit_.map(p.twips));
    if (p.font)
        p.widget->setFont(designFont(p.font->bold, fit_.fontPixels(p.font->points)));
    if (p.pointer)
        p.widget->setCursor(Artwork::cursor(*p.pointer, pointerPixels()));
}

void DesignCanvas::resizeEvent(QResizeEvent *)
{
    fit_ = fitDesign(design_, size());
    for (const Placement &p : placements_)
        layOut(p);
    if (pointer_)
        setCursor(Artwork::cursor(*pointer_, pointerPixels()));
}

void DesignCanvas::mousePressEvent(QMouseEvent *e)
{
    click_.press(e);
}

void DesignCanvas::mouseReleaseEvent(QMouseEvent *e)
{
    if (click_.release(e, rect()))
        emit clicked();
}

} // namespace zampli
