// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QSet>
#include <QWidget>
#include <functional>

namespace zampli {

// Ends the program once no window is left that a person can reach: shown,
// and not destroyed from outside. Another program may destroy a window on
// the X server (xdotool windowclose, a session manager): the toolkit keeps
// thinking it shown, and the process would stay on with nothing on screen,
// while a second start only tries to bring it forward.
class ReachableWindows final : public QObject, public QAbstractNativeEventFilter {
public:
    // noneLeft runs from the event loop, once.
    explicit ReachableWindows(std::function<void()> noneLeft);
    ~ReachableWindows() override;

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void checkSoon();
    bool anyReachable() const;

    std::function<void()> noneLeft_;
    QSet<WId> destroyed_;
    bool shownOnce_ = false;
    bool checking_ = false;
    bool ended_ = false;
};

} // namespace zampli
