// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/KeyboardFocus.h"

#include "shell/DesignCanvas.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <utility>

namespace zampli {

namespace {
// Eight design pixels, scaled with the window: a child at the back of the
// classroom sees it. Never thinner than six screen pixels, three a band.
constexpr int kFrameTwips = 8 * kTwipsPerPixel;
constexpr int kLeastFramePixels = 6;

bool isArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}
} // namespace

FocusFrame::FocusFrame(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("focusFrame"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
}

void FocusFrame::setLineWidth(int pixels)
{
    lineWidth_ = pixels;
    update();
}

void FocusFrame::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int outer = lineWidth_ / 2;
    const auto ring = [&](int from, int width, const QColor &colour) {
        const QRect r = rect().adjusted(from, from, -from, -from);
        QRegion band(r);
        band -= QRegion(r.adjusted(width, width, -width, -width));
        p.setClipRegion(band);
        p.fillRect(r, colour);
    };
    ring(0, outer, Qt::white);
    ring(outer, lineWidth_ - outer, Qt::black);
}

QList<QWidget *> readingOrder(QList<QWidget *> controls, const QWidget &area)
{
    const auto place = [&](const QWidget *w) { return QRect(w->mapTo(&area, QPoint()), w->size()); };
    std::stable_sort(controls.begin(), controls.end(),
                     [&](QWidget *a, QWidget *b) { return place(a).top() < place(b).top(); });
    QList<QWidget *> out;
    for (qsizetype start = 0; start < controls.size();) {
        const int middle = place(controls[start]).center().y();
        qsizetype end = start + 1;
        while (end < controls.size() && place(controls[end]).top() < middle)
            ++end;
        QList<QWidget *> line = controls.mid(start, end - start);
        std::stable_sort(line.begin(), line.end(),
                         [&](QWidget *a, QWidget *b) { return place(a).left() < place(b).left(); });
        out += line;
        start = end;
    }
    return out;
}

qsizetype besideInGrid(const QList<QRect> &places, const QRect &from, int arrowKey)
{
    const bool vertical = arrowKey == Qt::Key_Up || arrowKey == Qt::Key_Down;
    const bool forward = arrowKey == Qt::Key_Down || arrowKey == Qt::Key_Right;
    // Distance along the arrow (how far that way) and across it (how far out of line).
    const auto along = [&](const QRect &r) {
        const int d = vertical ? r.center().y() - from.center().y() : r.center().x() - from.center().x();
        return forward ? d : -d;
    };
    const auto across = [&](const QRect &r) {
        return vertical ? qAbs(r.center().x() - from.center().x()) : qAbs(r.center().y() - from.center().y());
    };
    const auto sameColumn = [&](const QRect &r) { return r.left() <= from.right() && from.left() <= r.right(); };
    qsizetype best = -1;
    for (qsizetype i = 0; i < places.size(); ++i) {
        const QRect &r = places[i];
        // Up and down keep to the column; left and right leave it, so that
        // the end of a row never goes on to a control standing below it.
        if (along(r) <= 0 || vertical != sameColumn(r))
            continue;
        // Left and right: the nearest column first, then the most level in it.
        const auto key = [&](const QRect &q) {
            return vertical ? std::pair(along(q), across(q)) : std::pair(along(q) / qMax(1, from.width()), across(q));
        };
        if (best < 0 || key(r) < key(places[best]))
            best = i;
    }
    return best;
}

KeyboardFocus::KeyboardFocus(QWidget &window, DesignCanvas &canvas, KeyOrder order, bool &keyboardInUse)
    : QObject(&window), window_(window), canvas_(canvas), order_(order), keyboardInUse_(keyboardInUse)
{
    if (order_ != KeyOrder::None)
        frame_ = new FocusFrame(&canvas_);
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { focusChanged(now); });
}

KeyboardFocus::~KeyboardFocus()
{
    qApp->removeEventFilter(this);
}

bool KeyboardFocus::inCanvas(const QObject *o) const
{
    const auto *w = qobject_cast<const QWidget *>(o);
    return w && w != frame_ && canvas_.isAncestorOf(w);
}

bool KeyboardFocus::ours(const QObject *o) const
{
    return o == &window_ || o == &canvas_ || inCanvas(o);
}

bool KeyboardFocus::reachable(const QWidget *w) const
{
    return inCanvas(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&window_) && w->isEnabled();
}

QList<QWidget *> KeyboardFocus::controls() const
{
    QList<QWidget *> out;
    for (QWidget *w : canvas_.findChildren<QWidget *>())
        if (reachable(w))
            out << w;
    return out;
}

QWidget *KeyboardFocus::firstControl() const
{
    if (order_ == KeyOrder::Reading) {
        const QList<QWidget *> all = readingOrder(controls(), canvas_);
        return all.isEmpty() ? nullptr : all.first();
    }
    for (QWidget *w = canvas_.nextInFocusChain(); w != &canvas_; w = w->nextInFocusChain())
        if (reachable(w))
            return w;
    return nullptr;
}

bool KeyboardFocus::moveInReadingOrder(bool next)
{
    QWidget *now = QApplication::focusWidget();
    QList<QWidget *> all = controls();
    // The control losing the focus keeps its place in the order while it goes.
    const bool leaving = inCanvas(now) && !all.contains(now);
    if (leaving)
        all << now;
    all = readingOrder(all, canvas_);
    if (all.isEmpty() || (leaving && all.size() == 1))
        return false;
    qsizetype i = all.indexOf(now);
    if (i < 0)
        i = next ? all.size() - 1 : 0;
    do
        i = (i + (next ? 1 : all.size() - 1)) % all.size();
    while (leaving && all[i] == now);
    all[i]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool KeyboardFocus::moveInGrid(int arrowKey)
{
    QWidget *now = QApplication::focusWidget();
    const QList<QWidget *> all = controls();
    const auto place = [&](const QWidget *w) { return QRect(w->mapTo(&canvas_, QPoint()), w->size()); };
    if (!all.contains(now))
        return false;
    QList<QRect> places;
    for (const QWidget *w : all)
        places << place(w);
    const qsizetype i = besideInGrid(places, place(now), arrowKey);
    if (i < 0)
        return false;
    all[i]->setFocus(Qt::OtherFocusReason);
    return true;
}

bool KeyboardFocus::eventFilter(QObject *watched, QEvent *e)
{
    switch (e->type()) {
    case QEvent::KeyPress:
        return ours(watched) && keyPress(static_cast<QKeyEvent *>(e));
    case QEvent::WindowActivate:
        // A window opened from the keyboard starts at its first control.
        if (watched == &window_ && !std::exchange(activated_, true) && order_ == KeyOrder::Reading)
            if (QWidget *first = firstControl())
                first->setFocus(Qt::OtherFocusReason);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
        if (ours(watched) && keyboardInUse_) {
            keyboardInUse_ = false;
            placeFrame();
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (frame_ && watched == target_)
            placeFrame();
        break;
    default: break;
    }
    return false;
}

bool KeyboardFocus::keyPress(QKeyEvent *e)
{
    const int key = e->key();
    const bool moves = key == Qt::Key_Tab || key == Qt::Key_Backtab || isArrow(key);
    if ((!moves && !isPressKey(e)) || (e->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    const bool wasInUse = keyboardInUse_;
    keyboardInUse_ = true;
    if (order_ == KeyOrder::None)
        return false; // the window itself takes the key
    if (!wasInUse || !reachable(QApplication::focusWidget())) {
        // Only shows where the focus is; the next key acts.
        QWidget *now = QApplication::focusWidget();
        if (!reachable(now) && (now = firstControl()))
            now->setFocus(Qt::TabFocusReason);
        focusChanged(now);
        e->accept();
        return true;
    }
    if (isArrow(key)) {
        moveInGrid(key); // at the grid's edge the focus stays
        e->accept();
        return true;
    }
    return false; // Tab goes round through the window, a press key to the control
}

void KeyboardFocus::focusChanged(QWidget *now)
{
    if (!frame_)
        return;
    target_ = inCanvas(now) ? now : nullptr;
    placeFrame();
}

void KeyboardFocus::placeFrame()
{
    // A window that is one big control (the title) has no frame to place.
    if (!frame_)
        return;
    const bool show = keyboardInUse_ && target_ && reachable(target_) && target_->isVisible();
    if (!show) {
        frame_->hide();
        return;
    }
    frame_->setLineWidth(qMax(kLeastFramePixels, canvas_.fit().map(kFrameTwips)));
    // Outside the control, so that the ring never hides its picture; where
    // the control meets the window's edge, the ring comes inside it there.
    const int line = frame_->lineWidth();
    const QRect around = QRect(target_->mapTo(&canvas_, QPoint()), target_->size()).adjusted(-line, -line, line, line);
    frame_->setGeometry(around.intersected(canvas_.rect()));
    frame_->raise();
    frame_->show();
}

} // namespace zampli
