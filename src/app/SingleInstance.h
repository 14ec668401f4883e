#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

namespace zampli {

// One program at a time per program folder: children double-click twice. The
// first start holds a lock and listens; a second start finds the lock, asks
// the first to come to the front and ends. A lock left by a program that
// crashed names a process that no longer runs, and is taken over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &programFolder);

    // True when this is the only program running from the folder; it then
    // listens for later starts.
    bool claim();
    // From a later start: asks the running program to come forward.
    void wakeRunning() const;

    static QString lockPath(const QString &programFolder);

signals:
    void woken();

private:
    QString name_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace zampli
