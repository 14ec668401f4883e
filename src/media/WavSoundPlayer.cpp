#include "media/WavSoundPlayer.h"

#include "media/ProblemLog.h"
#include "media/SoundEffectOutput.h"
#include "media/SoundRouter.h"

#include <QAudioDevice>
#include <QDeadlineTimer>
#include <QMediaDevices>
#include <QThread>

namespace zampli {

namespace {

// How long closing the program waits for the sound thread to finish.
constexpr int kStopWaitMs = 500;

// Used when the machine has no audio output: files are still checked and
// reported, nothing is heard.
class SilentOutput final : public SoundOutput {
public:
    void load(const QUrl &) override {}
    void start(const QUrl &) override {}
    void stop(const QUrl &) override {}
};

} // namespace

// Lives on the sound thread; all its work happens there.
class SoundWorker final : public QObject {
public:
    explicit SoundWorker(ProblemLog &log) : log_(log) {}

    // The first question to the audio server: with a hung server it never
    // returns, which is why it is asked here and not on the window thread.
    void prepare()
    {
        if (QMediaDevices::audioOutputs().isEmpty()) {
            log_.note(QStringLiteral("nessun dispositivo audio: il programma resta muto"));
            output_ = std::make_unique<SilentOutput>();
        } else {
            output_ = std::make_unique<SoundEffectOutput>(
                [this](const QUrl &source) { router_->loadFailed(source); });
        }
        router_ = std::make_unique<SoundRouter>(*output_, log_);
    }

    void play(const QString &path) { router_->play(path); }

    // Called on the sound thread as it finishes, so the sound effects are
    // destroyed on the thread that made them.
    void release()
    {
        router_.reset();
        output_.reset();
    }

private:
    ProblemLog &log_;
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
    thread_->quit();
    if (thread_->wait(QDeadlineTimer(kStopWaitMs)))
        return;
    // The sound thread is stuck inside the audio server and cannot be
    // stopped safely (terminating it could leave Qt's locks held). Leave it
    // and its objects alone: destroying a running QThread aborts the
    // program, and the thread ends with the process.
    (void)thread_.release();
    (void)worker_.release();
}

void WavSoundPlayer::play(const QString &path)
{
    SoundWorker *worker = worker_.get();
    QMetaObject::invokeMethod(worker, [worker, path] { worker->play(path); }, Qt::QueuedConnection);
}

} // namespace zampli
