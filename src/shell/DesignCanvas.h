#pragma once

#include "media/Artwork.h"
#include "shell/Controls.h"
#include "shell/Twips.h"

#include <QPointer>
#include <QWidget>
#include <optional>
#include <vector>

namespace zampli {

struct DesignFont {
    qreal points = 0;
    bool bold = false;
};

// A window's client area as designed: controls placed at twips positions,
// laid out again at every resize so the whole design, fonts and pointers
// included, grows and shrinks with the window and keeps its proportions.
class DesignCanvas : public QWidget {
    Q_OBJECT
public:
    DesignCanvas(QSize designTwips, QWidget *parent);

    // Puts `w` (a child of this canvas) at `twips`, with an optional font and pointer.
    void place(QWidget *w, const QRect &twips, std::optional<DesignFont> font = {},
               std::optional<Art> pointer = {});
    void setPointer(std::optional<Art> pointer); // the canvas's own pointer
    void setBackground(const QColor &colour);
    QColor background() const;

    QSize designSize() const { return design_; }
    const DesignFit &fit() const { return fit_; }

    // Creates a child control of type W with its design name, and places it.
    template <class W, class... Args>
    W *add(const QString &objectName, const QRect &twips, std::optional<DesignFont> font = {},
           std::optional<Art> pointer = {}, Args &&...args)
    {
        auto *w = new W(std::forward<Args>(args)..., this);
        w->setObjectName(objectName);
        place(w, twips, font, pointer);
        return w;
    }

signals:
    void clicked();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    struct Placement {
        QPointer<QWidget> widget;
        QRect twips;
        std::optional<DesignFont> font;
        std::optional<Art> pointer;
    };
    void layOut(const Placement &p) const;
    int pointerPixels() const;

    QSize design_;
    DesignFit fit_;
    std::vector<Placement> placements_;
    std::optional<Art> pointer_;
    ClickTracker click_;
};

// The font of a design, Arial, or a font with the same metrics where Arial is absent.
QFont designFont(bool bold, int pixelSize);

} // namespace zampli
