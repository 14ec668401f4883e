// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ReachableWindows.h"

#include <QApplication>
#include <QTimer>
#include <xcb/xcb.h>

namespace zampli {

ReachableWindows::ReachableWindows(std::function<void()> noneLeft) : noneLeft_(std::move(noneLeft))
{
    qApp->installNativeEventFilter(this);
    qApp->installEventFilter(this);
}

ReachableWindows::~ReachableWindows()
{
    qApp->removeNativeEventFilter(this);
}

bool ReachableWindows::nativeEventFilter(const QByteArray &type, void *message, qintptr *)
{
    if (type != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) == XCB_DESTROY_NOTIFY) {
        const auto *gone = static_cast<const xcb_destroy_notify_event_t *>(message);
        // The toolkit destroys its own windows as well; only a shown one counts.
        for (const QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->internalWinId() == WId(gone->window)) {
                destroyed_.insert(WId(gone->window));
                checkSoon();
            }
    }
    return false;
}

bool ReachableWindows::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType() || !static_cast<QWidget *>(watched)->isWindow())
        return false;
    // Windows are made and hidden before the first is shown: nothing is lost then.
    shownOnce_ |= event->type() == QEvent::Show;
    if (event->type() == QEvent::Hide && shownOnce_)
        checkSoon();
    return false;
}

// After the event at hand: a window that closes as it opens another hides first.
void ReachableWindows::checkSoon()
{
    if (checking_ || ended_)
        return;
    checking_ = true;
    QTimer::singleShot(0, this, [this] {
        checking_ = false;
        if (!anyReachable()) {
            ended_ = true;
            noneLeft_();
        }
    });
}

bool ReachableWindows::anyReachable() const
{
    for (const QWidget *w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        if (w->isVisible() && type != Qt::ToolTip && type != Qt::Popup && !destroyed_.contains(w->internalWinId()))
            return true;
    }
    return false;
}

} // namespace zampli
