// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/WavSoundPlayer.h"

#include "media/ProblemLog.h"
#include "sound/SoundRouter.h"
#include "sound/PulseOutput.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QThread>

#include <cstdio>
#include <cstdlib>

namespace zampli {

namespace {

// How long closing the program waits for the sound thread to finish.
constexpr int kStopWaitMs = 500;

// The program's log as the sound thread sees it. Closed when the player is
// destroyed: a sound thread that was left stuck and wakes up later must not
// write to a log that no longer exists.
class LogGate {
public:
    explicit LogGate(ProblemLog &log) : log_(&log) {}

    void missingFile(const QString &path, const QString &why)
    {
        QMutexLocker lock(&mutex_);
        if (log_)
            log_->missingFile(path, why);
    }

    void note(const QString &line)
    {
        QMutexLocker lock(&mutex_);
        if (log_)
            log_->note(line);
    }

    bool isOpen() const
    {
        QMutexLocker lock(&mutex_);
        return log_ != nullptr;
    }

    void close()
    {
        QMutexLocker lock(&mutex_);
        log_ = nullptr;
    }

private:
    mutable QMutex mutex_;
    ProblemLog *log_;
};

// Run by exit() once the sound thread has been left stuck (reading a sound
// from a network folder that stopped answering, say). It runs before the
// libraries' own clean-up, which could wait for a lock that thread holds.
// The program's own objects are gone by then: flush the output and end here,
// with the program's exit status.
void endBeforeLibraryCleanup(int status, void *)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

void endEarlyOnExit()
{
    static const bool registered = on_exit(endBeforeLibraryCleanup, nullptr) == 0;
    Q_UNUSED(registered);
}

} // namespace

// Lives on the sound thread; all its work happens there.
class SoundWorker final : public QObject {
public:
    explicit SoundWorker(ProblemLog &log) : log_(log) {}

    void prepare()
    {
        output_ = std::make_unique<PulseOutput>(
            [this](const QUrl &source) { router_->loadFailed(source); },
            [this] { log_.note(QStringLiteral("nessun dispositivo audio: il programma resta muto")); });
        router_ = std::make_unique<SoundRouter>(
            *output_, [this](const QString &path, const QString &why) { log_.missingFile(path, why); });
    }

    void play(const QString &path)
    {
        if (log_.isOpen()) // else the player is gone and the program closing
            router_->play(path);
    }

    // Called on the sound thread as it finishes, so the audio sinks are
    // destroyed on the thread that made them.
    void release()
    {
        router_.reset();
        output_.reset();
    }

    // From the window thread, when the player goes.
    void closeLog() { log_.close(); }

private:
    LogGate log_;
    std::unique_ptr<SoundOutput> output_;
    std::unique_ptr<SoundRouter> router_;
};

WavSoundPlayer::WavSoundPlayer(ProblemLog &log)
    : thread_(std::make_unique<QThread>()), worker_(std::make_unique<SoundWorker>(log))
{
    thread_->setObjectName(QStringLiteral("zampli-suoni"));
    worker_->moveToThread(thread_.get());
    SoundWorker *worker = worker_.get();
    QObject::connect(thread_.get(), &QThread::finished, worker,
                     [worker] { worker->release(); }, Qt::DirectConnection);
    thread_->start();
    QMetaObject::invokeMethod(worker, [worker] { worker->prepare(); }, Qt::QueuedConnection);
}

WavSoundPlayer::~WavSoundPlayer()
{
    worker_->closeLog();
    thread_->quit();
    if (thread_->wait(QDeadlineTimer(kStopWaitMs)))
        return;
    // The sound thread is stuck (a file that does not answer) and cannot be
    // stopped safely (terminating it could leave Qt's locks held). Leak it
    // and its objects on purpose: destroying a running QThread aborts the
    // program, and the thread ends with the process.
    (void)thread_.release();
    (void)worker_.release();
    endEarlyOnExit();
}

void WavSoundPlayer::play(const QString &path)
{
    SoundWorker *worker = worker_.get();
    QMetaObject::invokeMethod(worker, [worker, path] { worker->play(path); }, Qt::QueuedConnection);
}

} // namespace zampli
