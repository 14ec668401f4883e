// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QObject>
#include <memory>

class QSocketNotifier;

namespace zampli {

// One window at a time per program and folder: children double-click
// twice, a teacher clicks her menu entry again. Per display for the child's
// program, where children share one account on several screens (a terminal
// server, a multi-seat classroom machine) and each screen gets its own; on
// any display for a program that changes the folder, where two windows
// would write over each other's work. The first start
// holds a lock and listens; a second start finds the lock, asks the first to
// come to the front and ends. A lock left by a program that crashed names a
// process that no longer runs, and is taken over.
// A plain local socket beside the lock, not Qt Network: linking that library
// and the ones it pulls in would cost the start some 6 ms.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Scope { PerDisplay, AnyDisplay };

    // `program` keeps apart programs that open the same folder: the child's
    // and the teacher's never hand over to each other.
    SingleInstance(const QString &program, const QString &folder, Scope scope = Scope::PerDisplay);
    ~SingleInstance() override;

    // True when this is the only program running from the folder; it then
    // listens for later starts.
    bool claim();
    // From a later start: asks the running program to come forward.
    void wakeRunning() const;

    static QString lockPath(const QString &program, const QString &folder, Scope scope = Scope::PerDisplay);
    // The display the program shows on: the Wayland socket, else the X display.
    static QString display();

signals:
    void woken();

private:
    void listen();

    QString socketPath_;
    QLockFile lock_;
    int listening_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace zampli
