// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <optional>

namespace zampli::teacher {

// Runs `work` on a thread of its own while the window stays alive; a
// progress window shows up only when it takes more than half a second.
template <class Work>
auto withProgress(QWidget *parent, const QString &label, Work work) -> decltype(work())
{
    std::optional<decltype(work())> result;
    QThread *thread = QThread::create([&] { result = work(); });
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    QProgressDialog progress(label, QString(), 0, 0, parent);
    progress.setWindowTitle(QStringLiteral("Un momento…"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setValue(0);
    thread->start();
    if (!thread->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    return std::move(*result);
}

} // namespace zampli::teacher
