// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>
#include <QSet>
#include <QString>
#include <functional>

namespace zampli {

// Reports a media file that is missing or unreadable, once per file, so a
// parent can see what to put back without the log filling up. Safe to call
// from the sound thread as well as the window thread. Standard error gets
// every line through visible(): a file's name cannot work the terminal.
class ProblemLog {
public:
    using Sink = std::function<void(const QString &line)>;

    ProblemLog(); // writes to standard error
    explicit ProblemLog(Sink sink) : sink_(std::move(sink)) {}

    // `why` as the adult is told it ("è una pipe, non un file"); empty when
    // the caller cannot tell.
    void missingFile(const QString &path, const QString &why = {});
    void note(const QString &line); // a one-off remark, e.g. no audio device
    // A remark about the media that would otherwise come back at every reading.
    void noteOnce(const QString &line);

private:
    Sink sink_;
    QMutex mutex_;
    QSet<QString> reported_;
    QSet<QString> remarked_;
};

} // namespace zampli
