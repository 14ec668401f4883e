#pragma once

#include <QMutex>
#include <QSet>
#include <QString>
#include <functional>

namespace zampli {

// Reports a media file that is missing or unreadable, once per file, so a
// parent can see what to put back without the log filling up. Safe to call
// from the sound thread as well as the window thread.
class ProblemLog {
public:
    using Sink = std::function<void(const QString &line)>;

    ProblemLog(); // writes to standard error
    explicit ProblemLog(Sink sink) : sink_(std::move(sink)) {}

    void missingFile(const QString &path);
    void note(const QString &line); // a one-off remark, e.g. no audio device

private:
    Sink sink_;
    QMutex mutex_;
    QSet<QString> reported_;
};

} // namespace zampli
