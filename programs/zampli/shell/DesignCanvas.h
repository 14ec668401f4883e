// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/Artwork.h"
#include "shell/ControlArray.h"
#include "shell/Controls.h"
#include "shell/Twips.h"

#include <QPointer>
#include <QWidget>
#include <optional>
#include <span>
#include <vector>

namespace zampli {

struct DesignFont {
    qreal points = 0;
    bool bold = false;
};

// The mouse pointer over a control: the one of what it sits on (the default),
// the system's normal arrow, or one of the windows' own pictures.
class Pointer {
public:
    enum class Kind { Inherited, Normal, Picture };

    constexpr Pointer() = default;
    constexpr Pointer(Art art) : kind_(Kind::Picture), art_(art) {} // NOLINT: a picture is a pointer
    static constexpr Pointer normal() { return Pointer(Kind::Normal); }

    constexpr Kind kind() const { return kind_; }
    constexpr Art art() const { return art_; }

private:
    constexpr explicit Pointer(Kind kind) : kind_(kind) {}
    Kind kind_ = Kind::Inherited;
    Art art_ = Art::CursorArrow;
};

// Where and how a control sits in the design.
struct Placement {
    QRect twips;                     // relative to `in` when it sits in another control
    std::optional<DesignFont> font;
    Pointer pointer;
    QWidget *in = nullptr;           // a placed control this one is part of, or its group
};

// A window's client area as designed: controls placed at twips positions,
// laid out again at every resize so the whole design, fonts and pointers
// included, grows and shrinks with the window and keeps its proportions.
class DesignCanvas : public Clickable<QWidget> {
    Q_OBJECT
public:
    DesignCanvas(QSize designTwips, QWidget *parent);

    // Puts `w` where `p` says. A control placed in another is part of it: a
    // click on it is a click on its container, and it is disabled with it.
    void place(QWidget *w, const Placement &p);
    // A group of controls that come and go together (see ControlGroup).
    ControlGroup *addGroup(const QString &objectName);
    // Moves a placed control to new twips (relative to its container, if any).
    void setTwips(QWidget *w, const QRect &twips);
    // The twips of a placed control, as placed; an empty rectangle if not placed.
    QRect twips(const QWidget *w) const;

    void setPointer(Pointer pointer); // the canvas's own
    void setBackground(const QColor &colour);
    QColor background() const { return background_; }

    QSize designSize() const { return design_; }
    const DesignFit &fit() const { return fit_; }

    // Creates a control of type W with its design name, and places it.
    template <class W, class... Args>
    W *add(const QString &objectName, const Placement &p, Args &&...args)
    {
        auto *w = new W(std::forward<Args>(args)..., p.in ? p.in : this);
        w->setObjectName(objectName);
        place(w, p);
        return w;
    }

    // A control array: element k is named "<name>_<k>" and placed at `each[k]`.
    template <class W>
    ControlArray<W> *addArray(const QString &name, std::span<const Placement> each)
    {
        auto *array = new ControlArray<W>(this);
        array->setObjectName(name);
        for (std::size_t k = 0; k < each.size(); ++k)
            array->append(add<W>(QStringLiteral("%1_%2").arg(name).arg(k), each[k]));
        return array;
    }

signals:
    void clicked();

protected:
    void emitClicked() override { emit clicked(); }
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    struct Placed {
        QPointer<QWidget> widget;
        Placement placement;
    };
    Placed *find(const QWidget *w);
    const Placed *find(const QWidget *w) const;
    QRect absoluteTwips(const Placed &p) const;
    void layOut(const Placed &p) const;
    void fitGroup(ControlGroup *group) const;
    void applyPointer(QWidget *w, Pointer pointer) const;
    void applyPointers() const;
    int pointerPixels() const;

    QSize design_;
    DesignFit fit_;
    std::vector<Placed> placed_;
    std::vector<QPointer<ControlGroup>> groups_;
    std::vector<QPointer<OutlineFrame>> frames_;
    Pointer pointer_;
    mutable bool waitingForPointers_ = false;
    QColor background_;
};

// The font of a design, Arial, or a font with the same metrics where Arial is absent.
QFont designFont(bool bold, int pixelSize);

} // namespace zampli
